# Shared steps of the end-to-end tests: a Wine prefix of each test's own, host trees in every state the
# installer tells apart, the program started as the Wine user and driven through orvauto, screenshots, and
# byte-exact checks of the files it leaves. A test sources this file, calls e2e_begin with its own
# arguments, runs its cases and ends with e2e_end, whose exit code says whether every check held.
#   e2e_begin NAME SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR
#     SETUP_EXE      the built OrvandelSetup.exe
#     TOOLS_DIR      the folder of orvauto.exe, phxhost.exe, lockfile.exe and macrecorder.exe
#     PAYLOAD_FILES  the seven files the program carries, separated by colons (may be empty)
#     OUT_DIR        where screenshots go
# Environment: E2E_ONLY, a pattern (grep -E) for the names of the cases to run; E2E_KEEP, when set, keeps the
# prefix after the run; E2E_PREFIX_NAME, the prefix's name under the Wine home instead of a fresh one;
# E2E_SHARED_DISPLAY, when set, runs on the shared test display instead of an Xvfb display of the run's own.

E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$E2E_LIB/../wine/common.sh"

E2E_MAIN='Orvandel Chemstation Addon'
E2E_ROOT='C:\HPCHEM'
E2E_START_LINE='MACRO "..\OV\OV.MCX",GO'
E2E_VERSION='A.03.02'
E2E_FILES=('\OV\OV.MCX' '\OV\ORVAND16.DLL' '\OV\ORVAND32.DLL' '\OV\OVENV.EXE'
           '\OV\SCRIPTS\PDF\PDFPRE.VBS' '\OV\SCRIPTS\PDF\PDFPOST.VBS' '\OV\SCRIPTS\PDF\PDFNOTES.TXT')
E2E_CUSTOMER_MACROS=('! Start-up macros of this laboratory' 'MACRO "SITE.MAC",GO' 'SETUPREPORTS "Daily QC"'
                     'PRINT "Welcome to the ChemStation"')
# Hang guards are made for a native run; E2E_SLOW multiplies them where programs run slower (emulation).
E2E_SLOW=${E2E_SLOW:-1}
E2E_PASSED=0
E2E_FAILED=0
E2E_APP_PID=
E2E_HELPER_PIDS=()
E2E_XVFB_PID=

