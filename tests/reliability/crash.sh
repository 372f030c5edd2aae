#!/usr/bin/env bash
# The quiet install and the quiet remove killed at random moments (TerminateProcess, which Wine carries out
# with SIGKILL: nothing of the program runs after it). After each kill every file of the host tree must be
# as it was before the run or as a whole run leaves it, never anything in between, and a following run
# (of the same action, or a remove after a killed install) must bring the tree to exactly the state that
# run leaves when nothing interrupted the first.
#   crash.sh SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR KILLAFTER_EXE
# Environment: CRASH_SEED (default 20261208) draws the moments; CRASH_RUNS, when set, the runs of every case
# instead of the table's. The moments are reproducible from the seed; what the program has done by then depends on the machine's speed, so the test
# also requires that enough kills landed in the middle of the work, where a torn file could be seen.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/lib.sh"
. "$here/lib.sh"
killafter=${5:?usage: $0 SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR KILLAFTER_EXE}
e2e_begin crash "${@:1:4}"
cp "$killafter" "$(e2e_path 'C:\e2e\killafter.exe')"
e2e_own "$(e2e_path 'C:\e2e')"

seed=${CRASH_SEED:-20261208}
echo "seed $seed (CRASH_SEED=$seed reproduces the moments)"
RANDOM=$seed
Root=$(e2e_path "$E2E_ROOT")
Refs=$E2E_WORK/refs
mkdir -p "$Refs"

# The tree a case starts from, kept apart so that every run starts from an exact copy.
keep_tree() { rm -rf "${Refs:?}/$1"; cp -a "$Root" "$Refs/$1"; }
restore_tree() { rm -rf "${Root:?}"; cp -a "$Refs/$1" "$Root"; }

# killed ACTION MS: the program killed MS milliseconds after its first change in a folder of the start
# tree (Watched); sets Outcome ("killed END FIRST" or "exited CODE END FIRST", see killafter.c).
killed() {
    (cd "$(e2e_path 'C:\')" && orv_as_user "$E2E_PREFIX" timeout 60 wine 'C:\e2e\killafter.exe' "$2" "$Watched" \
        "C:\\e2e\\OrvandelSetup.exe $1 /quiet" >"$E2E_WORK/killafter.out" 2>&1)
    Outcome=$(tr -d '\r' <"$E2E_WORK/killafter.out" | tail -1)
}

