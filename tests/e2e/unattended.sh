#!/usr/bin/env bash
# The program as a software-distribution tool, a start-up script or an administrator's console runs it:
# every switch and every exit code, each failure brought about for real, what it prints, the record it
# appends to its log, and the program's own dialogs when /quiet is left out.
set -u
. "$(dirname "$0")/lib.sh"
# A zone west of UTC and half an hour off: the offset in the log's header then shows its sign and minutes.
[ -e /usr/share/zoneinfo/America/St_Johns ] && export TZ=America/St_Johns
e2e_begin unattended "$@"

R=$E2E_ROOT
UserMac="$R\\core\\user.mac"
Program='C:\e2e\OrvandelSetup.exe'
AddonFiles=("${E2E_FILES[@]/#/$R}")  # the seven files' full paths
lines() { printf '%s\n' "$@"; }
Restart=$(lines 'Restart the ChemStation' 'Find a new menu ' 'AddOn - Orvandel')
Running=$(lines 'Error: The ChemStation program is running' 'first close the ChemStation')
Restored=$(lines 'Orvandel removed' 'ChemStation configuration set to defaults')
Sharing=$(e2e_system_text 32)

# What the program carries, as the log and /verify name it: size and SHA-256 reckoned here, not by the program.
sha() { sha256sum <"$1" | cut -d' ' -f1; }
Written= Hold=
for f in "${E2E_FILES[@]}"; do
    p=$(e2e_payload_file "$f") || { e2e_fail "no payload file for $f"; continue; }
    Written+="file written: $R$f ($(stat -c %s "$p") bytes, sha256 $(sha "$p"))"$'\n'
    Hold+="OK        $R$f  sha256 $(sha "$p")"$'\n'
done
# What /version prints: the version, this build's commit and each item with its target, size and digest.
Items=(deOvMcx deOrvand16Dll deOrvand32Dll deOvEnvExe dePdfPreVbs dePdfPostVbs dePdfNotesTxt)
Version="Orvandel installer $E2E_VERSION"$'\n'"commit $(cat "$(dirname "$E2E_SETUP")/facts/BuildCommit.txt")"
for i in "${!E2E_FILES[@]}"; do
    p=$(e2e_payload_file "${E2E_FILES[$i]}") &&
        Version+=$'\n'"${Items[$i]}  <ChemStation>${E2E_FILES[$i]}  $(stat -c %s "$p") bytes  sha256 $(sha "$p")"
done
Dll=$(e2e_payload_file '\OV\ORVAND32.DLL')
DllMiddle=$(($(stat -c %s "$Dll") / 2))
flip_byte() {  # flip_byte LINUXFILE: the byte in the middle of the DLL, inverted
    local b
    b=$(od -An -tu1 -j"$DllMiddle" -N1 "$1" | tr -d ' ')
    printf "\\$(printf %03o $((255 - b)))" | dd of="$1" bs=1 seek="$DllMiddle" conv=notrunc status=none
}
cp "$Dll" "$E2E_WORK/changed.dll" && flip_byte "$E2E_WORK/changed.dll"
Differs="DIFFERS   $R\\OV\\ORVAND32.DLL  sha256 $(sha "$E2E_WORK/changed.dll")  expected $(sha "$Dll")"

# ---- Running the program ---------------------------------------------------------------------------------

# launch COMMAND: starts the program in the background with COMMAND's switches, as a distribution tool
# does (the program itself, standard output a file), or with a prefix:
#   cmd:    from a line of a batch file, run by cmd.exe: the switches reach the program exactly as written
#   start:  through "start /wait", as from Explorer: no console and no standard output to inherit
Limit=$((25 * E2E_SLOW))
launch() {
    local command=$1 how=direct words
    case $command in
        cmd:*) how=cmd command=${command#cmd:} ;;
        start:*) how=start command=${command#start:} ;;
    esac
    read -r -a words <<<"$command"
    [ $how = cmd ] && e2e_write 'C:\e2e\run.cmd' "@$Program $command"$'\r\n'
    rm -f "$E2E_WORK/rc"
    (
        cd "$(e2e_path 'C:\')" || exit
        case $how in
            direct) orv_as_user "$E2E_PREFIX" timeout "$Limit" wine "$Program" "${words[@]}" ;;
            cmd) orv_as_user "$E2E_PREFIX" timeout "$Limit" wine cmd /c 'C:\e2e\run.cmd' ;;
            start) orv_as_user "$E2E_PREFIX" timeout "$Limit" wine start /wait "$Program" "${words[@]}" ;;
        esac >"$E2E_WORK/stdout" 2>"$E2E_WORK/stderr"
        echo $? >"$E2E_WORK/rc"
    ) &
    E2E_APP_PID=$!
}