e2e_begin() {
    [ $# -ge 5 ] || { echo "usage: $0 SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR" >&2; exit 2; }
    E2E_NAME=$1 E2E_SETUP=$2 E2E_TOOLS=$3 E2E_PAYLOAD=$4 E2E_OUT=$5
    E2E_T0=$(date +%s%N)
    mkdir -p "$E2E_OUT"
    E2E_WORK=$(mktemp -d "/tmp/e2e-$E2E_NAME.XXXXXX")
    # A prefix of this run's own, so that two runs of the same test (two build folders) never meet.
    E2E_PREFIX=$(orv_new_prefix "${E2E_PREFIX_NAME:-e2e-$E2E_NAME-$$}")
    trap e2e_cleanup EXIT
    e2e_own_display
    local bin
    bin=$(e2e_path 'C:\e2e')
    e2e_mkdir "$bin"
    cp "$E2E_SETUP" "$bin/OrvandelSetup.exe"
    for tool in orvauto phxhost lockfile macrecorder; do cp "$E2E_TOOLS/$tool.exe" "$bin/"; done
    e2e_own "$bin"
    orv_as_user "$E2E_PREFIX" wineserver -p >/dev/null 2>&1
    # The shell opens .mac files with the recorder, which notes every file it was asked to open.
    e2e_wine reg add 'HKCR\.mac' /ve /d OrvandelTest.Macro /f
    e2e_wine reg add 'HKCR\OrvandelTest.Macro\shell\open\command' /ve /d '"C:\e2e\macrecorder.exe" "%1"' /f
}

# The keyboard focus belongs to the whole display: another program that comes up on a shared display takes
# it from the window under test. So each run has an Xvfb display of its own, unless E2E_SHARED_DISPLAY is set.
e2e_own_display() {
    [ -z "${E2E_SHARED_DISPLAY:-}" ] || return 0
    local n i
    for n in $(seq 110 159); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &
        E2E_XVFB_PID=$!
        for i in $(seq 50); do
            kill -0 "$E2E_XVFB_PID" 2>/dev/null || break  # another run took that number first
            [ -S "/tmp/.X11-unix/X$n" ] && { ORV_DISPLAY=:$n; return 0; }
            sleep 0.1
        done
        kill "$E2E_XVFB_PID" 2>/dev/null
        E2E_XVFB_PID=
    done
    echo "note: no display of its own; using $ORV_DISPLAY" >&2
}

e2e_cleanup() {
    e2e_stop_helpers
    if [ -n "${E2E_PREFIX:-}" ]; then
        orv_as_user "$E2E_PREFIX" wineserver -k >/dev/null 2>&1
        [ -n "${E2E_KEEP:-}" ] || rm -rf "$E2E_PREFIX"
    fi
    if [ -n "${E2E_XVFB_PID:-}" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
        E2E_XVFB_PID=
    fi
    [ -n "${E2E_WORK:-}" ] && rm -rf "$E2E_WORK"
    return 0
}

e2e_end() {
    e2e_cleanup
    trap - EXIT
    local ms=$((($(date +%s%N) - E2E_T0) / 1000000))
    printf '%s: %d checks passed, %d failed, %d.%d s\n' "$E2E_NAME" "$E2E_PASSED" "$E2E_FAILED" \
        $((ms / 1000)) $((ms % 1000 / 100))
    # A run that checked nothing (a wrong E2E_ONLY, a case table emptied by mistake) has shown nothing.
    [ "$E2E_PASSED" -gt 0 ] || { echo "$E2E_NAME: no check was made"; return 1; }
    [ "$E2E_FAILED" -eq 0 ]
}

# Whether to run the case NAME: all of them, unless E2E_ONLY holds a pattern for the names wanted.
e2e_selected() { [ -z "${E2E_ONLY:-}" ] || grep -qE "$E2E_ONLY" <<<"$1"; }

# ---- Checks ---------------------------------------------------------------------------------------------

e2e_pass() { E2E_PASSED=$((E2E_PASSED + 1)); echo "ok    $*"; }
e2e_fail() { E2E_FAILED=$((E2E_FAILED + 1)); echo "FAIL  $*"; }

e2e_expect() {  # e2e_expect WHAT EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then e2e_pass "$1"; else e2e_fail "$1"$'\n      expected: '"$2"$'\n      actual:   '"$3"; fi
}

# The way orvauto writes a text on one line: backslash doubled, line ends and tabs spelled out.
e2e_esc() {
    local s=${1//\\/\\\\}
    s=${s//$'\n'/\\n}
    s=${s//$'\r'/\\r}
    printf '%s' "${s//$'\t'/\\t}"
}

# ---- Files inside the prefix ----------------------------------------------------------------------------

e2e_path() { orv_prefix_path "$E2E_PREFIX" "$1"; }
e2e_own() { chown -R "$(stat -c %u:%g "$E2E_PREFIX")" "$@"; }

e2e_mkdir() {  # e2e_mkdir LINUXPATH: the folder and its missing parents, all owned by the Wine user
    local first=$1
    while [ ! -d "$(dirname "$first")" ]; do first=$(dirname "$first"); done
    [ -d "$1" ] && return 0
    mkdir -p "$1"
    e2e_own "$first"
}
e2e_write() {  # e2e_write WINPATH CONTENT: the exact bytes, owned by the Wine user
    local file
    file=$(e2e_path "$1")
    e2e_mkdir "$(dirname "$file")"
    printf '%s' "$2" >"$file"
    e2e_own "$file"
}
e2e_lines() {  # e2e_lines WINPATH LINE...: a Windows text file, every line ending in CR LF
    local text=""
    for line in "${@:2}"; do text+="$line"$'\r\n'; done
    e2e_write "$1" "$text"
}
e2e_rm() { local p; for p in "$@"; do rm -rf "$(e2e_path "$p")"; done; }

e2e_expect_bytes() {  # e2e_expect_bytes WHAT WINPATH CONTENT
    local file
    file=$(e2e_path "$2")
    if [ ! -f "$file" ]; then e2e_fail "$1: $2 is missing"; return; fi
    printf '%s' "$3" >"$E2E_WORK/expected"
    if cmp -s "$E2E_WORK/expected" "$file"; then e2e_pass "$1"; else
        e2e_fail "$1: $2 holds"$'\n'"$(od -c "$file" | head -20)"$'\n      expected\n'"$(od -c "$E2E_WORK/expected" | head -20)"
    fi
}
e2e_expect_same() {  # e2e_expect_same WHAT WINPATH LINUXFILE
    local file
    file=$(e2e_path "$2")
    if [ -f "$file" ] && cmp -s "$3" "$file"; then e2e_pass "$1"; else e2e_fail "$1: $2 differs from $3"; fi
}
e2e_expect_present() { local p; for p in "${@:2}"; do
    if [ -e "$(e2e_path "$p")" ]; then e2e_pass "$1: $p present"; else e2e_fail "$1: $p missing"; fi; done; }
e2e_expect_absent() { local p; for p in "${@:2}"; do
    if [ -e "$(e2e_path "$p")" ]; then e2e_fail "$1: $p still there"; else e2e_pass "$1: $p absent"; fi; done; }

# A fingerprint of everything under the host root and of the host profile: names, kinds and contents.
e2e_fingerprint() {
    (cd "$(e2e_path 'C:\')" && find HPCHEM windows/chemstation.ini -printf '%y %p\n' 2>/dev/null | sort &&
        find HPCHEM windows/chemstation.ini -type f -exec sha1sum {} + 2>/dev/null | sort) | sha1sum
}

# The payload file that the program carries as WINPATH's target, found by its file name.
e2e_payload_file() {
    local name=${1##*\\} file
    local IFS=:
    for file in $E2E_PAYLOAD; do
        [ "$(basename "$file" | tr a-z A-Z)" = "$name" ] && { echo "$file"; return 0; }
    done
    return 1
}

# e2e_expect_payload WHAT [WINPATH...]: the seven add-on files hold exactly what the program carries,
# except the files named, which must still hold what they held before.
e2e_expect_payload() {
    local what=$1 f payload wrong=()
    shift
    [ -n "$E2E_PAYLOAD" ] || { e2e_fail "$what: the payload files were not given"; return; }
    for f in "${E2E_FILES[@]}"; do
        [[ " $* " == *" $f "* ]] && continue
        payload=$(e2e_payload_file "$f") || { wrong+=("$f (no payload file)"); continue; }
        cmp -s "$payload" "$(e2e_path "$E2E_ROOT$f")" || wrong+=("$f")
    done
    e2e_expect "$what: add-on files equal to the payload" "" "${wrong[*]}"
}

# e2e_ini WINPATH SECTION KEY: a value of a profile file, "<none>" when it is not there.
e2e_ini() {
    local file
    file=$(e2e_path "$1")
    [ -f "$file" ] || { echo "<no file>"; return; }
    tr -d '\r' <"$file" | awk -v section="[$2]" -v key="$3" '
        /^\[/ { inside = (tolower($0) == tolower(section)); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); found = 1; exit }
        END { if (!found) print "<none>" }'
}

# ---- Host trees -----------------------------------------------------------------------------------------

e2e_version_record() { e2e_lines "$E2E_ROOT\\OV\\OV.INI" '[OV]' "Version=$1"; }

# e2e_tree KIND lays out the host as the case needs it, replacing what was there:
#   nohost      no host path in either profile
#   msexe       the mass-spectrometry variant only ("\msexe" without "\core")
#   fresh       the demo tree without user.mac, nothing of the add-on
#   macros      the demo tree: user.mac holds the site's own macros, nothing of the add-on
#   incomplete  three of the seven files, the start line and the current version
#   old         every file of release A.03.01 (the two bitmaps too), its start line in lower case
#   complete    every file, the start line first, the current version
e2e_tree() {
    chmod -R u+w "$(e2e_path "$E2E_ROOT")" 2>/dev/null  # a case may have left read-only files
    e2e_rm "$E2E_ROOT" 'C:\windows\chemstation.ini' 'C:\macrecorder.log'
    local win_ini
    win_ini=$(e2e_path 'C:\windows\win.ini')  # a case may have put the host path there
    [ -f "$win_ini" ] && sed -i '/^\[PCS\]/,/^\[/{/^\[PCS\]/d;/^\[/!d}' "$win_ini"
    [ "$1" = nohost ] && return 0
    bash "$E2E_LIB/../../tools/demo-tree.sh" "$E2E_PREFIX" "$E2E_ROOT" >/dev/null
    local r=$E2E_ROOT f
    case $1 in
        msexe) e2e_rm "$r\\core"; e2e_mkdir "$(e2e_path "$r\\msexe")" ;;
        fresh) e2e_rm "$r\\core\\user.mac" ;;
        macros) ;;
        incomplete)
            e2e_lines "$r\\core\\user.mac" "$E2E_START_LINE" "${E2E_CUSTOMER_MACROS[@]}"
            for f in '\OV\OV.MCX' '\OV\ORVAND32.DLL' '\OV\SCRIPTS\PDF\PDFPRE.VBS'; do
                e2e_write "$r$f" "left from an interrupted install: $f"
            done
            e2e_version_record "$E2E_VERSION" ;;
        old)
            e2e_lines "$r\\core\\user.mac" '  macro "..\ov\ov.mcx",go' "${E2E_CUSTOMER_MACROS[@]}"
            for f in "${E2E_FILES[@]}" '\OV\TASKBOVU.BMP' '\OV\TASKBOVN.BMP'; do
                e2e_write "$r$f" "release A.03.01: $f"
            done
            e2e_version_record A.03.01 ;;
        complete)
            e2e_lines "$r\\core\\user.mac" "$E2E_START_LINE" "${E2E_CUSTOMER_MACROS[@]}"
            for f in "${E2E_FILES[@]}"; do e2e_write "$r$f" "installed: $f"; done
            e2e_version_record "$E2E_VERSION" ;;
        *) echo "e2e_tree: unknown tree $1" >&2; return 2 ;;
    esac
}