# prepare CASE TREE ACTION: the start tree of the case, the tree an uninterrupted run leaves, and the
# span of the moments drawn for the kills (Span ms): from the first change to the end of an uninterrupted
# run, the median of five (one slow flush to disk would otherwise stretch it far past the writes).
prepare() {
    local case=$1 tree=$2 action=$3 i end first spans=()
    e2e_tree "$tree"
    [ "$action" = /remove ] && { rel_run /install /quiet; [ "$REL_RC" = 0 ] || e2e_fail "$case: setting up: $REL_OUT"; }
    keep_tree "$case.before"
    Watched=$(cd "$Root" && find . -type d -printf '%P\n' | while IFS= read -r d; do
        d=${d//\//\\}; echo "$E2E_ROOT${d:+\\$d}"; done | paste -sd';')
    rel_snapshot "$Refs/$case.before" "$E2E_WORK/$case.before.snap"
    for i in 1 2 3 4 5; do
        restore_tree "$case.before"
        killed "$action" -1
        read -r _ _ end first <<<"$Outcome"
        [[ $Outcome == "exited 0 "* && $first != -1 ]] || e2e_fail "$case: an uninterrupted run: $Outcome"
        spans+=($((end - first)))
    done
    Span=$(printf '%s\n' "${spans[@]}" | sort -n | sed -n 3p)
    Span=$((Span + 5))
    rel_snapshot "$Root" "$E2E_WORK/$case.after.snap"
}

# crash CASE RUNS TREE ACTION FOLLOW-UP EXPECTED-SCORE
#   the ACTION (/install or /remove) on TREE, killed at a random moment, then FOLLOW-UP run to the end;
#   RUNS times (CRASH_RUNS, when set, instead)
crash() {
    local case=$1 count=${CRASH_RUNS:-$2} tree=$3 action=$4 follow=$5 score=$6
    local run ms left temps early=0 midway=0 finished=0 leftovers=0
    e2e_selected "$case" || return 0
    prepare "$case" "$tree" "$action"
    if [ "$follow" != "$action" ]; then  # the state a whole follow-up run leaves from the start tree
        restore_tree "$case.before"
        rel_run "$follow" /quiet
        rel_snapshot "$Root" "$E2E_WORK/$case.final.snap"
    else
        cp "$E2E_WORK/$case.after.snap" "$E2E_WORK/$case.final.snap"
    fi
    local failed_before=$E2E_FAILED t0
    t0=$(date +%s%N)
    for run in $(seq "$count"); do
        restore_tree "$case.before"
        ms=$((RANDOM % (Span + 1)))
        killed "$action" "$ms"
        rel_snapshot "$Root" "$E2E_WORK/now.snap"
        temps=$(rel_temporaries "$Root")
        # How far the run got: nothing begun, part of the work, or all of it.
        if [ -z "$temps" ] && cmp -s "$E2E_WORK/now.snap" "$E2E_WORK/$case.before.snap"; then early=$((early + 1))
        elif cmp -s "$E2E_WORK/now.snap" "$E2E_WORK/$case.after.snap"; then finished=$((finished + 1))
        else midway=$((midway + 1)); fi
        [ -n "$temps" ] && echo "      run $run ($ms ms, $Outcome): left $temps"
        e2e_expect "$case run $run ($action killed $ms ms after its first change: $Outcome): every file old or new" "" \
            "$(rel_between "$E2E_WORK/$case.before.snap" "$E2E_WORK/$case.after.snap" "$E2E_WORK/now.snap")"

        rel_run "$follow" /quiet
        e2e_expect "$case run $run: $follow afterwards succeeds" 0 "$REL_RC"
        rel_snapshot "$Root" "$E2E_WORK/now.snap"
        e2e_expect "$case run $run: the tree after $follow is that of an uninterrupted run" "" \
            "$(rel_differences "$E2E_WORK/$case.final.snap" "$E2E_WORK/now.snap")"
        # A remove that deletes a file also deletes the temporary that a dead write left beside it.
        temps=$(rel_temporaries "$Root")
        [ -n "$temps" ] && leftovers=$((leftovers + 1))
        e2e_expect "$case run $run: no temporary file after $follow" "" "$temps"
        e2e_expect "$case run $run: score after $follow" "$score" "$(rel_score)"
        if [ "$follow" = /install ]; then
            rel_run /verify /quiet
            e2e_expect "$case run $run: /verify after $follow" 0 "$REL_RC"
        fi
    done
    local ms_total=$((($(date +%s%N) - t0) / 1000000))
    Kills=$((Kills + count)) Midway=$((Midway + midway))
    echo "$case: $count kills 0..$Span ms after the first change: $early before anything began, $midway midway," \
         "$finished after all changes; $((E2E_FAILED - failed_before)) failed checks;" \
         "$leftovers temporaries left by $follow; $((ms_total / count)) ms a run"
}

Kills=0 Midway=0
#     case                     runs  tree    killed    follow-up  score
crash install-over-release     15    old     /install  /install   9
crash install-beside-macros    15    macros  /install  /install   9
crash remove-with-backups      30    macros  /remove   /remove    0
crash install-then-remove      10    old     /install  /remove    0
# A kill before the first change or after the last proves nothing about torn files: a quarter of them at
# least must land in between (about half do).
[ -z "${E2E_ONLY:-}" ] && e2e_expect "at least a quarter of the $Kills kills landed midway ($Midway did)" yes \
    "$([ $((Midway * 4)) -ge "$Kills" ] && echo yes || echo no)"
e2e_end
