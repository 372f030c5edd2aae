#!/usr/bin/env bash
# The error display (the system message box, titled after the program file) for every failure that no
# procedure catches, and the edit action for user.mac.
set -u
. "$(dirname "$0")/lib.sh"
e2e_begin errors-and-edit "$@"

UserMac="$E2E_ROOT\\core\\user.mac"
Denied=$(e2e_system_text 5)
Sharing=$(e2e_system_text 32)
# The texts as e2e_esc writes them.
cannot_open="Cannot open file \"C:\\\\HPCHEM\\\\core\\\\user.mac\". $Sharing."
cannot_create="Cannot create file \"C:\\\\HPCHEM\\\\core\\\\user.mac\". $Denied."

# The error display: a message box with the program's title, the text and one OK button. With "first",
# the main window must not have shown yet.
expect_error_display() {  # expect_error_display WHAT TITLE ESCAPED-TEXT [first]
    if ! e2e_dialog; then e2e_fail "$1: no error display ($E2E_AUTO_ERR)"; return 1; fi
    local dialog="$E2E_DIALOG_TITLE / $E2E_DIALOG_TEXT / $E2E_DIALOG_BUTTONS / $E2E_DIALOG_FOCUS"
    if [ "${4:-}" = first ]; then
        e2e_auto wait "$E2E_MAIN" 0 && e2e_fail "$1: the window showed before the error display was closed" ||
            e2e_pass "$1: the window waits for the error display"
    fi
    e2e_expect "$1: error display (title / text / buttons / focus)" "$2 / $3 / OK / OK" "$dialog"
    e2e_answer "$2" OK
    e2e_expect_no_dialog "$1"
}

# at_start NAME EXE TITLE: user.mac cannot be read when the window is created. The box comes before the
# window, which then opens with no status panel and neither Install nor Remove.
at_start() {
    local name=$1
    e2e_selected "$name" || return 0
    e2e_tree macros
    e2e_lock "$UserMac" || return
    e2e_launch "$2"
    expect_error_display "$name" "$3" "$cannot_open" first
    if e2e_auto wait "$E2E_MAIN" 10000; then
        e2e_state
        e2e_expect "$name: window afterwards" '- / Install=off Remove=off Close=on Edit=on' "$E2E_TOP / $E2E_BUTTONS"
        e2e_auto key "$E2E_MAIN" Escape
    else
        e2e_fail "$name: the window did not open after the error display"
    fi
    e2e_exited "$name: the program ends"
    e2e_stop_helpers
}

# in_handler NAME TREE EXE ADJUSTMENT BUTTON DIALOGS TITLE TEXT CHECKS
#   ADJUSTMENT  shell code run once the window shows (or before the start, when it begins with "before:")
#   DIALOGS     the dialogs before the error display (see e2e_dialogs), '' for none
#   CHECKS      shell code run after the error display; the window must then still be usable
in_handler() {
    local name=$1 adjustment=$4 top buttons
    e2e_selected "$name" || return 0
    e2e_tree "$2"
    [[ $adjustment == before:* ]] && eval "${adjustment#before:}"
    e2e_start "$3" || { e2e_kill_app; return; }
    e2e_state
    top=$E2E_TOP buttons=$E2E_BUTTONS
    [[ $adjustment == before:* ]] || eval "$adjustment"
    e2e_auto click "$E2E_MAIN" "$5" || e2e_fail "$name: pressing $5: $E2E_AUTO_ERR"
    if [ -n "$6" ]; then
        read -r -a steps <<<"$6"
        e2e_dialogs_then "$name" "${steps[@]}"
    fi
    expect_error_display "$name" "$7" "$8"
    eval "$9"
    e2e_state
    e2e_expect "$name: window not re-evaluated" "$top / $buttons" "$E2E_TOP / $E2E_BUTTONS"
    e2e_auto key "$E2E_MAIN" Escape
    e2e_exited "$name: Escape closes the window"
    e2e_stop_helpers
    chmod -R u+w "$(e2e_path "$E2E_ROOT")"
}

