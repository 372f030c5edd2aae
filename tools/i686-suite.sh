#!/usr/bin/env bash
# The i686 suite: the shipped program (build/windows) under 32-bit Wine, chosen for what only it can show (a
# calling convention, a structure's layout, the 32-bit common controls, the 32-bit MSI custom action), and
# small enough for an emulated PC. tools/test-all.sh runs it there (tools/i686-vm.sh) where the machine runs no
# 32-bit program; it runs anywhere 32-bit Wine does.
#   usage: tools/i686-suite.sh [BUILD_DIR]      the i686 build folder, build/windows when left out
# The tests and their commands are those ctest knows; only the cases named below run, and each test may take
# ten times its hang guard (a program run inside it four times its own), emulation being that much slower.
set -u
build=${1:-build/windows}
#   test                       cases
Suite=(
    e2e_unattended             'install-quiet|verify-installed|remove-quiet|install-dialogs|install-host-running|install-host-program|log-cannot-open'
    e2e_keyboard               'alt-i|alt-r'
    reliability_dll_planting   'window-install|quiet-install|quiet-remove'
    e2e_msi                    ''
    unwinder_tests             ''
    cxa_runtime_tests          ''
)
# What they show: the unattended install (its log and /status), verify and remove (the backups restored) on the
# demo tree, the dialogs without the window, and the refusals for a host window (a window enumeration's
# callback) and a host program (the process list, through a late-bound function); the window by keyboard alone,
# Alt+I installing and Alt+R removing (a screenshot of each); the canaries loading where nothing defends against
# them and never into the program; the 32-bit package under 32-bit msiexec, whose custom action runs the program
# (all its cases); the program's own unwinder, personality routine, throw and catch, which only the 32-bit
# program has, on the frames its throws cross and what its handlers do, and on a real error that ends a quiet
# run (a record that cannot be opened: exit 4, where a broken unwinder ends the program otherwise). Each case
# costs a minute or more of emulation: a case joins only for what it adds.
tests= cases=
for ((i = 0; i < ${#Suite[@]}; i += 2)); do
    tests+="|${Suite[i]}"
    [ -n "${Suite[i + 1]}" ] && cases+="|${Suite[i + 1]}"
done
export E2E_ONLY="^(${cases#|})\$" E2E_SLOW=4

# name, hang guard, folder and command of each test, one a line.
list=$(ctest --test-dir "$build" --show-only=json-v1 -R "^(${tests#|})\$" | python3 -c '
import json, shlex, sys
for test in json.load(sys.stdin)["tests"]:
    props = {p["name"]: p["value"] for p in test.get("properties", [])}
    print(test["name"], int(props.get("TIMEOUT", 1500)), shlex.quote(props.get("WORKING_DIRECTORY", ".")),
          shlex.join(test["command"]), sep="\t")') || exit 1
[ "$(wc -l <<<"$list")" = $((${#Suite[@]} / 2)) ] || { echo "$build lacks some of the suite's tests:"; echo "$list"; exit 1; }

passed=0 failed=0
while IFS=$'\t' read -r name guard folder command; do
    echo "== $name"
    t0=$SECONDS
    if (eval "cd $folder" && timeout $((guard * 10)) bash -c "$command" </dev/null); then
        passed=$((passed + 1)) result=passed
    else
        failed=$((failed + 1)) result=FAILED
    fi
    echo "== $name $result, $((SECONDS - t0)) s"
done <<<"$list"
echo "i686: $passed passed, $failed failed"
[ "$failed" = 0 ]