# ---- Wine and the program -------------------------------------------------------------------------------

# Runs a Windows program as the Wine user from C:\, so that a root-relative path never reaches the host's
# own file system. Output goes to files: a pipe would be held open by Wine's daemons.
e2e_wine() {
    (cd "$(e2e_path 'C:\')" && orv_as_user "$E2E_PREFIX" timeout 120 wine "$@" >"$E2E_WORK/wine.out" 2>&1)
}

e2e_launch() {  # e2e_launch [EXE_NAME]: starts C:\e2e\EXE_NAME (a copy of the program) without waiting
    local exe=${1:-OrvandelSetup.exe}
    [ -f "$(e2e_path "C:\\e2e\\$exe")" ] || { cp "$E2E_SETUP" "$(e2e_path "C:\\e2e\\$exe")"; e2e_own "$(e2e_path 'C:\e2e')"; }
    (cd "$(e2e_path 'C:\')" && orv_as_user "$E2E_PREFIX" wine "C:\\e2e\\$exe" >"$E2E_WORK/app.out" 2>&1) &
    E2E_APP_PID=$!
}

e2e_start() {  # e2e_start [EXE_NAME]: starts the program and waits for its main window
    e2e_launch "$@"
    e2e_auto wait "$E2E_MAIN" 15000 || { e2e_fail "the main window did not appear: $E2E_AUTO_ERR"; return 1; }
}

