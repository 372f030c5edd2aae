#!/bin/sh
# Each payload file given must be of the kind its item carries, as file(1) names kinds, and there must be
# COUNT of them, each name once (seven in a Windows build; a native build cannot make the two programs).
#   check-kinds.sh COUNT PAYLOAD-FILE...
# Exits 77 (skipped) when file(1) is not installed.
command -v file >/dev/null 2>&1 || { echo "file(1) is not installed"; exit 77; }
[ $# -gt 1 ] || { echo "usage: $0 COUNT PAYLOAD-FILE..."; exit 2; }
count=$1
shift
failed=0
names=$(for path in "$@"; do basename "$path"; done | sort -u | wc -l)
if [ "$#" -eq "$count" ] && [ "$names" -eq "$count" ]; then
    echo "ok   $count files, each name once"
else
    echo "FAIL $# files with $names names, wanted $count"
    failed=1
fi
for path in "$@"; do
    name=$(basename "$path")
    kind=$(file -b "$path")
    case $name in
        OV.MCX) want='binary data, not text'
            case $kind in *text*) ok=no ;; *) ok=yes ;; esac ;;
        ORVAND16.DLL) want='NE for MS Windows, DLL'
            case $kind in "MS-DOS executable, NE for MS Windows 3.x"*"(DLL or font)"*) ok=yes ;; *) ok=no ;; esac ;;
        ORVAND32.DLL) want='PE32 DLL, Intel 80386'
            case $kind in "PE32 executable (DLL) "*"Intel 80386"*) ok=yes ;; *) ok=no ;; esac ;;
        OVENV.EXE) want='PE32 GUI program, Intel 80386'
            case $kind in "PE32 executable (GUI) Intel 80386"*) ok=yes ;; *) ok=no ;; esac ;;
        PDFPRE.VBS|PDFPOST.VBS|PDFNOTES.TXT) want='ASCII text with CR LF line ends'
            case $kind in "ASCII text, with CRLF line terminators") ok=yes ;; *) ok=no ;; esac ;;
        *) want='a payload file'; ok=no ;;
    esac
    if [ $ok = yes ]; then
        echo "ok   $name: $kind"
    else
        echo "FAIL $name: $kind (wanted $want)"
        failed=1
    fi
done
exit $failed
