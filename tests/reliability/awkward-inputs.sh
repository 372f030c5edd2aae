#!/usr/bin/env bash
# Awkward host installations: roots near and past the length Windows allows for a path, a root with
# letters of the Windows code page, trailing and doubled backslashes in the profile's value, values of
# 3000 characters. For each, the window opens and closes, and the quiet status, install, verify and
# remove give a clear message or the right result; never a crash, never a change outside the host tree.
#   awkward-inputs.sh SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/lib.sh"
. "$here/lib.sh"
e2e_begin awkward-inputs "$@"
# A crash prints its report instead of waiting for a person to close the crash dialog.
e2e_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
ChemIni='C:\windows\chemstation.ini'

# long_root N: a C:\ root of exactly N characters, ending in \HPCHEM.
long_root() {
    local root='C:\Labor' room
    while [ $((${#root} + 7)) -lt "$1" ]; do
        room=$(($1 - 7 - ${#root} - 1))
        [ "$room" -gt 120 ] && room=120
        [ "$room" -lt 1 ] && { root+='x'; continue; }
        root+='\'$(head -c "$room" /dev/zero | tr '\0' d)
    done
    echo "$root\\HPCHEM"
}
repeat() { head -c "$2" /dev/zero | tr '\0' "$1"; }
# set_value FILE SECTION KEY VALUE: the value in a profile file (Windows path), replacing the key's line.
set_value() {
    local file
    file=$(e2e_path "$1")
    # Through the environment: awk would read escapes into a value given with -v.
    SECTION="[$2]" KEY=$3 VALUE=$4 awk '
        { sub(/\r$/, "") }
        /^\[/ { inside = ($0 == ENVIRON["SECTION"]) }
        inside && index($0, ENVIRON["KEY"] "=") == 1 { $0 = ENVIRON["KEY"] "=" ENVIRON["VALUE"] }
        { printf "%s\r\n", $0 }' "$file" >"$file.new" && mv "$file.new" "$file"
    e2e_own "$file"
}

# lay ROOT: the demo host tree at ROOT (a C:\ path) with the host profile naming it.
lay() {
    local top
    for top in HPCHEM Labor; do rm -rf "$(e2e_path "C:\\$top")"; done
    bash "$E2E_LIB/../../tools/demo-tree.sh" "$E2E_PREFIX" "$1" >/dev/null || e2e_fail "laying out $1"
    Tree=$(e2e_path "$1")
}

# A crash shows as Wine's report on the error output, or as an exit code the program never gives.
no_crash() {  # no_crash WHAT
    local codes=" 0 1 2 3 4 5 "
    if grep -qiE 'unhandled|page fault|backtrace' "$E2E_WORK/run.err" || [[ $codes != *" $REL_RC "* ]]; then
        e2e_fail "$1: crashed (exit code $REL_RC): $(head -3 "$E2E_WORK/run.err")"
    fi
}

# awkward NAME ROOT ADJUSTMENT INSTALL-EXIT SCORE SAYS STATUS-EXIT REMOVE-EXIT
#   ROOT         where the tree lies (a C:\ path; the adjustment may change what the profile says)
#   INSTALL-EXIT the exit code of /install /quiet; SCORE the score /status reports after it ("-" when
#                /status cannot find the host); SAYS a pattern (grep -E) the install's output must match;
#   STATUS-EXIT  the exit code of /status /quiet before the install, REMOVE-EXIT that of /remove /quiet
awkward() {
    local name=$1 root=$2 install_exit=$4 score=$5 says=$6 status_exit=$7 remove_exit=$8 missing=() path
    e2e_selected "$name" || return 0
    lay "$root"
    eval "$3"
    touch "$E2E_WORK/stamp"

    e2e_launch
    if e2e_auto wait "$E2E_MAIN" 15000; then
        e2e_state
        e2e_shot "awkward-$name"
        e2e_pass "$name: the window opens ($E2E_TOP)"
        e2e_auto key "$E2E_MAIN" Escape
        e2e_exited "$name: Escape closes it"
    else
        e2e_fail "$name: the window did not open: $E2E_AUTO_ERR"
        e2e_dialog 500 && e2e_fail "$name: instead: $E2E_DIALOG_TITLE: $E2E_DIALOG_TEXT"
        e2e_kill_app
    fi

    rel_run /status /quiet
    no_crash "$name: /status"
    e2e_expect "$name: /status exit code" "$status_exit" "$REL_RC"
    # A root too long for Windows is named as such, not only as "not found" or a bare error code.
    local value warned=no too_long=no
    value=$(e2e_ini "$ChemIni" PCS Path)
    value=${value:0:2047}
    # The longest path a run uses: a file's replacement, written beside it with "~orv" added.
    [ $((${#value} + ${#E2E_FILES[6]} + 4)) -gt 259 ] && too_long=yes
    grep -q 'is too long: paths under it exceed the 259 characters' <<<"$REL_OUT" && warned=yes
    e2e_expect "$name: /status warns of paths too long for Windows" "$too_long" "$warned"
    rel_run /install /quiet
    no_crash "$name: /install"
    e2e_expect "$name: /install exit code" "$install_exit" "$REL_RC"
    grep -qE "$says" <<<"$REL_OUT" && e2e_pass "$name: /install says /$says/" ||
        e2e_fail "$name: /install does not say /$says/:"$'\n'"$REL_OUT"
    # Every add-on file the install did not write is named in a message, unless the run stopped early.
    if [ "$install_exit" = 1 ]; then
        for path in "${E2E_FILES[@]}"; do
            cmp -s "$(e2e_payload_file "$path")" "$Tree${path//\\//}" && continue
            grep -qxF "$root$path" <<<"$REL_OUT" || missing+=("$path")
        done
        e2e_expect "$name: every file not written is named" "" "${missing[*]}"
    fi
    local found
    found=$(rel_score)
    e2e_expect "$name: score after /install" "$score" "${found/none/-}"
    if [ "$score" = 9 ]; then
        rel_run /verify /quiet
        e2e_expect "$name: /verify" 0 "$REL_RC"
    fi
    rel_run /remove /quiet
    no_crash "$name: /remove"
    e2e_expect "$name: /remove exit code" "$remove_exit" "$REL_RC"
    [ "$score" != - ] && e2e_expect "$name: score after /remove" 0 "$(rel_score)"

    # Nothing outside the host tree has changed, the host profile included.
    local outside
    outside=$(cd "$E2E_PREFIX/drive_c" && find . -newer "$E2E_WORK/stamp" ! -path "./${Tree#"$E2E_PREFIX/drive_c/"}*" |
        LC_ALL=C sort | paste -sd' ')
    e2e_expect "$name: nothing changed outside the host tree" "" "$outside"
}

Long=$(repeat x 2990)
Trailing='C:\HPCHEM\' Doubled='C:\\HPCHEM\\' LongPath="C:\\HPCHEM\\$Long"
cp1252_profile='iconv -f UTF-8 -t CP1252 "$(e2e_path $ChemIni)" >"$E2E_WORK/ini" && cp "$E2E_WORK/ini" "$(e2e_path $ChemIni)"'
long_values='set_value $ChemIni "PCS,1" "_INSTPATH\$" "C:\\HPCHEM\\1\\$Long"
             set_value $ChemIni "PCS,2" "_INSTPATH\$" "$Long"
             e2e_lines "C:\\HPCHEM\\OV\\OV.INI" "[OV]" "Version=$(repeat 9 3000)" "Notes=$Long"
             e2e_lines "C:\\HPCHEM\\core\\user.mac" "MACRO \"SITE.MAC\",GO" "PRINT \"$Long\""'

#       name               root                    adjustment
#       install exit  score  the install says                status exit  remove exit
# From 228 characters on, a replacement's path passes the 259 that Windows allows and /status warns; Wine
# takes one of 260 (228), and from 229 on fails on the longest (PDFNOTES.TXT).
awkward root-227           "$(long_root 227)"      '' \
        0             9      '^Restart the ChemStation$'      0            0
awkward root-228           "$(long_root 228)"      '' \
        0             9      '^Restart the ChemStation$'      0            0
awkward root-229           "$(long_root 229)"      '' \
        1             8      'Failed to install'              0            0
awkward root-240           "$(long_root 240)"      '' \
        1             6      'Failed to install'              0            0
awkward root-252           "$(long_root 252)"      '' \
        4             0      '^Error: I/O error 206\.$'       0            0
awkward root-265           "$(long_root 265)"      '' \
        3             -      '^ChemStation not found'         3            3
awkward code-page-1252     'C:\Labor\Müller\HPCHEM' "$cp1252_profile" \
        0             9      '^Restart the ChemStation$'      0            0
awkward trailing-backslash 'C:\HPCHEM'             'set_value $ChemIni PCS Path "$Trailing"' \
        0             9      '^Restart the ChemStation$'      0            0
awkward doubled-backslash  'C:\HPCHEM'             'set_value $ChemIni PCS Path "$Doubled"' \
        0             9      '^Restart the ChemStation$'      0            0
awkward path-3000          'C:\HPCHEM'             'set_value $ChemIni PCS Path "$LongPath"' \
        3             -      '^ChemStation not found'         3            3
awkward values-3000        'C:\HPCHEM'             "$long_values" \
        0             9      '^Restart the ChemStation$'      0            0
e2e_end