# e2e_exited WHAT: the program has ended (within 10 s).
e2e_exited() {
    local i
    for i in $(seq 100); do
        kill -0 "$E2E_APP_PID" 2>/dev/null || { e2e_pass "$1"; E2E_APP_PID=; return 0; }
        sleep 0.1
    done
    e2e_fail "$1: the program is still running"
    e2e_kill_app
    return 1
}

# Ends a program that a failed case left behind, so that the next case starts clean.
e2e_kill_app() {
    [ -n "$E2E_APP_PID" ] || return 0
    if kill -0 "$E2E_APP_PID" 2>/dev/null; then
        e2e_auto close "$E2E_MAIN"
        local i
        for i in $(seq 30); do kill -0 "$E2E_APP_PID" 2>/dev/null || break; sleep 0.1; done
        # Any dialog left open keeps the program alive: a fresh wineserver ends every process of the prefix.
        if kill -0 "$E2E_APP_PID" 2>/dev/null; then
            orv_as_user "$E2E_PREFIX" wineserver -k >/dev/null 2>&1
            orv_as_user "$E2E_PREFIX" wineserver -p >/dev/null 2>&1
        fi
    fi
    E2E_APP_PID=
}

# e2e_auto ARGS...: one orvauto step. Its output is in $E2E_AUTO (and errors in $E2E_AUTO_ERR).
e2e_auto() {
    (cd "$(e2e_path 'C:\')" &&
        orv_as_user "$E2E_PREFIX" timeout 60 wine 'C:\e2e\orvauto.exe' "$@" >"$E2E_WORK/auto.out" 2>"$E2E_WORK/auto.err")
    local rc=$?
    E2E_AUTO=$(tr -d '\r' <"$E2E_WORK/auto.out")
    E2E_AUTO_ERR=$(tr -d '\r' <"$E2E_WORK/auto.err")
    return $rc
}

