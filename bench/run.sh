#!/usr/bin/env bash
# The installer's performance, each figure next to a yardstick measured in the same run:
#   1. size of OrvandelSetup.exe beyond the 604621 payload bytes, and the NSIS installers of the same files
#   2. start-up to a visible main window under Wine, against a window of the same controls (bench/reference)
#   3. /install /quiet and /remove /quiet, against NSIS installers of the same files and key (bench/nsis)
#   4. user.mac of 1 thousand to 1 million lines: status and the two edits, natively (Google Benchmark),
#      against reading and writing the same bytes, and the most heap each holds against the file's size;
#      and /status on the 1-million-line file under Wine
#   5. peak working set of a quiet install, against NSIS's
# Usage (as root on Debian 12, like tools/test-all.sh): bench/run.sh
#   about 4 minutes, a minute more for a first build
# Environment: ORV_BENCH_BUILD (default /tmp/orvandel-bench) for the builds and the raw results,
#              ORV_BENCH_ROUNDS (default 41) for the alternated rounds of parts 2 and 3; the Wine runs of
#              parts 4 and 5 take at most 15 rounds, the native benchmarks of part 4 at most 9 repetitions.
# It prints one table; the raw figures stay in $ORV_BENCH_BUILD/results.
# Wine runs the shipped i686 build where 32-bit programs run, else the x86_64 build (tools/windows-build.sh;
# ORVANDEL_WINDOWS_BUILD chooses). NSIS makes 32-bit installers only, so without 32-bit Wine its timings are
# left out and the table says so; its sizes are still measured.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
build=${ORV_BENCH_BUILD:-/tmp/orvandel-bench}
rounds=${ORV_BENCH_ROUNDS:-41}
results=$build/results
status_rounds=$(( rounds < 15 ? rounds : 15 ))   # each round copies a 1-million-line file twice
native_rounds=$(( rounds < 9 ? rounds : 9 ))

say() { echo "== $*" >&2; }

# ---- what the benchmarks need beyond the tests
"$repo/tools/deps.sh"
for package in nsis; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        [ "$(id -u)" = 0 ] || { echo "bench/run.sh needs the package $package; run it as root" >&2; exit 1; }
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$package" >/dev/null
    fi
done

. "$repo/tools/windows-build.sh"
orv_choose_windows_build
echo "$ORV_WINDOWS_WHY" | sed 's/^Windows tests/Wine benchmarks/' >&2
toolchain=$repo/cmake/mingw-$ORV_WINE_ARCH.cmake
nsis_runs=$([ "$ORV_WINE_ARCH" = i686 ] && echo yes || echo no)

