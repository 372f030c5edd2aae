#!/usr/bin/env bash
# Install and remove are refused while a ChemStation program window exists, and nothing on disk changes.
# The host is recognised by "PhxCntrllr" anywhere in a window class name, in that letter case only.
set -u
. "$(dirname "$0")/lib.sh"
e2e_begin host-running "$@"

# running NAME CLASS TREE BUTTON REFUSED
running() {
    local name=$1 before top buttons
    e2e_selected "$name" || return 0
    e2e_tree "$3"
    e2e_host_running "$2" || return
    before=$(e2e_fingerprint)
    e2e_start || { e2e_kill_app; e2e_stop_helpers; return; }
    e2e_state
    top=$E2E_TOP buttons=$E2E_BUTTONS
    e2e_auto click "$E2E_MAIN" "$4" || e2e_fail "$name: pressing $4: $E2E_AUTO_ERR"
    if [ "$5" = refused ]; then
        e2e_dialogs "$name" 'running=OK'
        e2e_expect "$name: files and folders unchanged" "$before" "$(e2e_fingerprint)"
        e2e_state
        e2e_expect "$name: window unchanged" "$top / $buttons" "$E2E_TOP / $E2E_BUTTONS"
        # Nothing was done, so Enter must not now close the window: the focus stays on the button pressed.
        e2e_auto focus "$E2E_MAIN"
        e2e_expect "$name: focus stays" "$4" "$(e2e_field focus | cut -f2)"
    else
        e2e_dialogs "$name" 'restart=OK'
        e2e_expect "$name: installed" "$E2E_VERSION" "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version)"
    fi
    e2e_auto key "$E2E_MAIN" Escape
    e2e_exited "$name: Escape closes the window"
    e2e_stop_helpers
}

#       name                class              tree      button      outcome
running install-refused     AfxPhxCntrllr1     fresh     '&Install'  refused
running remove-refused      AfxPhxCntrllr1     complete  '&Remove'   refused
running marker-inside-name  XPhxCntrllrY       fresh     '&Install'  refused
running marker-lower-case   afxphxcntrllr1     fresh     '&Install'  installs

# A second window while one is open: it says why it cannot start, and the first stays as it was.
E2E_DIALOGS[another]="Error"$'\t'$'Another run of the Orvandel installer is in progress\nwait until it has ended, then try again\tOK'
if e2e_selected second-window; then
    e2e_tree fresh
    before=$(e2e_fingerprint)
    e2e_start || e2e_kill_app
    e2e_helper_window
    e2e_dialogs_then second-window 'another=OK'
    wait "${E2E_HELPER_PIDS[0]}"
    e2e_expect "second-window: the second run ends with code 1618 (low byte 82)" 82 "$?"
    E2E_HELPER_PIDS=() E2E_HELPER_WINDOW=
    e2e_state
    e2e_expect "second-window: the first window as it was" 'Install=on Remove=off Close=on Edit=on' "$E2E_BUTTONS"
    e2e_expect "second-window: files and folders unchanged" "$before" "$(e2e_fingerprint)"
    e2e_auto key "$E2E_MAIN" Escape
    e2e_exited "second-window: Escape closes the first window"
fi

# A close request while a procedure waits in its dialog: the window stays until the procedure has ended, then
# closes, and the work is whole.
if e2e_selected close-during-install; then
    e2e_tree fresh
    e2e_start || e2e_kill_app
    e2e_auto click "$E2E_MAIN" '&Install' || e2e_fail "close-during-install: pressing Install: $E2E_AUTO_ERR"
    e2e_expect_dialog close-during-install Information $'Restart the ChemStation\nFind a new menu \nAddOn - Orvandel' OK
    e2e_auto end-session "$E2E_MAIN"
    e2e_expect "close-during-install: log-off once the files are written" $'end-session\tallowed' "$E2E_AUTO"
    e2e_auto wm-close "$E2E_MAIN" || e2e_fail "close-during-install: posting WM_CLOSE: $E2E_AUTO_ERR"
    sleep 0.5  # the window has had its close request by then
    e2e_dialog 500
    e2e_expect "close-during-install: the dialog and the window stay" "Information / yes" \
        "$E2E_DIALOG_TITLE / $(e2e_auto wait "$E2E_MAIN" 0 && echo yes || echo no)"
    e2e_answer Information OK
    e2e_exited "close-during-install: after OK the window closes"
    e2e_expect_payload close-during-install
    e2e_expect "close-during-install: recorded version" "$E2E_VERSION" "$(e2e_ini "$E2E_ROOT\OV\OV.INI" OV Version)"
fi
e2e_end
