#!/usr/bin/env bash
# Removing through the window: with no, one or both configuration backups, from a complete, an old and an
# incomplete installation, without user.mac, and with an instrument the host profile does not name.
set -u
. "$(dirname "$0")/lib.sh"
e2e_begin remove "$@"

UserMac="$E2E_ROOT\\core\\user.mac"
Macros=$(printf '%s\r\n' "${E2E_CUSTOMER_MACROS[@]}"; echo .) Macros=${Macros%.}
Start=$E2E_START_LINE$'\r\n'
Removed=('\OV\OV.MCX' '\OV\ORVAND16.DLL' '\OV\ORVAND32.DLL' '\OV\TASKBOVU.BMP' '\OV\TASKBOVN.BMP' '\OV\OVENV.EXE'
         '\OV\SCRIPTS\PDF\PDFPRE.VBS' '\OV\SCRIPTS\PDF\PDFPOST.VBS' '\OV\SCRIPTS\PDF\PDFNOTES.TXT')
Configs=(TOPDATS CHROMTB)

# What is under the root of these names, as "name ..." (an empty text when none is).
present() { local f out=(); for f in "$@"; do [ -e "$(e2e_path "$E2E_ROOT$f")" ] && out+=("$f"); done; echo "${out[*]}"; }
instrument_files() { present '\1\conf_off.reg' '\1\config.reg' '\2\conf_off.reg' '\2\config.reg' \
                             '\3\conf_off.reg' '\3\config.reg' '\4\conf_off.reg' '\4\config.reg'; }

# remove NAME TREE ADJUSTMENT DIALOGS USER.MAC [MORE-CHECKS]
#   DIALOGS   the dialogs after pressing Remove and their answers (see e2e_dialogs)
#   USER.MAC  its exact bytes afterwards, or "absent"
# The adjustment may name in Kept the instrument files that a restore leaves in place, and set After to the
# window expected afterwards when that is not the one of a tree without the add-on.
remove() {
    local name=$1 c restored=no Kept= After='Version currently installed :|None / Install=on Remove=off Close=on Edit=on'

    e2e_selected "$name" || return 0
    e2e_tree "$2"
    eval "$3"
    # What the configuration files should hold afterwards: the backup's bytes where there was one.
    for c in "${Configs[@]}"; do
        local dir
        dir=$(e2e_path "$E2E_ROOT\\core\\800")
        if [ -f "$dir/$c.BAK" ]; then cp "$dir/$c.BAK" "$E2E_WORK/$c.after"; restored=yes
        else cp "$dir/$c.INI" "$E2E_WORK/$c.after"; fi
    done
    local instruments_before
    instruments_before=$(instrument_files)

    e2e_start || { e2e_kill_app; return; }
    e2e_auto click "$E2E_MAIN" '&Remove' || e2e_fail "$name: pressing Remove: $E2E_AUTO_ERR"
    read -r -a steps <<<"$4"
    e2e_dialogs "$name" "${steps[@]}"

    if [ "$5" = absent ]; then e2e_expect_absent "$name" "$UserMac"; else e2e_expect_bytes "$name: user.mac" "$UserMac" "$5"; fi
    e2e_expect "$name: add-on files left" "" "$(present "${Removed[@]}")"
    e2e_expect "$name: add-on folders and profile kept" '\OV \OV\SCRIPTS \OV\SCRIPTS\PDF \OV\OV.INI' \
        "$(present '\OV' '\OV\SCRIPTS' '\OV\SCRIPTS\PDF' '\OV\OV.INI')"
    e2e_expect "$name: recorded version" "<none>" "$(e2e_ini "$E2E_ROOT\\OV\\OV.INI" OV Version)"
    for c in "${Configs[@]}"; do
        e2e_expect_same "$name: $c.INI" "$E2E_ROOT\\core\\800\\$c.INI" "$E2E_WORK/$c.after"
    done
    e2e_expect "$name: backups left" "" "$(present '\core\800\TOPDATS.BAK' '\core\800\CHROMTB.BAK')"
    if [ $restored = yes ]; then
        e2e_expect "$name: instrument configuration files left" "$Kept" "$(instrument_files)"
    else
        e2e_expect "$name: instrument configuration files kept" "$instruments_before" "$(instrument_files)"
    fi
    e2e_expect "$name: other instrument files kept" '\1\method.m \2\method.m \3\method.m \4\method.m' \
        "$(present '\1\method.m' '\2\method.m' '\3\method.m' '\4\method.m')"
    eval "${6:-}"

    e2e_state
    e2e_expect "$name: window afterwards" "$After" "$E2E_TOP / $E2E_BUTTONS"
    e2e_auto focus "$E2E_MAIN"
    e2e_expect "$name: focus afterwards" $'focus\tButton\t&Close' "$E2E_AUTO"
    e2e_auto key "$E2E_MAIN" Enter
    e2e_exited "$name: Enter then closes the window"
}

# The fourth instrument is not in the host profile: it names no folder, so nothing is deleted for it, and
# files of the program's current folder (C:\) that happen to be called "===conf_off.reg" stay.
unnamed_instrument() {
    sed -i '/^_INSTPATH\$=.*\\4\\/d' "$(e2e_path 'C:\windows\chemstation.ini')"
    e2e_write 'C:\===conf_off.reg' 'x'
    e2e_write 'C:\===config.reg' 'x'
    Kept='\4\conf_off.reg \4\config.reg'
}
unnamed_checks='e2e_expect_present "$name" "C:\\===conf_off.reg" "C:\\===config.reg"'
# user.mac can be read but not written: its start line stays, so one element of the add-on is left.
read_only_user_mac() {
    chmod a-w "$(e2e_path "$UserMac")"
    After='Version currently installed :|None / Install=on Remove=on Close=on Edit=on'
}
lower_case_line() {
    e2e_lines "$UserMac" "$E2E_START_LINE" '  Call "..\ov\tools.mac"' "${E2E_CUSTOMER_MACROS[@]}"
}

#      name               tree        adjustment
#      dialogs and answers              user.mac afterwards  more checks
remove no-backup          complete    'e2e_rm "$E2E_ROOT\\core\\800\\TOPDATS.BAK" "$E2E_ROOT\\core\\800\\CHROMTB.BAK"' \
       'removed=OK'                     "$Macros"
remove chromtb-backup     complete    'e2e_rm "$E2E_ROOT\\core\\800\\TOPDATS.BAK"' \
       'restored=OK'                    "$Macros"
remove topdats-backup     complete    'e2e_rm "$E2E_ROOT\\core\\800\\CHROMTB.BAK"' \
       'restored=OK'                    "$Macros"
remove both-backups       complete    '' \
       'restored=OK'                    "$Macros"
remove old-release        old         '' \
       'restored=OK'                    "$Macros"
remove incomplete         incomplete  '' \
       'restored=OK'                    "$Macros"
remove lower-case-line    complete    lower_case_line \
       'restored=OK'                    "$Macros"
remove no-user-mac        complete    'e2e_rm "$UserMac"' \
       'restored=OK'                    absent
remove unnamed-instrument complete    unnamed_instrument \
       'restored=OK'                    "$Macros"            "$unnamed_checks"
remove read-only-user-mac complete    read_only_user_mac \
       'usermac-failed=OK restored=OK'  "$Start$Macros"
e2e_end
