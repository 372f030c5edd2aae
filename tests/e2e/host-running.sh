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
e2e_end