e2e_field() { awk -F'\t' -v key="$1" '$1 == key { sub(/^[^\t]*\t/, ""); print }' <<<"$E2E_AUTO"; }

# e2e_state: the main window as the user sees it.
#   E2E_TOP      the labels of the panel seen on top, "ChemStation not found|Can not continue", or "-"
#   E2E_PANELS   the first label of every visible panel, top first, joined by " / "
#   E2E_BUTTONS  "Install=on Remove=off Close=on Edit=on": whether the user could press each button
e2e_state() {
    E2E_TOP=- E2E_PANELS= E2E_BUTTONS=
    e2e_auto list "$E2E_MAIN" || { e2e_fail "cannot read the main window: $E2E_AUTO_ERR"; return 1; }
    E2E_TOP=$(e2e_field top)
    E2E_PANELS=$(awk -F'\t' '$1 == "panel" && $3 == 1 { split($4, l, "|"); print $2 "\t" l[1] }' <<<"$E2E_AUTO" |
        sort -n | cut -f2 | paste -sd/ | sed 's|/| / |g')
    E2E_BUTTONS=$(awk -F'\t' '$1 == "button" { n = $2; gsub(/&/, "", n); split(n, w, " "); printf "%s%s=%s", sep, w[1], $3; sep = " " }' \
        <<<"$E2E_AUTO")
}

# e2e_dialog [MS]: waits for a dialog or message box of the program.
#   E2E_DIALOG_TITLE, E2E_DIALOG_TEXT (as e2e_esc writes it), E2E_DIALOG_BUTTONS ("&Yes|&No"), E2E_DIALOG_FOCUS
e2e_dialog() {
    E2E_DIALOG_TITLE= E2E_DIALOG_TEXT= E2E_DIALOG_BUTTONS= E2E_DIALOG_FOCUS=
    e2e_auto dialog "${1:-10000}" || return
    E2E_DIALOG_TITLE=$(e2e_field title)
    E2E_DIALOG_TEXT=$(e2e_field text | awk 'NR > 1 { printf "\\n" } { printf "%s", $0 }')
    E2E_DIALOG_BUTTONS=$(e2e_field button | paste -sd'|')
    E2E_DIALOG_FOCUS=$(e2e_field focus)
}

# e2e_expect_dialog WHAT TITLE TEXT BUTTONS [FOCUS]: the next dialog is this one, with the focus on its
# first button unless told otherwise.
e2e_expect_dialog() {
    local buttons=$4 focus=${5:-${4%%|*}}
    if ! e2e_dialog; then e2e_fail "$1: no dialog appeared ($E2E_AUTO_ERR)"; return 1; fi
    e2e_expect "$1: dialog (title / text / buttons / focus)" "$2 / $(e2e_esc "$3") / $buttons / $focus" \
        "$E2E_DIALOG_TITLE / $E2E_DIALOG_TEXT / $E2E_DIALOG_BUTTONS / $E2E_DIALOG_FOCUS"
}

# e2e_expect_no_dialog WHAT [MS]: no dialog is up once the procedure has ended (the main window is enabled again
# and its thread idle), nor within MS more. Only the tool's "not found" is no dialog; any other failure fails.
e2e_expect_no_dialog() {
    e2e_auto settled 15000 || { e2e_fail "$1: the window did not settle: $E2E_AUTO_ERR"; return 1; }
    e2e_dialog "${2:-0}"
    case $? in 1) e2e_pass "$1: no further dialog" ;;
        0) e2e_fail "$1: unexpected dialog \"$E2E_DIALOG_TITLE\": $E2E_DIALOG_TEXT" ;;
        *) e2e_fail "$1: the dialogs could not be looked for: $E2E_AUTO_ERR" ;; esac
}