# edit NAME TREE ADJUSTMENT USER.MAC OPENED
edit() {
    local name=$1
    e2e_selected "$name" || return 0
    e2e_tree "$2"
    eval "$3"
    e2e_start || { e2e_kill_app; return; }
    e2e_auto click "$E2E_MAIN" 'Edit &user.mac' || e2e_fail "$name: pressing Edit user.mac: $E2E_AUTO_ERR"
    if [ "$5" = opened ]; then
        e2e_expect_no_dialog "$name"
        e2e_recorded "$UserMac" && e2e_pass "$name: user.mac opened" || e2e_fail "$name: user.mac not opened"
    else
        expect_error_display "$name" Orvandelsetup "$cannot_create"
        e2e_expect "$name: user.mac" "not opened" "$(e2e_user_mac_opened)"
    fi
    if [ "$4" = absent ]; then e2e_expect_absent "$name" "$UserMac"; else e2e_expect_bytes "$name: user.mac" "$UserMac" "$4"; fi
    e2e_auto key "$E2E_MAIN" Escape
    e2e_exited "$name: Escape closes the window"
    chmod -R u+w "$(e2e_path "$E2E_ROOT")"
    # An empty user.mac holds no start line: the next start still finds nothing installed.
    if [ "$4" = "" ]; then
        e2e_start || { e2e_kill_app; return; }
        e2e_state
        e2e_expect "$name: next start" 'Version currently installed :|None / Install=on Remove=off Close=on Edit=on' \
            "$E2E_TOP / $E2E_BUTTONS"
        e2e_auto key "$E2E_MAIN" Escape
        e2e_exited "$name: closed again"
    fi
}

#        name              program file        title of the error display
at_start title-own-name    OrvandelSetup.exe   Orvandelsetup
at_start title-setup       SETUP.EXE           Setup
at_start title-two-dots    my.tool.exe         my

Macros=$(printf '%s\r\n' "${E2E_CUSTOMER_MACROS[@]}"; echo .) Macros=${Macros%.}
read_only_core='chmod a-w "$(e2e_path "$E2E_ROOT\\core")"'
#    name              tree    adjustment         user.mac afterwards  shell
edit creates-empty     fresh   ''                 ''                   opened
edit keeps-content     macros  ''                 "$Macros"            opened
edit cannot-create     fresh   "$read_only_core"  absent               refused

not_installed='e2e_expect "$name: nothing recorded" "<no file>" "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version)"'
untouched='e2e_expect "$name: still installed" "A.03.02 / CHROMTB.BAK TOPDATS.BAK" "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version) / $(cd "$(e2e_path "$E2E_ROOT\\core\\800")" && echo *.BAK)"'
no_folder='e2e_expect_absent "$name" "$E2E_ROOT\\OV" "$UserMac"'
old_version='e2e_expect "$name: version kept" "A.03.01" "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version)"'
#          name                 tree      program file       adjustment
#          button       dialogs before        title          text
#          checks afterwards
in_handler install-unreadable   macros    OrvandelSetup.exe  'e2e_lock "$UserMac"' \
           '&Install'   ''                    Orvandelsetup  "$cannot_open" \
           "$not_installed"
in_handler remove-unreadable    complete  OrvandelSetup.exe  'e2e_lock "$UserMac"' \
           '&Remove'    ''                    Orvandelsetup  "$cannot_open" \
           "$untouched"
in_handler folder-refused       fresh     SETUP.EXE          'chmod a-w "$(e2e_path "$E2E_ROOT")"' \
           '&Install'   ''                    Setup          'File access denied.' \
           "$no_folder"
in_handler version-unwritable   old       OrvandelSetup.exe  'before:chmod a-w "$(e2e_path "$E2E_ROOT\\OV\\OV.INI")"' \
           '&Install'   'question=&No'        Orvandelsetup  'Unable to write to C:\\HPCHEM\\OV\\OV.INI.' \
           "$old_version"

# A log-off and a close while the install asks its question, then fails: the log-off is refused while files are
# changed; the close waits until the error display has been answered.
if e2e_selected close-while-failing; then
    e2e_tree old && chmod a-w "$(e2e_path "$E2E_ROOT\\OV\\OV.INI")" && e2e_start
    e2e_auto click "$E2E_MAIN" '&Install' && e2e_dialog  # the clean-up question
    e2e_auto end-session "$E2E_MAIN"
    logoff=$E2E_AUTO
    e2e_auto wm-close "$E2E_MAIN" && e2e_answer Information '&No' && e2e_dialog
    e2e_expect close-while-failing "$(printf 'end-session\trefused') / Orvandelsetup / Unable to write to C:\\\\HPCHEM\\\\OV\\\\OV.INI. / yes" \
        "$logoff / $E2E_DIALOG_TITLE / $E2E_DIALOG_TEXT / $(e2e_auto wait "$E2E_MAIN" 0 && echo yes || echo no)"
    e2e_answer Orvandelsetup OK
    e2e_exited "close-while-failing: then the window closes"
    chmod -R u+w "$(e2e_path "$E2E_ROOT")"
fi
e2e_end
