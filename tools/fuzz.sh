#!/usr/bin/env bash
# Fuzzes each target with libFuzzer (clang, with address and undefined-behaviour checks) for a bounded
# time and keeps the inputs that reach new code in tests/fuzz/corpus/, which CI replays.
#   tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default 60 s; targets LineList PayloadRecord IniText CommandLine)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(LineList PayloadRecord IniText CommandLine)
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends clang libclang-rt-14-dev >/dev/null
fi
out=build/fuzz
mkdir -p "$out"
sources=(platform/LineList.cpp platform/IniText.cpp platform/Exceptions.cpp payload/PayloadItem.cpp
         installer/CommandLine.cpp)
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -Iplatform -Ipayload -Iinstaller)
total=0
for target in "${targets[@]}"; do
    clang++ "${flags[@]}" "tests/fuzz/Fuzz$target.cpp" "${sources[@]}" -o "$out/fuzz_$target"
    mkdir -p "$out/new_$target"
    "$out/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$out/" "$out/new_$target" \
        "tests/fuzz/corpus/$target" 2>"$out/$target.log" || { tail -30 "$out/$target.log"; exit 1; }
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$target.log" | grep -o '[0-9]*$' || echo 0)
    total=$((total + runs))
    # Keep only inputs that add coverage to the stored corpus.
    "$out/fuzz_$target" -merge=1 "tests/fuzz/corpus/$target" "$out/new_$target" >/dev/null 2>&1
    echo "$target: $runs executions, no fault; corpus $(ls "tests/fuzz/corpus/$target" | wc -l) inputs"
done
echo "fuzzing: $total executions in all"