# e2e_system_text CODE: the system's text for an error code as the error display shows it inside a
# message (as e2e_esc writes it): trailing blanks, line ends and full stops taken off.
e2e_system_text() {
    e2e_auto message "$1"
    local text prev=
    text=$(e2e_field message)
    while [ "$text" != "$prev" ]; do
        prev=$text
        text=${text%\\r} text=${text%\\n} text=${text%\\t} text=${text% } text=${text%.}
    done
    printf '%s' "$text"
}

# e2e_answer TITLE BUTTON: presses the button of the dialog and waits until it has closed.
e2e_answer() { e2e_auto answer "$1" "$2" || e2e_fail "answering \"$1\" with \"$2\": $E2E_AUTO_ERR"; }

# The dialogs of the procedures, by a short name: title, text, buttons.
E2E_QUESTION_TEXT="$E2E_START_LINE
Inserted as the first line in
$E2E_ROOT\\core\\user.mac
More customized macros seems to appear beyond this first line.
Do you want to check and eventually cleanup user.mac ?"
declare -A E2E_DIALOGS=(
    [question]="Information"$'\t'"$E2E_QUESTION_TEXT"$'\t''&Yes|&No'
    [restart]="Information"$'\t'$'Restart the ChemStation\nFind a new menu \nAddOn - Orvandel\tOK'
    [removed]="Information"$'\t'$'Orvandel removed\tOK'
    [restored]="Information"$'\t'$'Orvandel removed\nChemStation configuration set to defaults\tOK'
    [running]="Error"$'\t'$'The ChemStation program is running\nfirst close the ChemStation\tOK'
    [usermac-failed]="Error"$'\t'$'Failed to modify user.mac\tOK'
)