# ---- builds, all under $build
say "building"
mkdir -p "$build" "$results"
rm -f "$results"/*
# The shipped program is measured for size wherever this runs; Wine runs the build of the chosen architecture.
for arch in i686 $ORV_WINE_ARCH; do
    cmake -S "$repo" -B "$build/windows-$arch" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel >"$build/configure-windows-$arch.log"
    cmake --build "$build/windows-$arch" --target OrvandelSetup -j2 >"$build/build-windows-$arch.log"
done
cmake -S "$here" -B "$build/bench-windows" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=MinSizeRel >"$build/configure-bench-windows.log"
cmake --build "$build/bench-windows" -j2 >"$build/build-bench-windows.log"
cmake -S "$here" -B "$build/bench-native" -DCMAKE_BUILD_TYPE=Release >"$build/configure-bench-native.log"
cmake --build "$build/bench-native" -j2 >"$build/build-bench-native.log"

# The seven files the program carries (the stand-ins of this build), gathered for NSIS and the timer.
payload=$build/payload
rm -rf "$payload" && mkdir -p "$payload"
cp "$build"/windows-i686/payload/stand-in/{OV.MCX,ORVAND16.DLL,ORVAND32.DLL,OVENV.EXE} "$payload/"
cp "$repo"/payload/stand-in/{PDFPRE.VBS,PDFPOST.VBS,PDFNOTES.TXT} "$payload/"
[ "$(cat "$payload"/* | wc -c)" = 604621 ] || { echo "the payload is not the 604621 bytes it should be" >&2; exit 1; }

makensis -V1 -DPAYLOAD="$payload" -DOUTFILE="$build/nsis-default.exe" "$here/nsis/orvandel.nsi"
makensis -V1 -DPAYLOAD="$payload" -DOUTFILE="$build/nsis-stored.exe" -DSTORED "$here/nsis/orvandel.nsi"
makensis -V1 -DPAYLOAD="$payload" -DOUTFILE="$build/nsis-remove.exe" -DSTORED -DREMOVE "$here/nsis/orvandel.nsi"

# ---- 1. size
for exe in "$build/windows-i686/OrvandelSetup.exe" "$build"/nsis-default.exe "$build"/nsis-stored.exe; do
    echo "size,$(basename "$exe" .exe),$(wc -c <"$exe")" >>"$results/size.csv"
done

# ---- a Wine prefix with a demo ChemStation tree
say "preparing Wine"
. "$repo/tests/wine/common.sh"
prefix=$(orv_new_prefix bench)
orv_as_user "$prefix" wineserver -p >/dev/null 2>&1
trap 'orv_as_user "$prefix" wineserver -k >/dev/null 2>&1 || true' EXIT
crlf() { local file=$1; shift; mkdir -p "$(dirname "$file")"; printf '%s\r\n' "$@" >"$file"; }
crlf "$(orv_prefix_path "$prefix" 'C:\windows\chemstation.ini')" "[PCS]" 'Path=C:\HPCHEM'
crlf "$(orv_prefix_path "$prefix" 'C:\HPCHEM\core\user.mac')" '! Start-up macros of this laboratory' \
    'MACRO "SITE.MAC",GO' 'SETUPREPORTS "Daily QC"'
benchdir=$(orv_prefix_path "$prefix" 'C:\bench')
mkdir -p "$benchdir/payload"
cp "$build/windows-$ORV_WINE_ARCH/OrvandelSetup.exe" "$build"/nsis-*.exe "$build"/bench-windows/orvbench-*.exe "$benchdir/"
cp "$payload"/* "$benchdir/payload/"
cp "$(orv_prefix_path "$prefix" 'C:\HPCHEM\core\user.mac')" "$benchdir/fresh.mac"
"$build/bench-native/orvbench-usermac" make-user-mac 1000000 "$benchdir/million.mac"
chown -R "$ORV_WINE_USER": "$(orv_prefix_path "$prefix" 'C:\HPCHEM')" "$benchdir" \
    "$(orv_prefix_path "$prefix" 'C:\windows\chemstation.ini')"

timer() {  # timer NAME ARGS...: the timer inside the prefix, its lines into $results/NAME.csv
    local name=$1; shift
    orv_as_user "$prefix" wine 'C:\bench\orvbench-timer.exe' "$@" >"$results/$name.csv" 2>"$results/$name.err" ||
        { echo "the timer failed for $name:" >&2; cat "$results/$name.err" >&2; exit 1; }
}
ours='C:\bench\OrvandelSetup.exe'
fresh='C:\bench\fresh.mac'

cat /proc/loadavg >"$results/load.txt"   # other work on the machine shows in the Wine timings

# ---- 2. start-up
say "start-up, $rounds rounds"
timer window window "$rounds" TForm1 "Orvandel Chemstation Addon" "ours=$ours" 'reference=C:\bench\orvbench-reference.exe'

# ---- 3 and 5. install and remove, with the peak working set
say "install and remove, $rounds rounds"
if [ "$nsis_runs" = yes ]; then
    timer install runs "$rounds" 'C:\HPCHEM' "ours|$fresh|-|$ours /install /quiet" \
        "nsis-stored|$fresh|-|C:\\bench\\nsis-stored.exe /S" "nsis-default|$fresh|-|C:\\bench\\nsis-default.exe /S"
    timer remove runs "$rounds" 'C:\HPCHEM' "ours|$fresh|$ours /install /quiet|$ours /remove /quiet" \
        "nsis|$fresh|$ours /install /quiet|C:\\bench\\nsis-remove.exe /S"
    timer memory memory "$status_rounds" 'C:\HPCHEM' "ours|$fresh|-|$ours /install /quiet" \
        "nsis-default|$fresh|-|C:\\bench\\nsis-default.exe /S"
else
    say "NSIS's installers are 32-bit and this Wine is 64-bit only: ours alone"
    timer install runs "$rounds" 'C:\HPCHEM' "ours|$fresh|-|$ours /install /quiet"
    timer remove runs "$rounds" 'C:\HPCHEM' "ours|$fresh|$ours /install /quiet|$ours /remove /quiet"
    timer memory memory "$status_rounds" 'C:\HPCHEM' "ours|$fresh|-|$ours /install /quiet"
fi
timer writes writes "$rounds" 'C:\bench\writes' 'C:\bench\payload\OV.MCX' 'C:\bench\payload\ORVAND16.DLL' \
    'C:\bench\payload\ORVAND32.DLL' 'C:\bench\payload\OVENV.EXE' 'C:\bench\payload\PDFPRE.VBS' \
    'C:\bench\payload\PDFPOST.VBS' 'C:\bench\payload\PDFNOTES.TXT'

# ---- 4. user.mac under Wine, then natively
say "/status on 1 million lines, $status_rounds rounds"
timer status runs "$status_rounds" 'C:\HPCHEM' "million|C:\\bench\\million.mac|-|$ours /status /quiet" \
    "small|$fresh|-|$ours /status /quiet"
orv_as_user "$prefix" wineserver -k >/dev/null 2>&1 || true
cat /proc/loadavg >>"$results/load.txt"

say "user.mac natively (Google Benchmark), $native_rounds repetitions"
# The files live under the build folder, so that runs of other builds keep apart.
export ORV_BENCH_DIR=$build/usermac-files
rm -rf "$ORV_BENCH_DIR"
# Repetitions interleaved at random: a spell of other work on the machine falls on all the figures alike.
"$build/bench-native/orvbench-usermac" --benchmark_repetitions="$native_rounds" --benchmark_min_time=0.2 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$results/usermac.json" --benchmark_out_format=json >"$results/usermac.txt" 2>&1
rm -rf "$ORV_BENCH_DIR"

python3 "$here/report.py" "$results"
