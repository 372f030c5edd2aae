#!/bin/sh
# The payload tool, given a 692-byte file for the 391479-byte item deOvMcx, must say so, fail and write no record.
#   refuses-wrong-size.sh TOOL PDFNOTES.TXT RECORD
tool=$1 file=$2 record=$3
rm -f "$record"
output=$("$tool" record deOvMcx "$file" "$record" 2>&1)
rc=$?
failed=0
case $output in
    *"PDFNOTES.TXT is 692 bytes, but payload item deOvMcx"*"must be exactly 391479 bytes"*) echo "ok   message: $output" ;;
    *) echo "FAIL message: $output"; failed=1 ;;
esac
if [ "$rc" -ne 0 ]; then echo "ok   exit code $rc"; else echo "FAIL exit code 0"; failed=1; fi
if [ -e "$record" ]; then echo "FAIL a record was written"; failed=1; else echo "ok   no record"; fi
exit $failed
