#!/usr/bin/env bash
# A quiet install over an OV.INI of KEYS keys (in sections of 100), twice: prints the seconds of each run.
# usage: bench/ovini/keys.sh PROGRAM.EXE KEYS (ORV_WINE_HOME and ORV_DISPLAY as for the tests)
set -u
. "$(dirname "$0")/../../tests/wine/common.sh"
export ORV_WINE_ARCH=i686
orv_ensure_template >/dev/null
P=$(orv_new_prefix bench-ovini)
D=$P/drive_c
exe=$1 keys=$2
rm -rf "$D/HPCHEM"; mkdir -p "$D/HPCHEM/core" "$D/HPCHEM/OV" "$D/e2e"
cp "$exe" "$D/e2e/Setup.exe"
printf '[PCS]\r\nPath=C:\\HPCHEM\r\n' > "$D/windows/chemstation.ini"
python3 - "$D/HPCHEM/OV/OV.INI" "$keys" <<'PY'
import sys
with open(sys.argv[1],'w',newline='') as f:
    f.write('[OV]\r\nVersion=A.03.01\r\n')
    for s in range(int(sys.argv[2])//100):
        f.write('[S%d]\r\n' % s)
        for k in range(100): f.write('K%d=value %d\r\n' % (k, k))
PY
chown -R "$(stat -c %u:%g "$P")" "$D/HPCHEM" "$D/e2e" "$D/windows/chemstation.ini"
orv_as_user "$P" wineserver -p10 >/dev/null 2>&1
cd "$D"
for i in 1 2; do
  s=$(date +%s.%N); orv_as_user "$P" wine 'C:\e2e\Setup.exe' /install /quiet >"$P/last-run.txt" 2>&1; rc=$?; e=$(date +%s.%N)
  echo "keys=$keys run=$i rc=$rc seconds=$(echo "$e - $s" | bc)"
  sed -i 's/Version=A.03.02/Version=A.03.01/' "$D/HPCHEM/OV/OV.INI"
done