# finish: waits for the launched program; its exit code is then in Rc (124: still waiting after $Limit s).
finish() {
    wait "$E2E_APP_PID" 2>/dev/null
    E2E_APP_PID=
    Rc=$(cat "$E2E_WORK/rc" 2>/dev/null || echo none)
    if [ "$Rc" = 124 ]; then  # a dialog nobody answered may be left: a fresh server ends it
        orv_as_user "$E2E_PREFIX" wineserver -k >/dev/null 2>&1
        orv_as_user "$E2E_PREFIX" wineserver -p >/dev/null 2>&1
    fi
}

# The program's report: its standard output without the CRs.
stdout() { tr -d '\r' <"$E2E_WORK/stdout"; }
quick() {  # quick COMMAND: runs it to the end; the report is then in stdout
    launch "$1"
    finish
}

# ---- Checks ----------------------------------------------------------------------------------------------

# expect_lines WHAT LINUXFILE TEXT: every line of TEXT is a whole line of the file, in that order.
expect_lines() {
    printf '%s\n' "$3" >"$E2E_WORK/wanted"
    local missing
    missing=$(tr -d '\r' <"$2" | awk -v wanted="$E2E_WORK/wanted" '
        BEGIN { i = n = 0; while ((getline line < wanted) > 0) want[n++] = line }
        i < n && $0 == want[i] { i++ }
        END { if (i < n) print want[i] }')
    if [ -z "$missing" ] && [ -f "$2" ]; then e2e_pass "$1"; else
        e2e_fail "$1: missing (in this order): $missing"$'\n'"$(tr -d '\r' <"$2" 2>/dev/null | sed 's/^/      | /' | head -40)"
    fi
}
# The record of the last run in the log WINPATH.
last_run() {
    local file
    file=$(e2e_path "$1")
    [ -f "$file" ] || return 1
    tr -d '\r' <"$file" | awk '/^---- / { run = "" } { run = run $0 "\n" } END { printf "%s", run }'
}
# expect_log_lines WHAT WINPATH TEXT: the lines of TEXT, in that order, in the last run's record.
expect_log_lines() {
    last_run "$2" >"$E2E_WORK/run.log" || { e2e_fail "$1: no log $2"; return; }
    expect_lines "$1: log" "$E2E_WORK/run.log" "$3"
}
# expect_log_has WHAT WINPATH TEXT: every line of TEXT in the last run's record, in any order.
expect_log_has() {
    local line missing=()
    last_run "$2" >"$E2E_WORK/run.log" || { e2e_fail "$1: no log $2"; return; }
    while IFS= read -r line; do grep -qxF -- "$line" "$E2E_WORK/run.log" || missing+=("$line"); done <<<"$3"
    e2e_expect "$1: logged" "" "${missing[*]}"
}

# expect_run_log WHAT WINPATH COMMAND-LINE BODY: the log's last record is the header of this run (the
# local time now, with this machine's offset), the user, the command line, then exactly BODY.
expect_run_log() {
    local run header when now stamp
    run=$(last_run "$2") || { e2e_fail "$1: no log $2"; return; }
    header=$(head -1 <<<"$run")
    stamp="not a header: $header"
    if [[ $header =~ ^----\ ([0-9-]{10}\ [0-9:]{8})\ ([+-][0-9]{2}:[0-9]{2})\ \ Orvandel\ installer\ (.*)$ ]]; then
        when=$(date -d "${BASH_REMATCH[1]} ${BASH_REMATCH[2]}" +%s 2>/dev/null || echo 0)
        now=$(date +%s)
        stamp="offset ${BASH_REMATCH[2]}, within a minute: $((when > now - 60 && when <= now)), ${BASH_REMATCH[3]}"
    fi
    e2e_expect "$1: log header" "offset $(date +%:z), within a minute: 1, $E2E_VERSION" "$stamp"
    e2e_expect "$1: log user" "user $ORV_WINE_USER on (a computer)" \
        "$(sed -n 2p <<<"$run" | sed -E 's/ on [^ ]+$/ on (a computer)/')"
    e2e_expect "$1: log command line" "command line: $3" "$(sed -n 3p <<<"$run")"
    e2e_expect "$1: log steps" "$4" "$(sed -n '4,$p' <<<"$run")"
}

unchanged() { e2e_expect "$name: files and folders unchanged" "$Before" "$(e2e_fingerprint)"; }
not_recorded() { e2e_expect "$name: version not recorded" "<no file>" "$(e2e_ini "$R\\OV\\OV.INI" OV Version)"; }
recorded() { e2e_expect "$name: version recorded" "$E2E_VERSION" "$(e2e_ini "$R\\OV\\OV.INI" OV Version)"; }
installed() {
    e2e_expect_payload "$name"
    recorded
    e2e_expect_bytes "$name: user.mac starts the add-on" "$UserMac" "$E2E_START_LINE"$'\r\n'"${1:-}"
}
status_score() {  # status_score TEXT: the last line /status then prints
    quick /status
    e2e_expect "$name: /status afterwards" "$1" "$(stdout | tail -1)"
}

# ---- The cases -------------------------------------------------------------------------------------------

# run NAME TREE ADJUSTMENT COMMAND EXIT STDOUT DIALOGS CHECKS
#   TREE        a tree of e2e_tree, or "same" to go on with the one the previous case left
#   ADJUSTMENT  shell code run on the tree before the start (helpers it starts are stopped afterwards)
#   COMMAND     the switches, perhaps with a launch prefix (see launch)
#   STDOUT      lines the program prints, whole and in this order ('' for no check)
#   DIALOGS     the dialogs shown, each answered (see e2e_dialogs); '' for none: then the run must end by
#               itself, since no one answers
#   CHECKS      shell code run afterwards
run() {
    name=$1
    e2e_selected "$name" || return 0
    [ "$2" = same ] || e2e_tree "$2"
    eval "$3"
    Before=$(e2e_fingerprint)
    launch "$4"
    if [ -n "$7" ]; then
        if e2e_auto dialog 15000; then
            e2e_auto wait "$E2E_MAIN" 0 && e2e_fail "$name: the main window opened" || e2e_pass "$name: no main window"
        fi
        read -r -a steps <<<"$7"
        # No main window to settle: a further dialog would go unanswered and the run would not end by itself,
        # which the exit code then shows.
        e2e_dialogs_then "$name" "${steps[@]}"
    fi
    finish
    e2e_expect "$name: exit code" "$5" "$Rc"
    [ -z "$6" ] || expect_lines "$name: printed" "$E2E_WORK/stdout" "$6"
    e2e_stop_helpers
    eval "$8"
}

# The usage text, from the program itself; the cases of /? and of a wrong command line check it.
quick '/? /quiet'
Usage=$(stdout)
usage_named() {
    local word missing=()
    for word in '/install' '/remove' '/status' '/verify' '/version' '/quiet' '/S' '/VERYSILENT' '/qn' '/log=FILE' \
        '0 success' '1 completed' '1618 refused' '3 ChemStation' '4 stopped' '5 verification' '87 invalid'; do
        [[ $Usage == *"$word"* ]] || missing+=("$word")
    done
    e2e_expect "$name: usage names every switch and exit code" "" "${missing[*]}"
    e2e_expect "$name: usage's first line" 'OrvandelSetup [/install | /remove | /status | /verify | /version] [/quiet] [/log=FILE]' \
        "$(head -1 <<<"$Usage")"
}

keep_backups() { cp "$(e2e_path "$R\\core\\800\\TOPDATS.BAK")" "$(e2e_path "$R\\core\\800\\CHROMTB.BAK")" "$E2E_WORK/"; }
# Everything a removal with both backups deletes.
Deleted=("$R\\core\\800\\TOPDATS.BAK" "$R\\core\\800\\CHROMTB.BAK" "${AddonFiles[@]}")
for n in 1 2 3 4; do Deleted+=("$R\\$n\\conf_off.reg" "$R\\$n\\config.reg"); done
restored_from_backups='
    e2e_expect_same "$name: TOPDATS.INI" "$R\\core\\800\\TOPDATS.INI" "$E2E_WORK/TOPDATS.BAK"
    e2e_expect_same "$name: CHROMTB.INI" "$R\\core\\800\\CHROMTB.INI" "$E2E_WORK/CHROMTB.BAK"
    e2e_expect_absent "$name" "${AddonFiles[@]}"'
read_only() { chmod a-w "$(e2e_path "$R\\OV\\OVENV.EXE")"; }
no_host_path() { e2e_lines 'C:\windows\chemstation.ini' '[PCS,1]' "_INSTPATH\$=$R\\1\\"; }
Macros=$(printf '%s\r\n' "${E2E_CUSTOMER_MACROS[@]}"; echo .) Macros=${Macros%.}
InstallLog="ChemStationRoot: $R (from chemstation.ini)
folder created: $R\\OV
folder created: $R\\OV\\SCRIPTS
folder created: $R\\OV\\SCRIPTS\\PDF
${Written}user.mac rewritten: $UserMac (0 lines before, 1 after)
version recorded: $E2E_VERSION in $R\\OV\\OV.INI
$Restart
exit code 0"
Question=$(lines "$E2E_QUESTION_TEXT")
E2E_DIALOGS[cannot-open]="Orvandelsetup"$'\t'"Cannot open file \"$UserMac\". $Sharing."$'\t'OK
E2E_DIALOGS[usage]="Information"$'\t'"$Usage"$'\t'OK

#   name                  tree        adjustment
#   command                                               exit  printed
#   dialogs                                                     checks afterwards
run install-quiet         fresh       '' \
    '/install /quiet /log=C:\run.log'                      0    "$Restart" \
    ''                                                          'installed; status_score "score 9 of 9: installed"
        expect_run_log "$name" "C:\\run.log" "\"$Program\" /install /quiet /log=C:\\run.log" "$InstallLog"'
run verify-installed      same        '' \
    '/verify'                                              0    "$Hold$(lines "OK        start line first in $UserMac" '9 of 9 hold')" \
    ''                                                          ''
run verify-changed-byte   same        'flip_byte "$(e2e_path "$R\\OV\\ORVAND32.DLL")"' \
    '/verify /quiet'                                       5    "$(lines "$Differs" '8 of 9 hold')" \
    ''                                                          unchanged
run verify-nothing        fresh       '' \
    '/verify /quiet'                                       5    "$(lines "MISSING   $R\\OV\\OV.MCX  expected sha256 $(sha "$(e2e_payload_file '\OV\OV.MCX')")" '0 of 9 hold')" \
    ''                                                          unchanged
run version-quiet         complete    '' \
    '/version /quiet /log=C:\run.log'                      0    "$Version" \
    ''                                                          'unchanged; expect_log_lines "$name" "C:\\run.log" "$(lines "$Version" "exit code 0")"'
run remove-quiet          complete    keep_backups \
    '/remove /quiet /log=C:\remove.log'                    0    "$Restored" \
    ''                                                          "$restored_from_backups"'
        expect_log_lines "$name" "C:\\remove.log" "$(lines "user.mac rewritten: $UserMac (5 lines before, 4 after)" \
            "backup restored: $R\\core\\800\\TOPDATS.BAK over $R\\core\\800\\TOPDATS.INI" \
            "backup restored: $R\\core\\800\\CHROMTB.BAK over $R\\core\\800\\CHROMTB.INI" \
            "version removed from $R\\OV\\OV.INI" "$Restored" "exit code 0")"
        expect_log_has "$name" "C:\\remove.log" "$(printf "file deleted: %s\n" "${Deleted[@]}")"
        e2e_expect_bytes "$name: user.mac" "$UserMac" "$Macros"'

# Exit code 1: the run went on past a failure it reported.
run read-only-file        old         read_only \
    '/install /quiet /log=C:\run.log'                      1    "$(lines 'Error: Failed to install' "$R\\OV\\OVENV.EXE" "$Question" "$Restart")" \
    ''                                                          'e2e_expect_payload "$name" "\OV\OVENV.EXE"; recorded
        e2e_expect_bytes "$name: the file kept" "$R\\OV\\OVENV.EXE" "release A.03.01: \\OV\\OVENV.EXE"
        expect_log_lines "$name" "C:\\run.log" "$(lines "$Question" "answered No" "$Restart" "exit code 1")"
        e2e_expect "$name: no write logged for the file kept" "" "$(last_run "C:\\run.log" | grep "written: .*OVENV")"'
# A scanner's brief hold, ending 300 ms after the file written before it, is met and waited out; a hold that
# lasts is reported, and the old file stays whole.
run scanner-holds-briefly old         'e2e_lock "$R\\OV\\ORVAND32.DLL" 300 "$R\\OV\\ORVAND16.DLL"' \
    '/install /quiet'                                      0    "$Restart" \
    ''                                                          'installed "$Macros"'
run file-held-on-install  old         'e2e_lock "$R\\OV\\OV.MCX"' \
    '/install /quiet'                                      1    "$(lines 'Error: Failed to install' "$R\\OV\\OV.MCX")" \
    ''                                                          'e2e_expect_payload "$name" "\OV\OV.MCX"
        e2e_expect_bytes "$name: the file kept" "$R\\OV\\OV.MCX" "release A.03.01: \\OV\\OV.MCX"'
run file-held-on-remove   complete    'e2e_lock "$R\\OV\\OVENV.EXE"' \
    '/remove /quiet /log=C:\remove.log'                    1    "$(lines "Error: could not delete $R\\OV\\OVENV.EXE" "$Restored")" \
    ''                                                          'e2e_expect_present "$name" "$R\\OV\\OVENV.EXE"
        e2e_expect_absent "$name" "$R\\OV\\OV.MCX" "$R\\OV\\ORVAND32.DLL"
        expect_log_lines "$name" "C:\\remove.log" "$(lines "file deleted: $R\\OV\\ORVAND32.DLL" "Error: could not delete $R\\OV\\OVENV.EXE" "exit code 1")"'
# An instrument file that stays keeps the backups, so that the next remove restores again and finishes.
run config-file-held      complete    'e2e_lock "$R\\1\\config.reg"' \
    '/remove /quiet'                                       1    "$(lines "Error: could not delete $R\\1\\config.reg" "$Restored")" \
    ''                                                          'e2e_expect_present "$name" "$R\\1\\config.reg" "$R\\core\\800\\TOPDATS.BAK" "$R\\core\\800\\CHROMTB.BAK"
        e2e_expect_absent "$name" "${AddonFiles[@]}"'
run config-file-free-again same       '' \
    '/remove /quiet'                                       0    "$Restored" \
    ''                                                          'e2e_expect_absent "$name" "$R\\1\\config.reg" "$R\\core\\800\\TOPDATS.BAK" "$R\\core\\800\\CHROMTB.BAK"'
# An add-on folder replaced by a link to somewhere else: nothing is written or deleted where it leads.
Elsewhere='C:\elsewhere'
link_scripts() {
    e2e_mkdir "$(e2e_path "$Elsewhere\\PDF")"
    e2e_write "$Elsewhere\\PDF\\PDFNOTES.TXT" 'not the add-on'
    e2e_own "$(e2e_path "$Elsewhere")"
    rm -rf "$(e2e_path "$R\\OV\\SCRIPTS")"
    ln -s "$(e2e_path "$Elsewhere")" "$(e2e_path "$R\\OV\\SCRIPTS")"
}
run install-through-link  old         link_scripts \
    '/install /quiet'                                      1    "$(lines 'Error: Failed to install' "$R\\OV\\SCRIPTS\\PDF\\PDFPRE.VBS")" \
    ''                                                          'e2e_expect_bytes "$name: the file where the link leads" "$Elsewhere\\PDF\\PDFNOTES.TXT" "not the add-on"
        e2e_expect_absent "$name" "$Elsewhere\\PDF\\PDFPRE.VBS"'
run remove-through-link   same        '' \
    '/remove /quiet'                                       1    "$(lines 'Error: Failed to remove' "$R\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT")" \
    ''                                                          'e2e_expect_bytes "$name: the file where the link leads" "$Elsewhere\\PDF\\PDFNOTES.TXT" "not the add-on"
        e2e_expect_absent "$name" "$R\\OV\\OV.MCX"'
# The version record held open by another program for the whole run: the read-back cannot open it either.
run version-record-held   complete    'e2e_lock "$R\\OV\\OV.INI"' \
    '/remove /quiet'                                       1    "Error: the recorded version could not be removed from $R\\OV\\OV.INI" \
    ''                                                          ''
# Beyond the add-on's folders: core, an instrument folder, a leftover replacement and a file with a second name
# that lead elsewhere are never written or deleted through.
aside() {  # aside WINPATH ELSEWHERE: the folder moved to ELSEWHERE and a link to it put in its place
    mv "$(e2e_path "$1")" "$(e2e_path "$2")" && ln -s "$(e2e_path "$2")" "$(e2e_path "$1")"
}
Precious='C:\precious.txt'
Refused=$(lines 'Error: Not changed, since a link leads elsewhere' "$UserMac")
run core-linked           macros      'aside "$R\\core" "C:\\core-elsewhere"' \
    '/install /quiet'                                      1    "$Refused" \
    ''                                                          'e2e_expect_bytes "$name: user.mac where the link leads" "C:\\core-elsewhere\\user.mac" "$Macros"'
run instrument-linked     complete    'aside "$R\\2" "C:\\two-elsewhere"' \
    '/remove /quiet'                                       1    "Error: could not delete $R\\2\\conf_off.reg" \
    ''                                                          'e2e_expect_present "$name" "C:\\two-elsewhere\\conf_off.reg" "$R\\core\\800\\TOPDATS.BAK"'
# Wine shows a link to a folder as a reparse point, but not one to a file (see RELIABILITY.md).
run leftover-linked       macros      'e2e_write "C:\\kept\\a.txt" kept; ln -s "$(e2e_path "C:\\kept")" "$(e2e_path "$UserMac~orv")"' \
    '/install /quiet'                                      1    "$Refused" \
    ''                                                          'e2e_expect_bytes "$name: the folder the leftover names" "C:\\kept\\a.txt" kept'
run config-hard-linked    complete    'e2e_write "$Precious" precious; ln -f "$(e2e_path "$Precious")" "$(e2e_path "$R\\core\\800\\CHROMTB.INI")"' \
    '/remove /quiet'                                       1    "$(lines 'Error: Failed to restore' "$R\\core\\800\\CHROMTB.INI")" \
    ''                                                          'e2e_expect_bytes "$name: the file of the second name" "$Precious" precious'
run read-only-user-mac    complete    'chmod a-w "$(e2e_path "$UserMac")"' \
    '/remove /quiet'                                       1    "$(lines 'Error: Failed to modify user.mac' "$Restored")" \
    ''                                                          'e2e_expect_bytes "$name: user.mac kept" "$UserMac" "$E2E_START_LINE"$'"'\r\n'"'"$Macros"'

# Exit code 1618 (the shell sees its low byte, 82): refused while the host runs, and nothing touched.
run install-host-running  fresh       e2e_host_running \
    '/install /quiet'                                      82   "$Running" \
    ''                                                          unchanged
run remove-host-running   complete    e2e_host_running \
    '/remove /quiet /log=C:\remove.log'                    82   "$Running" \
    ''                                                          'unchanged; expect_log_lines "$name" "C:\\remove.log" "$(lines "$Running" "exit code 1618")"'
# A program of the host with no window here, as a SYSTEM run sees ChemStation in a user's session.
Helper="$R\\core\\helper.exe"
InTree=$(lines "$Running" "running: helper.exe ($Helper)")
run install-host-program  fresh       'e2e_host_program "$Helper"' \
    '/install /quiet /log=C:\run.log'                      82   "$InTree" \
    ''                                                          'unchanged; expect_log_lines "$name" "C:\\run.log" "$(lines "$InTree" "exit code 1618")"'
run remove-host-program   complete    'e2e_host_program "$Helper"' \
    '/remove /quiet'                                       82   "$InTree" \
    ''                                                          unchanged
run program-beside-tree   fresh       'e2e_host_program "C:\e2e\helper.exe"' \
    '/install /quiet'                                      0    "$Restart" \
    ''                                                          installed
# A copy of the installer kept under the ChemStation folder is not the host's program.
keep_copy() { e2e_mkdir "$(e2e_path "$R\\Setup")"; cp "$(e2e_path "$Program")" "$(e2e_path "$R\\Setup")/"; Program="$R\\Setup\\OrvandelSetup.exe"; }
run copy-in-tree          fresh       keep_copy \
    '/install /quiet'                                      0    "$Restart" \
    ''                                                          'installed; Program='"'"'C:\e2e\OrvandelSetup.exe'"'"
# The ChemStation folder a link to where the host's programs were started from.
run root-linked-program   fresh       'aside "$R" "C:\\real-root"; e2e_host_program "C:\\real-root\\core\\helper.exe"' \
    '/install /quiet'                                      82   "$(lines "$Running" 'running: helper.exe (C:\real-root\core\helper.exe)')" \
    ''                                                          ''
# One run at a time on the machine: a window open elsewhere makes a quiet run wait its turn.
Another=$(lines 'Error: Another run of the Orvandel installer is in progress' 'wait until it has ended, then try again')
run install-beside-window fresh       e2e_helper_window \
    '/install /quiet /log=C:\run.log'                      82   "$Another" \
    ''                                                          'unchanged; expect_log_lines "$name" "C:\\run.log" "$(lines "$Another" "exit code 1618")"
        e2e_expect "$name: who holds the lock" "held by: process N (C:\\e2e\\Other.exe) of user $ORV_WINE_USER" \
            "$(stdout | grep "^held by" | sed -E "s/process [0-9]+/process N/")"'

# Exit code 3: no host to work on.
run no-profile            nohost      '' \
    '/install /quiet /log=C:\run.log'                      3    'ChemStation not found' \
    ''                                                          'unchanged; expect_log_lines "$name" "C:\\run.log" "$(lines "ChemStationRoot:  (from win.ini)" "ChemStation not found" "exit code 3")"'
run no-host-path          macros      no_host_path \
    '/install /S'                                          3    'ChemStation not found' \
    ''                                                          unchanged
run gcms-variant          msexe       '' \
    '/install /quiet'                                      3    'GCMS ChemStation is not supported' \
    ''                                                          unchanged

# Exit code 4: an error the window would show in its error display; here it ends the run.
run user-mac-held         macros      'e2e_lock "$UserMac"' \
    '/install /quiet /log=C:\run.log'                      4    "Error: Cannot open file \"$UserMac\". $Sharing." \
    ''                                                          'not_recorded; expect_log_lines "$name" "C:\\run.log" "$(lines "Error: Cannot open file \"$UserMac\". $Sharing." "exit code 4")"'
run log-cannot-open       fresh       '' \
    '/install /quiet /log=C:\no\such\folder\run.log'       4    'Error: cannot open the log file C:\no\such\folder\run.log' \
    ''                                                          unchanged

# Exit code 87: the command line is wrong, and the usage says what it should be. The record of the run
# still tells the administrator why.
run unknown-switch        fresh       '' \
    '/instal /quiet /log=C:\bad.log'                       87   "$(lines 'Unknown switch: /instal' "$Usage")" \
    ''                                                          'unchanged; expect_log_lines "$name" "C:\\bad.log" "$(lines "Unknown switch: /instal" "exit code 87")"'
run two-actions           fresh       '' \
    '/install /remove /quiet'                              87   "$(lines 'Give only one of /install, /remove, /status, /verify, /version and /?' "$Usage")" \
    ''                                                          unchanged
run quiet-alone           fresh       '' \
    '/quiet'                                               87   "$(lines '/quiet and /log need one of /install, /remove, /status or /verify' "$Usage")" \
    ''                                                          unchanged
run log-without-file      fresh       '' \
    '/install /quiet /log='                                87   "$(lines 'The log switch needs a file name: /log=FILE' "$Usage")" \
    ''                                                          unchanged
run word-not-switch       fresh       '' \
    'install /quiet'                                       87   "$(lines 'Unknown argument: install' "$Usage")" \
    ''                                                          unchanged
run log-to-a-device       fresh       '' \
    '/install /quiet /log=C:\logs\nul.txt'                 87   "$(lines 'The log file cannot be a device: C:\logs\nul.txt' "$Usage")" \
    ''                                                          unchanged
# Nor is a record written through a link, into a file of two names, or to a pipe: nothing is written anywhere.
run log-through-link      fresh       'e2e_mkdir "$(e2e_path "C:\\kept-log")"; ln -sfn "$(e2e_path "C:\\kept-log")" "$(e2e_path "C:\\link.log")"' \
    '/install /quiet /log=C:\link.log'                      87   'Error: The log file C:\link.log is a link' \
    ''                                                          'unchanged; e2e_expect "$name: nothing where it leads" "" "$(ls "$(e2e_path "C:\\kept-log")")"'
run log-hard-linked       fresh       'e2e_write "$Precious" precious; ln -fT "$(e2e_path "$Precious")" "$(e2e_path "C:\\link.log")"' \
    '/install /quiet /log=C:\link.log'                      87   'Error: The log file C:\link.log has more than one name (hard links)' \
    ''                                                          'unchanged; e2e_expect_bytes "$name: the file of the second name" "$Precious" precious'
run log-to-a-pipe         fresh       '' \
    '/install /quiet /log=\\.\pipe\orv'                   87   "$(lines 'The log file cannot be a device: \\.\pipe\orv' "$Usage")" \
    ''                                                          unchanged
run wrong-and-bad-log     fresh       '' \
    '/bogus /quiet /log=C:\no\such\folder\run.log'         87   "$(lines 'Unknown switch: /bogus' "$Usage")" \
    ''                                                          unchanged

# The usage on its own; the other spellings of the switches.
run usage-quiet           fresh       '' \
    '/? /quiet'                                            0    "$Usage" \
    ''                                                          usage_named
run dash-upper-case       fresh       '' \
    '-INSTALL -S'                                          0    "$Restart" \
    ''                                                          installed
run verysilent            fresh       '' \
    '/Install /VERYSILENT /LOG:C:\run.log'                 0    "$Restart" \
    ''                                                          'installed; expect_log_lines "$name" "C:\\run.log" "exit code 0"'
run qn-remove             same        '' \
    '-REMOVE -qn'                                          0    'Orvandel removed' \
    ''                                                          'e2e_expect_absent "$name" "${AddonFiles[@]}"'
run log-folder-with-blank fresh       'e2e_mkdir "$(e2e_path "C:\\my logs")"' \
    'cmd:/install /quiet /LOG="C:\my logs\run.log"'        0    "$Restart" \
    ''                                                          'installed; expect_run_log "$name" "C:\\my logs\\run.log" "$Program /install /quiet /LOG=\"C:\\my logs\\run.log\"" "$InstallLog"'
run log-appended          same        '' \
    'cmd:/status /qn /LOG="C:\my logs\run.log"'            0    'score 9 of 9: installed' \
    ''                                                          'expect_lines "$name: both runs" "$(e2e_path "C:\\my logs\\run.log")" \
            "$(lines "$Restart" "exit code 0" "score 9 of 9: installed" "exit code 0")"
        e2e_expect "$name: one header a run" 2 "$(grep -ac "^---- " "$(e2e_path "C:\\my logs\\run.log")")"'

# A console: the report goes to the standard output the program inherits, and no dialog shows.
run console-status        fresh       '' \
    'cmd:/status'                                          0    "$(lines "missing  $R\\OV\\OV.MCX" 'score 0 of 9: not installed')" \
    ''                                                          ''
run console-redirected    fresh       '' \
    'cmd:/status > C:\status.txt'                          0    '' \
    ''                                                          'expect_lines "$name: printed" "$(e2e_path "C:\\status.txt")" "score 0 of 9: not installed"'

# Without /quiet a person sees the program's dialogs, though never its main window; without a console the
# report of /status and /? comes in a dialog of its own.
status_report() { quick '/status /quiet'; E2E_DIALOGS[report]="Information"$'\t'"$(stdout)"$'\t'OK; }
run install-dialogs       macros      '' \
    '/install /log=C:\run.log'                             0    "$(lines "$Question" "$Restart")" \
    'question=&No restart=OK'                                   'installed "$Macros"
        expect_log_lines "$name" "C:\\run.log" "$(lines "$Question" "answered No" "$Restart" "exit code 0")"'
run install-answer-yes    macros      '' \
    '/install /log=C:\run.log'                             0    '' \
    'question=&Yes restart=OK'                                  'installed "$Macros"; expect_log_lines "$name" "C:\\run.log" "answered Yes"
        e2e_recorded "$UserMac" && e2e_pass "$name: user.mac opened" || e2e_fail "$name: user.mac was not opened"'
run host-running-dialog   complete    e2e_host_running \
    '/remove'                                              82   "$Running" \
    'running=OK'                                                unchanged
run error-display         macros      'e2e_lock "$UserMac"' \
    '/install'                                             4    "Error: Cannot open file \"$UserMac\". $Sharing." \
    'cannot-open=OK'                                            not_recorded
run status-no-console     fresh       status_report \
    'start:/status'                                        0    '' \
    'report=OK'                                                 unchanged
run usage-no-console      fresh       '' \
    'start:/?'                                             0    '' \
    'usage=OK'                                                  ''
run quiet-no-console      fresh       '' \
    'start:/instal /quiet'                                 87   '' \
    ''                                                          unchanged
# Without /quiet and without a console, a mistyped switch is said in a dialog, not only by the exit code.
E2E_DIALOGS[bad-switch]="Error"$'\t'"$(lines 'Unknown switch: /instal' "$Usage")"$'\t'OK
run bad-switch-no-console fresh       '' \
    'start:/instal'                                        87   '' \
    'bad-switch=OK'                                             unchanged
e2e_end
