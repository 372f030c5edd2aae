#!/usr/bin/env bash
# DLL planting: a DLL of a system name put beside the program, or in the folder it is started from, must
# never be loaded into it. Canary DLLs (each writes C:\canary-NAME.txt naming the program that loaded it)
# lie in both folders, and Wine is told to prefer a native DLL of each name wherever it finds one; then
# the window is opened and used, and the quiet runs are made. No canary may load into the program.
#   dll-planting.sh SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR CANARY_DIR LOADDLL_EXE STARTONLY_EXE
#
# Names not planted in those runs, because Wine's own DLLs load them whatever the program does:
# - version: Wine's user32 imports it, and Wine, unlike Windows, keeps no list of known DLLs that are
#   always taken from the system folder, so a planted version.dll loads beside any program that imports
#   user32. On Windows user32 does not import it.
# - uxtheme and imm32: Wine's user32 loads both while the process starts, before the program's first
#   instruction (the start-up case below shows it with a program that runs no code at all). imm32 is a
#   known DLL on Windows.
# - msimg32 and ole32: delay imports of Wine's uxtheme and imm32. Wine resolves its own DLLs' delay imports
#   along the default search path even after the program has limited it to the system folder (ole32 is
#   a known DLL on Windows anyway).
# The program imports only system DLLs and limits every later load to the system folder; working around
# these Wine artefacts in the program would buy nothing on Windows.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/lib.sh"
. "$here/lib.sh"
usage="usage: $0 SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR CANARY_DIR LOADDLL_EXE STARTONLY_EXE"
canaries=${5:?$usage} loaddll=${6:?$usage} startonly=${7:?$usage}
e2e_begin dll-planting "${@:1:4}"

