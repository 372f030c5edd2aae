#!/usr/bin/env bash
# What the main window shows for every state of the host: the panel seen on top, the panels visible under
# it, and which buttons the user can press. One screenshot of each state.
set -u
. "$(dirname "$0")/lib.sh"
e2e_begin visible-states "$@"

NoHost='ChemStation not found|Can not continue'
MassSpec='GCMS ChemStation is not supported|Can not continue'
NotInstalled='This will install an addon for your ChemStation|Do you want to continue?'
Some='Incomplete installation detected|You can select install or remove'
All='Files are already installed|Do you want to remove?'
Version='Version currently installed :'

# state NAME TREE ADJUSTMENT TOP VISIBLE-PANELS BUTTONS
state() {
    local name=$1
    e2e_selected "$name" || return 0
    e2e_tree "$2"
    eval "$3"
    e2e_start || { e2e_kill_app; return; }
    e2e_state
    e2e_expect "$name: panel on top" "$4" "$E2E_TOP"
    e2e_expect "$name: visible panels" "$5" "$E2E_PANELS"
    e2e_expect "$name: buttons" "$6" "$E2E_BUTTONS"
    e2e_shot "state-$name" "$E2E_MAIN"
    e2e_auto close "$E2E_MAIN"
    e2e_exited "$name: the close box ends the program"
}

win_ini_root() {  # the host path only in win.ini
    e2e_rm 'C:\windows\chemstation.ini'
    printf '[PCS]\r\nPath=%s\r\n' "$E2E_ROOT" >>"$(e2e_path 'C:\windows\win.ini')"
}

Off='Install=off Remove=off Close=on Edit=off'
#     name              tree        adjustment                                      panel on top
#                       visible panels, top first                                   buttons
state no-host           nohost      ''                                              "$NoHost" \
                        'ChemStation not found'                                     "$Off"
state gcms              msexe       ''                                              "$MassSpec" \
                        'GCMS ChemStation is not supported'                         "$Off"
state not-installed     macros      ''                                              "$Version|None" \
                        "$Version / ${NotInstalled%|*}"                              'Install=on Remove=off Close=on Edit=on'
state win-ini-root      fresh       win_ini_root                                    "$Version|None" \
                        "$Version / ${NotInstalled%|*}"                              'Install=on Remove=off Close=on Edit=on'
state start-line-only   fresh       'e2e_lines "$E2E_ROOT\\core\\user.mac" "$E2E_START_LINE"' "$Version|None" \
                        "$Version / ${Some%|*}"                                      'Install=on Remove=on Close=on Edit=on'
state incomplete        incomplete  ''                                              "$Some" \
                        "${Some%|*}"                                                'Install=on Remove=on Close=on Edit=on'
state old-version       old         ''                                              "$Version|A.03.01" \
                        "$Version / ${Some%|*}"                                      'Install=on Remove=on Close=on Edit=on'
state version-case      complete    'e2e_version_record a.03.02'                    "$Version|a.03.02" \
                        "$Version / ${Some%|*}"                                      'Install=on Remove=on Close=on Edit=on'
state start-line-late   complete    'e2e_lines "$E2E_ROOT\\core\\user.mac" "! then: $E2E_START_LINE"' "$Some" \
                        "${Some%|*}"                                                'Install=on Remove=on Close=on Edit=on'
state complete          complete    ''                                              "$All" \
                        "${All%|*}"                                                 'Install=off Remove=on Close=on Edit=on'
state loose-start-line  complete    'e2e_lines "$E2E_ROOT\\core\\user.mac" "   macro \"..\\ov\\ov.mcx\",go ! add-on"' "$All" \
                        "${All%|*}"                                                 'Install=off Remove=on Close=on Edit=on'
state two-start-lines   complete    'e2e_lines "$E2E_ROOT\\core\\user.mac" "$E2E_START_LINE" "$E2E_START_LINE"' "$All" \
                        "${All%|*}"                                                 'Install=off Remove=on Close=on Edit=on'
e2e_end