# e2e_dialogs WHAT STEP...: the dialogs that follow, in order, each answered. A step is NAME=BUTTON (press
# that button), NAME=key:KEY,... (press those keys in it) or NAME=close (its close box); the name failed:WINPATH
# stands for "Failed to install" with that path.
# After the last one no further dialog may appear (e2e_dialogs_then leaves that open).
e2e_dialogs() { e2e_dialogs_then "$@" && e2e_expect_no_dialog "$1"; }
e2e_dialogs_then() {
    local what=$1 step name answer title text buttons
    shift
    for step in "$@"; do
        name=${step%%=*} answer=${step#*=}
        if [[ $name == failed:* ]]; then
            title=Error text="Failed to install"$'\n'"${name#failed:}" buttons=OK
        else
            IFS=$'\t' read -r -d '' title text buttons <<<"${E2E_DIALOGS[$name]}"
            buttons=${buttons%$'\n'}
        fi
        e2e_expect_dialog "$what: $name" "$title" "$text" "$buttons" || return 1
        if [ "$answer" = close ]; then
            e2e_auto answer-close "$title" || e2e_fail "$what: closing \"$title\": $E2E_AUTO_ERR"
        elif [[ $answer == key:* ]]; then
            local keys=${answer#key:}
            while [[ $keys == *,* ]]; do  # every key but the last leaves the dialog open
                e2e_auto key "$title" "${keys%%,*}" || e2e_fail "$what: key ${keys%%,*}: $E2E_AUTO_ERR"
                keys=${keys#*,}
            done
            e2e_auto answer-key "$title" "$keys" || e2e_fail "$what: key $keys: $E2E_AUTO_ERR"
        else
            e2e_answer "$title" "$answer"
        fi
    done
}

# e2e_shot NAME [TITLE]: a screenshot of the display, or of one window, as OUT_DIR/NAME.png.
e2e_shot() {
    local crop=()
    e2e_auto redraw "$E2E_MAIN"
    sleep 0.3  # the windows have painted by then
    if [ $# -ge 2 ] && e2e_auto rect "$2"; then
        read -r x y w h <<<"$E2E_AUTO"
        crop=(-crop "${w}x${h}+${x}+${y}" +repage)
    fi
    import -display "$ORV_DISPLAY" -window root "${crop[@]}" "$E2E_OUT/$1.png" 2>/dev/null ||
        echo "note: no screenshot $1" >&2
}

# ---- Helper programs ------------------------------------------------------------------------------------

# e2e_helper NAME EXE ARGS...: starts C:\e2e\EXE (or EXE, when it is a Windows path) in the background and
# waits until it prints its first line.
e2e_helper() {
    local name=$1 out="$E2E_WORK/$1.out" exe=$2
    [[ $exe == *\\* ]] || exe="C:\\e2e\\$exe"
    : >"$out"
    (cd "$(e2e_path 'C:\')" && orv_as_user "$E2E_PREFIX" wine "$exe" "${@:3}" >"$out" 2>&1) &
    E2E_HELPER_PIDS+=("$!")
    local i
    for i in $(seq 100); do [ -s "$out" ] && break; sleep 0.1; done
    [ -s "$out" ] || { e2e_fail "$name did not start"; return 1; }
}

# A running host: a hidden window whose class holds the host's marker, until e2e_stop_helpers.
e2e_host_running() { e2e_helper phxhost phxhost.exe 'C:\e2e\stop' "${1:-AfxPhxCntrllr1}"; }
# A program of the host that has no window on this desktop (one of another session, as a SYSTEM run sees it):
# the helper copied to WINPATH and run from there.
e2e_host_program() {
    cp "$(e2e_path 'C:\e2e\phxhost.exe')" "$(e2e_path "$1")" && e2e_own "$(e2e_path "$1")"
    e2e_helper program "$1" 'C:\e2e\stop' OrvTestHelperWindow
}
# Another copy of the program with its window open, until e2e_stop_helpers (which closes it) or a close.
e2e_helper_window() {
    cp "$(e2e_path 'C:\e2e\OrvandelSetup.exe')" "$(e2e_path 'C:\e2e\Other.exe')" && e2e_own "$(e2e_path 'C:\e2e\Other.exe')"
    (cd "$(e2e_path 'C:\')" && orv_as_user "$E2E_PREFIX" wine 'C:\e2e\Other.exe' >"$E2E_WORK/other.out" 2>&1) &
    E2E_HELPER_PIDS+=("$!")
    E2E_HELPER_WINDOW=1
    e2e_auto wait "$E2E_MAIN" 15000 || e2e_fail "the other window did not open: $E2E_AUTO_ERR"
}
# user.mac held open for writing by another program, so that the installer cannot read it.
# With MS, for that many milliseconds only, as a virus scanner holds a file it has just seen written.
e2e_lock() { e2e_helper lockfile lockfile.exe "$1" 'C:\e2e\stop' "${@:2}"; }

e2e_stop_helpers() {
    [ ${#E2E_HELPER_PIDS[@]} -gt 0 ] || return 0
    e2e_write 'C:\e2e\stop' ''
    if [ -n "${E2E_HELPER_WINDOW:-}" ]; then e2e_auto close "$E2E_MAIN"; E2E_HELPER_WINDOW=; fi
    local pid i
    for pid in "${E2E_HELPER_PIDS[@]}"; do
        for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    done
    E2E_HELPER_PIDS=()
    rm -f "$(e2e_path 'C:\e2e\stop')"
}

# "opened" when the shell has handed user.mac to the program associated with .mac files, else "not opened".
# Call it once the step is over (e2e_expect_no_dialog): the recorder is then run once more by the test itself,
# and its line in the log shows that any start the step made has been recorded by then.
e2e_user_mac_opened() {
    local log
    log=$(e2e_path 'C:\macrecorder.log')
    (cd "$(e2e_path 'C:\')" && orv_as_user "$E2E_PREFIX" timeout 30 wine 'C:\e2e\macrecorder.exe' probe >/dev/null 2>&1)
    grep -q 'probe' "$log" 2>/dev/null || { echo "no probe line in the recorder's log"; return; }
    grep -v 'probe' "$log" | grep -qiF 'user.mac' && echo opened || echo "not opened"
    rm -f "$log"
}

# Whether the shell has handed WINPATH to the program associated with .mac files (within 5 s).
e2e_recorded() {
    local log i
    log=$(e2e_path 'C:\macrecorder.log')
    for i in $(seq 50); do [ -s "$log" ] && break; sleep 0.1; done
    [ -s "$log" ] && grep -qiF "\"$1\"" "$log"
}
