#!/usr/bin/env bash
# Installing through the window: first install, install beside a site's own macros (the clean-up question
# answered each way), repair, upgrade, unusual user.mac files and a file that cannot be replaced.
set -u
. "$(dirname "$0")/lib.sh"
e2e_begin install "$@"

UserMac="$E2E_ROOT\\core\\user.mac"
crlf() { local line; for line in "$@"; do printf '%s\r\n' "$line"; done; }
Start=$(crlf "$E2E_START_LINE"; echo .) Start=${Start%.}
Macros=$(crlf "${E2E_CUSTOMER_MACROS[@]}"; echo .) Macros=${Macros%.}

# install NAME TREE ADJUSTMENT DIALOGS USER.MAC RECORDED [MORE-CHECKS]
#   ADJUSTMENT  shell code run on the tree before the start; it may name in Kept an add-on file that
#               cannot be replaced and so keeps its old content, and set After to the window expected
#               afterwards when that is not the complete installation
#   DIALOGS     the dialogs after pressing Install and their answers (see e2e_dialogs)
#   USER.MAC    its exact bytes afterwards
#   RECORDED    yes when the answer opened user.mac in its associated program
#   MORE-CHECKS shell code run after the checks on the files
install() {
    local name=$1 Kept= After='Files are already installed|Do you want to remove? / Install=off Remove=on Close=on Edit=on'
    e2e_selected "$name" || return 0
    e2e_tree "$2"
    eval "$3"
    e2e_start || { e2e_kill_app; return; }
    e2e_auto click "$E2E_MAIN" '&Install' || e2e_fail "$name: pressing Install: $E2E_AUTO_ERR"
    read -r -a steps <<<"$4"
    e2e_dialogs "$name" "${steps[@]}"
    e2e_expect_bytes "$name: user.mac" "$UserMac" "$5"
    e2e_expect_payload "$name" $Kept
    e2e_expect "$name: recorded version" "$E2E_VERSION" "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version)"
    if [ "$6" = yes ]; then
        e2e_recorded "$UserMac" && e2e_pass "$name: user.mac opened for editing" ||
            e2e_fail "$name: user.mac was not opened for editing"
    else
        e2e_expect "$name: user.mac" "not opened" "$(e2e_user_mac_opened)"
    fi
    eval "${7:-}"
    e2e_state
    e2e_expect "$name: window afterwards" "$After" "$E2E_TOP / $E2E_BUTTONS"
    e2e_auto focus "$E2E_MAIN"
    e2e_expect "$name: focus afterwards" $'focus\tButton\t&Close' "$E2E_AUTO"
    e2e_auto key "$E2E_MAIN" Enter
    e2e_exited "$name: Enter then closes the window"
}

read_only() { chmod a-w "$(e2e_path "$E2E_ROOT\\OV\\OVENV.EXE")"; Kept='\OV\OVENV.EXE'; }
# user.mac can be read but not written: the start line is missing afterwards, so the install is incomplete.
read_only_user_mac() {
    chmod a-w "$(e2e_path "$UserMac")"
    After='Incomplete installation detected|You can select install or remove / Install=on Remove=on Close=on Edit=on'
}
old_file_stays='e2e_expect_bytes "$name: the file kept" "$E2E_ROOT\\OV\\OVENV.EXE" "release A.03.01: \\OV\\OVENV.EXE"'
bitmaps_stay='e2e_expect_present "$name: bitmaps of the old release are left" "$E2E_ROOT\\OV\\TASKBOVU.BMP" "$E2E_ROOT\\OV\\TASKBOVN.BMP"'

#       name              tree        adjustment
#       dialogs and answers                                   user.mac afterwards             opened  more checks
install fresh             fresh       '' \
        'restart=OK'                                          "$Start"                        no
install answer-yes        macros      '' \
        'question=&Yes restart=OK'                            "$Start$Macros"                 yes
install answer-no         macros      '' \
        'question=&No restart=OK'                             "$Start$Macros"                 no
install answer-escape     macros      '' \
        'question=key:Escape restart=key:Escape'              "$Start$Macros"                 no
install answer-close-box  macros      '' \
        'question=close restart=close'                        "$Start$Macros"                 no
install answer-alt-n      macros      '' \
        'question=key:alt+n restart=key:Enter'                "$Start$Macros"                 no
install repair            incomplete  '' \
        'question=&No restart=OK'                             "$Start$Macros"                 no
install upgrade           old         '' \
        'question=&No restart=OK'                             "$Start$Macros"                 no      "$bitmaps_stay"
install blank-lines       fresh       'e2e_write "$UserMac" $'"'"'\r\n  \r\n'"'"'' \
        'restart=OK'                                          "$Start"$'\r\n  \r\n'           no
install lf-line-ends      fresh       'e2e_write "$UserMac" $'"'"'macro "..\\ov\\ov.mcx",go\nSITESTART\n'"'"'' \
        'question=&No restart=OK'                             "$Start"$'SITESTART\r\n'        no
install doubled-start     fresh       'e2e_lines "$UserMac" "$E2E_START_LINE" "$E2E_START_LINE" "MACRO \"SITE.MAC\",GO"' \
        'question=&No restart=OK'                             "$Start"$'MACRO "SITE.MAC",GO\r\n' no
install read-only-file    old         read_only \
        "failed:$E2E_ROOT\\OV\\OVENV.EXE=OK question=&No restart=OK" "$Start$Macros"        no      "$old_file_stays"
install read-only-user-mac macros     read_only_user_mac \
        'usermac-failed=OK question=&No restart=OK'           "$Macros"                       no
e2e_end