WineLoads=(uxtheme imm32 msimg32 ole32)
Beside='C:\plant' Cwd='C:\plantcwd' Startup='C:\startup'
planted=()
for dll in "$canaries"/*.dll; do
    name=$(basename "$dll" .dll)
    [[ " ${WineLoads[*]} " == *" $name "* ]] || planted+=("$name")
done
for dir in "$Beside" "$Cwd" "$Startup"; do e2e_mkdir "$(e2e_path "$dir")"; done
for name in "${planted[@]}"; do
    cp "$canaries/$name.dll" "$(e2e_path "$Beside")/"
    cp "$canaries/$name.dll" "$(e2e_path "$Cwd")/"
done
cp "$E2E_SETUP" "$(e2e_path "$Beside\\OrvandelSetup.exe")"
cp "$loaddll" "$(e2e_path "$Beside\\loaddll.exe")"
cp "$E2E_SETUP" "$(e2e_path "$Startup\\OrvandelSetup.exe")"
cp "$startonly" "$(e2e_path "$Startup\\startonly.exe")"
cp "$canaries/uxtheme.dll" "$canaries/imm32.dll" "$(e2e_path "$Startup")/"
e2e_own "$(e2e_path "$Beside")" "$(e2e_path "$Cwd")" "$(e2e_path "$Startup")"
# Wine takes a native DLL of these names wherever the search finds one, before its own.
Overrides="mscoree,mshtml=;$(IFS=,; echo "${planted[*]}")=n,b"
echo "${#planted[@]} canaries planted: ${planted[*]}"

markers() { (cd "$(e2e_path 'C:\')" && for f in canary-*.txt; do [ -e "$f" ] && echo "$f"; done); }
clear_markers() { rm -f "$(e2e_path 'C:\')"/canary-*.txt; }
# loaded_into PROGRAM: the canaries whose markers name PROGRAM (a file name), separated by blanks.
loaded_into() {
    local f name
    for f in $(markers); do
        if tr -d '\r' <"$(e2e_path "C:\\$f")" | grep -qi "\\\\$1\$"; then
            name=${f#canary-}
            echo "${name%.txt}"
        fi
    done | LC_ALL=C sort | paste -sd' '
}
# Markers written by other programs (the one that opens user.mac, say) are shown, not failed.
show_other_markers() {
    local f
    for f in $(markers); do
        tr -d '\r' <"$(e2e_path "C:\\$f")" | grep -vi 'OrvandelSetup.exe$' | sed "s|^|note  $f loaded into |"
    done
}

# in_folder WINDIR OVERRIDES COMMAND...: a Windows program started from WINDIR with those overrides.
in_folder() {
    local dir=$1 overrides=$2
    shift 2
    (cd "$(e2e_path "$dir")" && orv_as_user "$E2E_PREFIX" env "WINEDLLOVERRIDES=$overrides" timeout 60 wine "$@" \
        >"$E2E_WORK/in-folder.out" 2>&1)
}
planted_run() { rel_run --exe "$Beside\\OrvandelSetup.exe" --cwd "$Cwd" --env "WINEDLLOVERRIDES=$Overrides" "$@"; }
planted_launch() {
    (cd "$(e2e_path "$Cwd")" && orv_as_user "$E2E_PREFIX" env "WINEDLLOVERRIDES=$Overrides" \
        wine "$Beside\\OrvandelSetup.exe" >"$E2E_WORK/app.out" 2>&1) &
    E2E_APP_PID=$!
}

# The Wine services start with the first program, so that none of them runs with the overrides.
e2e_tree macros
rel_run /status /quiet

# The canaries work: a program without defence, started among them, loads the one it asks for, and the
# restriction the installer makes at its start keeps it out. Without this the test could pass with
# canaries that never load anywhere, or show a Wine that ignores the restriction.
for probe in dwmapi propsys cryptbase; do
    for defence in none system; do
        clear_markers
        in_folder "$Cwd" "$Overrides" "$Beside\\loaddll.exe" "$probe" $defence
        e2e_expect "$probe with defence $defence: the canaries loaded" "$([ $defence = none ] && echo $probe)" \
            "$(loaded_into loaddll.exe)"
    done
done
# Where a system cannot restrict the search, the installer loads the system's DLLs by full path first (not
# done under Wine, so made here): among the planted copies, each that Wine has comes from the system folder.
# Not shown: that a load by bare name then takes it (Windows takes the module of that name already loaded,
# Wine 8 the planted DLL), nor that none of the canaries loads (Wine's own DLLs load their imports along the
# default search path: netapi32's is taken).
for probe in dwmapi propsys; do
    in_folder "$Cwd" "$Overrides" "$Beside\\loaddll.exe" "$probe" preload
    e2e_expect "$probe preloaded from" "the system folder" "$(tr -d '\r' <"$E2E_WORK/in-folder.out")"
done

# Start-up: the installer takes in no planted DLL that a program running no code of its own does not
# take in as well; those are loaded by Wine's DLLs before the program starts.
clear_markers
in_folder "$Startup" "mscoree,mshtml=;uxtheme,imm32=n,b" "$Startup\\startonly.exe"
at_start=$(loaded_into startonly.exe)
rel_run --exe "$Startup\\OrvandelSetup.exe" --cwd "$Startup" --env "WINEDLLOVERRIDES=mscoree,mshtml=;uxtheme,imm32=n,b" \
    /status /quiet
e2e_expect "start-up: /status still works" 0 "$REL_RC"
program=$(loaded_into OrvandelSetup.exe)
e2e_expect "start-up: nothing beyond what Wine loads into any program ($at_start)" "" \
    "$(comm -23 <(tr ' ' '\n' <<<"$program" | sed '/^$/d') <(tr ' ' '\n' <<<"$at_start" | sed '/^$/d') | paste -sd' ')"
echo "note  Wine loads into a program that runs no code: ${at_start:-nothing}"

# case_ NAME STEPS: STEPS run the planted program; then no canary may be in it.
case_() {
    local name=$1
    e2e_selected "$name" || return 0
    clear_markers
    eval "$2"
    e2e_expect "$name: no planted DLL loaded into the program" "" "$(loaded_into OrvandelSetup.exe)"
    show_other_markers
}

window_escape='
    planted_launch
    if e2e_auto wait "$E2E_MAIN" 15000; then
        e2e_state
        e2e_expect "$name: the window shows the status" "Incomplete installation detected|You can select install or remove" "$E2E_TOP"
        e2e_auto key "$E2E_MAIN" Escape
        e2e_exited "$name: Escape closes it"
    else
        e2e_fail "$name: the window did not appear: $E2E_AUTO_ERR"; e2e_kill_app
    fi'
# Install through the window, Yes to the clean-up question: the message dialogs and the shell's open verb.
window_install='
    planted_launch
    if e2e_auto wait "$E2E_MAIN" 15000; then
        e2e_auto click "$E2E_MAIN" "&Install" || e2e_fail "$name: pressing Install: $E2E_AUTO_ERR"
        e2e_dialogs "$name" "question=&Yes" "restart=OK"
        e2e_recorded "$E2E_ROOT\\core\\user.mac" || e2e_fail "$name: user.mac was not handed to its program"
        e2e_auto key "$E2E_MAIN" Escape
        e2e_exited "$name: Escape closes it"
    else
        e2e_fail "$name: the window did not appear: $E2E_AUTO_ERR"; e2e_kill_app
    fi'

#     name                 steps
case_ window-escape        "e2e_tree incomplete; $window_escape"
case_ window-install       "e2e_tree macros; $window_install"
case_ quiet-status         'e2e_tree complete; planted_run /status /quiet; e2e_expect "$name: exit code" 0 "$REL_RC"'
case_ quiet-install        'e2e_tree macros; planted_run /install /quiet; e2e_expect "$name: exit code" 0 "$REL_RC"
                            e2e_expect "$name: score" 9 "$(rel_score)"'
case_ quiet-verify         'planted_run /verify /quiet; e2e_expect "$name: exit code" 0 "$REL_RC"'
case_ quiet-remove         'planted_run /remove /quiet; e2e_expect "$name: exit code" 0 "$REL_RC"'
e2e_end
