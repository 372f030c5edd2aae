#!/usr/bin/env bash
# The keyboard alone: Escape closes in every state, Enter right after the start does what the state
# suggests, access keys, the tab order, and the keys of the clean-up question.
set -u
. "$(dirname "$0")/lib.sh"
e2e_begin keyboard "$@"

UserMac="$E2E_ROOT\\core\\user.mac"

# keys NAME TREE KEYS DIALOGS OUTCOME
#   KEYS     pressed in the main window as soon as it shows, separated by blanks
#   DIALOGS  the dialogs that follow and their answers (see e2e_dialogs), '' for none
#   OUTCOME  exits, installed, installed+opened (user.mac opened for editing too), removed, opened,
#            nothing, or focus:CAPTION (the button that has the focus)
keys() {
    local name=$1 key
    e2e_selected "$name" || return 0
    e2e_tree "$2"
    e2e_start || { e2e_kill_app; return; }
    for key in $3; do e2e_auto key "$E2E_MAIN" "$key" || e2e_fail "$name: key $key: $E2E_AUTO_ERR"; done
    if [ -n "$4" ]; then
        read -r -a steps <<<"$4"
        e2e_dialogs "$name" "${steps[@]}"
    fi
    case $5 in
        exits) e2e_exited "$name: the window closes"; return ;;
        installed | installed+opened)
            e2e_state
            e2e_shot "keyboard-$name" "$E2E_MAIN"
            e2e_expect "$name: installed" "$E2E_VERSION / Files are already installed|Do you want to remove?" \
                "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version) / $E2E_TOP"
            if [ "$5" = installed ]; then e2e_expect "$name: user.mac" "not opened" "$(e2e_user_mac_opened)"
            else e2e_recorded "$UserMac" && e2e_pass "$name: user.mac opened" || e2e_fail "$name: user.mac not opened"; fi ;;
        removed)
            e2e_state
            e2e_shot "keyboard-$name" "$E2E_MAIN"
            e2e_expect "$name: removed" "<none> / Version currently installed :|None" \
                "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version) / $E2E_TOP" ;;
        opened) e2e_recorded "$UserMac" && e2e_pass "$name: user.mac opened" || e2e_fail "$name: user.mac not opened" ;;
        nothing)
            e2e_expect_no_dialog "$name" 600
            e2e_state
            e2e_expect "$name: still installed" "$E2E_VERSION / Files are already installed|Do you want to remove?" \
                "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version) / $E2E_TOP" ;;
        focus:*)
            e2e_auto focus "$E2E_MAIN"
            e2e_expect "$name: focus" "${5#focus:}" "$(e2e_field focus | cut -f2)" ;;
    esac
    e2e_auto key "$E2E_MAIN" Escape
    e2e_exited "$name: then Escape closes the window"
}

#    name                 tree      keys             dialogs and answers                       outcome
keys enter-no-host        nohost    Enter            ''                                        exits
keys escape-no-host       nohost    Escape           ''                                        exits
keys escape-gcms          msexe     Escape           ''                                        exits
keys escape-fresh         fresh     Escape           ''                                        exits
keys escape-complete      complete  Escape           ''                                        exits
keys enter-fresh          fresh     Enter            'restart=OK'                              installed
keys enter-complete       complete  Enter            'restored=OK'                             removed
keys alt-i                fresh     alt+i            'restart=OK'                              installed
keys letter-i             fresh     i                'restart=OK'                              installed
keys alt-r                complete  alt+r            'restored=OK'                             removed
keys alt-i-disabled       complete  alt+i            ''                                        nothing
keys alt-c                fresh     alt+c            ''                                        exits
keys letter-u             macros    u                ''                                        opened
keys first-focus-fresh    fresh     ''               ''                                        'focus:&Install'
keys first-focus-complete complete  ''               ''                                        'focus:&Remove'
keys first-focus-no-host  nohost    ''               ''                                        'focus:&Close'
keys tab-once             fresh     Tab              ''                                        'focus:&Close'
keys tab-twice            fresh     'Tab Tab'        ''                                        'focus:Edit &user.mac'
keys tab-around           fresh     'Tab Tab Tab'    ''                                        'focus:&Install'
keys right-arrow          complete  Right            ''                                        'focus:&Close'
keys question-enter       macros    Enter            'question=key:Enter restart=OK'           installed+opened
keys question-tab-enter   macros    Enter            'question=key:Tab,Enter restart=OK'       installed
keys question-y           macros    Enter            'question=key:y restart=OK'               installed+opened
keys question-n           macros    Enter            'question=key:n restart=key:Escape'       installed
e2e_end
