#!/usr/bin/env bash
# The MSI package under Wine's own Windows Installer (msiexec), as Group Policy, ConfigMgr and Intune run it:
# refused while the host runs, installed, repaired, replaced, upgraded from an older package, removed; what
# Programs and Features shows; what reaches the installer's log and the program's.
#   usage: msi.sh SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR RUNSETUP_DLL
# The shipped package wraps the i686 program. Where only the x86_64 build can run, the packages made here wrap
# that build the same way (tools/msi.sh then makes an x64 package).
set -u
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../reliability/lib.sh"
[ $# -eq 5 ] || { echo "usage: $0 SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR RUNSETUP_DLL" >&2; exit 2; }
action=$5
e2e_begin msi "${@:1:4}"
rm -f "$4"/msi-*.log

R=$E2E_ROOT
UserMac="$R\\core\\user.mac"
# ProgramFilesFolder: "Program Files (x86)" under 64-bit Wine, as on 64-bit Windows.
Folder='C:\Program Files\Orvandel'
[ "$ORV_WINE_ARCH" = x86_64 ] && Folder='C:\Program Files (x86)\Orvandel'
Program="$Folder\\OrvandelSetup.exe"
# Wine sets no MsiLogFileLocation, so the program's log goes to the Windows folder's Logs.
ProgramLog="C:\\windows\\Logs\\OrvandelSetup.log"
ProgramLogFile=$(e2e_path 'C:\windows\logs\OrvandelSetup.log')  # the prefix spells the folder in lower case
Uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# ---- The packages: this build's program, and an older version of the package, made for this test only -------

package() {  # package NAME [--version V]: C:\e2e\NAME.msi; its product code in Code[NAME]
    local info
    info=$(bash "$E2E_LIB/../../tools/msi.sh" "${@:2}" "$E2E_SETUP" "$action" "$(e2e_path "C:\\e2e\\$1.msi")" 2>&1) ||
        { e2e_fail "package $1: $info"; return 1; }
    e2e_pass "package $1 made"
    Code[$1]=$(sed -n 's/^product code: //p' <<<"$info")
    e2e_own "$(e2e_path "C:\\e2e\\$1.msi")"
}
declare -A Code
package Orvandel && package Older --version 3.1.0 || { e2e_end; exit; }

# msi ARGS...: msiexec with ARGS and a verbose log in C:\msi.log, kept as OUT_DIR/msi-N-CASE.log; Rc gets its
# exit code. It runs from a batch file: Wine's own exit status keeps only the low eight bits of it.
# 9009 is the batch's own "could not start msiexec" (seen once on a loaded CI machine, right after a run that
# had been refused): msiexec never ran, so nothing of the package was tried; that start is tried once more.
Runs=0
msi() {
    e2e_write 'C:\e2e\msi.cmd' "@msiexec $* /l*v C:\\msi.log"$'\r\n''@>C:\msi.rc echo %ERRORLEVEL%'$'\r\n'
    local try
    for try in 1 2; do
        rm -f "$(e2e_path 'C:\msi.rc')" "$(e2e_path 'C:\msi.log')"
        e2e_wine cmd /c 'C:\e2e\msi.cmd'
        Rc=$(tr -d '\r ' <"$(e2e_path 'C:\msi.rc')" 2>/dev/null || echo none)
        { [ "$Rc" = 9009 ] && [ ! -f "$(e2e_path 'C:\msi.log')" ]; } || break
        echo "note  $name: msiexec did not start ($(tr -d '\r' <"$E2E_WORK/wine.out" | tr '\n' ' ' | cut -c1-300))"
    done
    Runs=$((Runs + 1))
    cp "$(e2e_path 'C:\msi.log')" "$E2E_OUT/msi-$Runs-$name.log" 2>/dev/null
}

# ---- Checks ------------------------------------------------------------------------------------------------

# msi_logged WHAT LINE...: the lines are in the installer's log, each whole, in any order.
msi_logged() {
    local line missing=()
    for line in "${@:2}"; do tr -d '\r' <"$(e2e_path 'C:\msi.log')" | grep -qxF -- "$line" || missing+=("$line"); done
    e2e_expect "$1: in the installer's log" "" "${missing[*]}"
}
# The program's log: its last run's command line and exit code, and how many runs it holds.
program_runs() { tr -d '\r' <"$ProgramLogFile" 2>/dev/null | grep -c '^---- '; }
program_last() {
    tr -d '\r' <"$ProgramLogFile" |
        awk '/^---- / { run = "" } /^command line: |^exit code / { run = run $0 "|" } END { printf "%s", run }'
}
# arp CODE: the Programs and Features entry of a product, "Name|Version|Publisher|NoModify", or "none".
arp() {
    if ! e2e_wine reg query "$Uninstall\\$1"; then echo none; return; fi
    local value name out=()
    for name in DisplayName DisplayVersion Publisher NoModify; do
        value=$(tr -d '\r' <"$E2E_WORK/wine.out" | sed -n "s/^ *$name *REG_[A-Z_]* *//p")
        out+=("$value")
    done
    (IFS='|'; echo "${out[*]}")
}
installed() {  # installed WHAT: the add-on complete at this version, as /verify of the installed program says
    e2e_expect_payload "$1"
    e2e_expect "$1: user.mac starts the add-on" "$E2E_START_LINE" "$(head -1 "$(e2e_path "$UserMac")" | tr -d '\r')"
    e2e_expect "$1: version recorded" "$E2E_VERSION" "$(e2e_ini "$R\\OV\\OV.INI" OV Version)"
    rel_run --exe "$Program" /verify /quiet
    e2e_expect "$1: /verify of the installed program" 0 "$REL_RC"
}
Entry="Orvandel add-on for ChemStation|3.2.0|Tovrenik|0x1"
Refused='OrvandelSetup: Error: The ChemStation program is running'

# ---- The cases ---------------------------------------------------------------------------------------------

# A host window open: the program refuses (exit 2), so the package fails with 1603 and takes its own file
# back; the installer's log says why.
name=host-running
e2e_tree macros
e2e_host_running
Before=$(e2e_fingerprint)
msi /i 'C:\e2e\Orvandel.msi' /qn
e2e_stop_helpers
e2e_expect "$name: msiexec /i" 1603 "$Rc"
e2e_expect "$name: no host file changed" "$Before" "$(e2e_fingerprint)"
e2e_expect_absent "$name: rolled back" "$Program"
e2e_expect "$name: not in Programs and Features" none "$(arp "${Code[Orvandel]}")"
msi_logged "$name" "$Refused" 'OrvandelSetup: exit code 1618'

name=install
msi /i 'C:\e2e\Orvandel.msi' /qn
e2e_expect "$name: msiexec /i" 0 "$Rc"
installed "$name"
e2e_expect "$name: Programs and Features" "$Entry" "$(arp "${Code[Orvandel]}")"
e2e_expect "$name: the program's run, logged in the Windows folder's Logs" \
    "command line: \"$Program\" /install /quiet /log=\"$ProgramLog\"|exit code 0|" "$(program_last)"
msi_logged "$name" 'OrvandelSetup: Restart the ChemStation' 'OrvandelSetup: exit code 0'

# Repair: the program and an add-on file deleted, both back. "msiexec /fa {product code}" is the installation
# with REINSTALL=ALL REINSTALLMODE=a; Wine 8's msiexec leaves /f with a product code out ("Product code
# treatment not implemented yet", exit code 1), so the package is run with those properties. A log named on
# the command line takes the program's record.
name=repair
e2e_rm "$Program" "$R\\OV\\OV.MCX"
msi /i 'C:\e2e\Orvandel.msi' REINSTALL=ALL REINSTALLMODE=a /qn 'ORVANDEL_LOG=C:\repair.log'
e2e_expect "$name: msiexec /fa, as its properties" 0 "$Rc"
installed "$name"
e2e_expect "$name: logged where told" "exit code 0" "$(tr -d '\r' <"$(e2e_path 'C:\repair.log')" | tail -1)"

# This package replaced by a newer one: Windows Installer then removes it with UPGRADINGPRODUCTCODE set (the
# newer package's product code). Only the program goes; the add-on is left to the newer package's /install.
name=replaced
Before=$(e2e_fingerprint)
Done=$(program_runs)
msi /x "${Code[Orvandel]}" /qn 'UPGRADINGPRODUCTCODE={0F0F0F0F-0000-4000-8000-00000000A033}'
e2e_expect "$name: msiexec /x" 0 "$Rc"
e2e_expect "$name: the program did not run" "$Done" "$(program_runs)"
e2e_expect "$name: no host file changed" "$Before" "$(e2e_fingerprint)"
e2e_expect_absent "$name" "$Program"
e2e_expect "$name: gone from Programs and Features" none "$(arp "${Code[Orvandel]}")"

# The upgrade from an older package, over an add-on of its time (A.03.01).
name=upgrade
msi /i 'C:\e2e\Older.msi' /qn
e2e_expect "$name: the older package installs" 0 "$Rc"
e2e_tree old
Done=$(program_runs)
msi /i 'C:\e2e\Orvandel.msi' /qn
e2e_expect "$name: msiexec /i" 0 "$Rc"
installed "$name"
e2e_expect "$name: the older package is gone" none "$(arp "${Code[Older]}")"
e2e_expect "$name: Programs and Features" "$Entry" "$(arp "${Code[Orvandel]}")"
# The program installs once, last. Wine's RemoveExistingProducts removes the older package without
# UPGRADINGPRODUCTCODE, so its /remove runs there first; Windows Installer sets the property, as above.
runs=$(tr -d '\r' <"$ProgramLogFile" | awk -v skip="$Done" '/^---- / { n++ }
    n > skip && match($0, /" \/(install|remove) /) { printf "%s%s", s, substr($0, RSTART + 2, RLENGTH - 3); s = " " }')
[[ $runs == /install || $runs == "/remove /install" ]] && e2e_pass "$name: the program ran $runs" ||
    e2e_fail "$name: the program ran \"$runs\", not /install alone or after the older package's /remove"

name=remove
msi /x "${Code[Orvandel]}" /qn
e2e_expect "$name: msiexec /x" 0 "$Rc"
e2e_expect_absent "$name" "${E2E_FILES[@]/#/$R}" "$Program"
e2e_expect "$name: version forgotten" "<none>" "$(e2e_ini "$R\\OV\\OV.INI" OV Version)"
e2e_expect "$name: user.mac without the add-on" "$(printf '%s\r\n' "${E2E_CUSTOMER_MACROS[@]}")" \
    "$(cat "$(e2e_path "$UserMac")")"
e2e_expect "$name: gone from Programs and Features" none "$(arp "${Code[Orvandel]}")"
e2e_expect "$name: the program removed the add-on" \
    "command line: \"$Program\" /remove /quiet /log=\"$ProgramLog\"|exit code 0|" "$(program_last)"

# ChemStation uninstalled first, as when a PC is retired: the package still goes, and its log says why.
name=remove-without-host
msi /i 'C:\e2e\Orvandel.msi' /qn; e2e_rm 'C:\windows\chemstation.ini'; msi /x "${Code[Orvandel]}" /qn
e2e_expect "$name: msiexec /x, then Programs and Features" "0 none" "$Rc $(arp "${Code[Orvandel]}")"
msi_logged "$name" 'OrvandelSetup: ChemStation not found' 'OrvandelSetup: exit code 3' \
    'OrvandelSetup: no ChemStation on this computer: nothing of the add-on to remove'
e2e_end
