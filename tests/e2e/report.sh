#!/usr/bin/env bash
# The installation report a lab files, opened in a real browser (headless Chromium) and printed on Letter and
# A4; the Application event record of each run (seen in Wine's +eventlog trace); the whole exit code 1618,
# which a shell sees only as its low byte, read from a batch file.
set -u
. "$(dirname "$0")/lib.sh"
e2e_begin report "$@"
R=$E2E_ROOT
sha() { sha256sum <"$1" | cut -d' ' -f1; }
Dll=$(e2e_payload_file '\OV\ORVAND32.DLL')

# run SWITCHES: from a batch file that prints %ERRORLEVEL%; sets Rc and Event (the run's event trace line).
run() {
    e2e_write 'C:\e2e\run.cmd' "@C:\\e2e\\OrvandelSetup.exe $1"$'\r\n@echo rc=%ERRORLEVEL%\r\n'
    (cd "$(e2e_path 'C:\')" && orv_as_user "$E2E_PREFIX" env WINEDEBUG=+eventlog timeout 60 wine cmd /c 'C:\e2e\run.cmd') \
        >"$E2E_WORK/stdout" 2>"$E2E_WORK/stderr"
    Rc=$(tr -d '\r' <"$E2E_WORK/stdout" | sed -n 's/^rc=//p')
    Event=$(grep -a ':eventlog:ReportEventW' "$E2E_WORK/stderr" | sed 's/^[0-9a-f]*://')
}

# chrome ARGS...: headless Chromium, a fresh profile; render NAME WINPATH: the report shown (PNG), printed (PDF).
chrome() {
    local profile status
    profile=$(mktemp -d)
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
        --no-first-run --disable-sync --user-data-dir="$profile" "$@" >/dev/null 2>&1
    status=$?; rm -rf "$profile"; return $status
}
render() {
    local html=$E2E_WORK/$1.html paper
    cp "$(e2e_path "$2")" "$html" && cp "$html" "$E2E_OUT/report-$1.html" || { e2e_fail "$1: no report"; return 1; }
    chrome --hide-scrollbars --window-size=800,1460 --screenshot="$E2E_OUT/report-$1.png" "file://$html"
    for paper in letter A4; do
        sed "s|<style>|<style>@page{size:$paper}|" "$html" >"$E2E_WORK/$1-$paper.html"
        chrome --no-pdf-header-footer --print-to-pdf="$E2E_OUT/report-$1-$paper.pdf" "file://$E2E_WORK/$1-$paper.html"
        pdftotext -raw "$E2E_OUT/report-$1-$paper.pdf" "$E2E_WORK/$1-$paper.txt" 2>/dev/null
    done
}

# on_page NAME TEXT...: every TEXT on the printed page of both papers, whole (a digest cut at the margin fails);
# blanks and line breaks do not count, since a table cell breaks a digest or a path where it must.
on_page() {
    local paper t missing
    for paper in letter A4; do
        missing=
        for t in "${@:2}"; do tr -d ' \n' <"$E2E_WORK/$1-$paper.txt" | grep -qF -- "${t// /}" || missing+="[$t] "; done
        e2e_expect "$1: on the page ($paper)" "" "$missing"
    done
}

e2e_tree fresh
mkdir -p "$(e2e_path 'C:\iq')" && e2e_own "$(e2e_path 'C:\iq')"
#   switches                                                  code  event
Cases=(
    "install:/install /quiet /log=\"C:\\iq\\R&D's.log\" /report=C:\\iq\\install.html|0|trace|install succeeded"
    "pass:/verify /quiet /report=C:\\iq\\pass.html|0|trace|verify succeeded"
    "changed:/verify /quiet /report=C:\\iq\\changed.html|5|err|verify failed"
    "missing:/verify /quiet /report=C:\\iq\\missing.html|5|err|verify failed"
    "refused:/remove /quiet /report=C:\\iq\\refused.html|1618|warn|remove refused"
    "removed:/remove /quiet /report=C:\\iq\\removed.html|0|trace|remove succeeded"
)
for c in "${Cases[@]}"; do
    IFS='|' read -r spec code kind said <<<"$c"
    name=${spec%%:*}
    case $name in
        changed) cp "$Dll" "$E2E_WORK/changed.dll" && printf X | dd of="$E2E_WORK/changed.dll" bs=1 seek=4096 conv=notrunc \
                 status=none && cp "$E2E_WORK/changed.dll" "$(e2e_path "$R\\OV\\ORVAND32.DLL")" ;;
        missing) cp "$Dll" "$(e2e_path "$R\\OV\\ORVAND32.DLL")"; e2e_rm "$R\\OV\\OV.MCX" ;;
        refused) e2e_host_running ;;
    esac
    run "${spec#*:}"
    e2e_stop_helpers
    printf '      %s\n' "$Event"
    e2e_expect "$name: exit code" "$code" "$Rc"
    e2e_expect "$name: one event" "$kind:eventlog:ReportEventW L\"Orvandel installer $E2E_VERSION: $said\\r\\nexit code $code\\r\\nuser" \
        "$(sed 's/\(\\r\\nuser\).*/\1/' <<<"$Event")"
    render "$name" "C:\\iq\\$name.html"
done

Rows=()  # every item's path and digest
for f in "${E2E_FILES[@]}"; do Rows+=("$R$f" "$(sha "$(e2e_payload_file "$f")")"); done
on_page pass 'Result: PASS' '9 of 9 items as expected; exit code 0' "${Rows[@]}" 'MACRO "..\OV\OV.MCX",GO first' \
    "Program SHA-256 $(sha "$E2E_SETUP")" 'Performed by' 'Reviewed by' 'Approved by'
on_page changed 'Result: FAIL' '8 of 9 items as expected; exit code 5' "$(sha "$E2E_WORK/changed.dll")"
on_page missing 'Result: FAIL' '8 of 9 items as expected; exit code 5' "$R\\OV\\OV.MCX"
on_page removed 'Result: PASS' '9 of 9 items as expected; exit code 0' 'no line of the add-on'
on_page refused 'Result: FAIL' 'exit code 1618 (refused: ChemStation'
for name in changed missing; do e2e_expect "$name: FAIL twice (the result, the row)" 2 "$(grep -o FAIL "$E2E_WORK/$name-letter.txt" | wc -l)"; done
e2e_expect "install: the log's name (& and ') escaped" 1 "$(grep -c "R&amp;D&#39;s.log</td>" "$E2E_WORK/install.html")"
e2e_expect "no script, no outside resource" 0 "$(grep -ciE '<script|src=|href=|url\(|@import' "$E2E_WORK"/*.html | awk -F: '{s+=$NF} END {print s+0}')"
e2e_expect "install: the report's digest logged" 1 \
    "$(grep -ac "^report written: C:\\\\iq\\\\install.html ($(stat -c %s "$E2E_WORK/install.html") bytes, sha256 $(sha "$E2E_WORK/install.html"))" "$(e2e_path "C:\\iq\\R&D's.log")")"
e2e_end
