# Steps shared by the reliability tests, on top of the end-to-end library: the program run from a command
# line with its exit code and output, snapshots of a whole host tree, and the check that a tree lies
# between two known states file by file. Source it after tests/e2e/lib.sh.

# rel_run [--exe WINPATH] [--cwd WINDIR] [--env VAR=VALUE]... ARGS...: runs the program (by default
# C:\e2e\OrvandelSetup.exe, from C:\) with ARGS; sets REL_RC and REL_OUT (its console output, line ends
# as on Linux).
rel_run() {
    local exe='C:\e2e\OrvandelSetup.exe' cwd='C:\' env=()
    while [ $# -gt 0 ]; do
        case $1 in
            --exe) exe=$2; shift 2 ;;
            --cwd) cwd=$2; shift 2 ;;
            --env) env+=("$2"); shift 2 ;;
            *) break ;;
        esac
    done
    (cd "$(e2e_path "$cwd")" &&
        orv_as_user "$E2E_PREFIX" env "${env[@]}" timeout 120 wine "$exe" "$@" \
            >"$E2E_WORK/run.out" 2>"$E2E_WORK/run.err")
    REL_RC=$?
    REL_OUT=$(tr -d '\r' <"$E2E_WORK/run.out")
}

# rel_score: the score that /status reports for the tree ("none" when it reports none).
rel_score() {
    rel_run /status /quiet
    local score
    score=$(sed -n 's/^score \([0-9]\) of 9.*/\1/p' <<<"$REL_OUT")
    echo "${score:-none}"
}

# rel_snapshot DIR FILE: every folder and file under DIR (a Linux path) as "PATH<TAB>STATE", sorted, where
# STATE is "folder" or the file's size and SHA-1. The program's temporary files ("~orv") are left out:
# rel_temporaries lists them.
rel_snapshot() {
    (cd "$1" && find . -mindepth 1 ! -name '*~orv' \( -type d -printf '%P\tfolder\n' -o -type f -printf '%P\n' \) |
        while IFS= read -r line; do
            case $line in
                *$'\tfolder') echo "$line" ;;
                *) echo "$line"$'\t'"$(stat -c %s "$line") $(sha1sum <"$line" | cut -c1-40)" ;;
            esac
        done | LC_ALL=C sort) >"$2"
}

# rel_temporaries DIR: the "~orv" files under DIR, as "PATH (SIZE bytes)" separated by blanks.
rel_temporaries() { (cd "$1" && find . -name '*~orv' -printf '%P (%s bytes)\n' | LC_ALL=C sort | paste -sd' '); }

# rel_between BEFORE AFTER NOW: the entries of snapshot NOW that are in neither the state of BEFORE nor the
# state of AFTER (an entry missing from a snapshot is in the state "absent"), one per line.
rel_between() {
    awk -F'\t' '
        FILENAME == ARGV[1] { before[$1] = $2; all[$1] = 1; next }
        FILENAME == ARGV[2] { after[$1] = $2; all[$1] = 1; next }
        { now[$1] = $2; all[$1] = 1 }
        END {
            for (p in all) {
                n = (p in now) ? now[p] : "absent"
                b = (p in before) ? before[p] : "absent"
                a = (p in after) ? after[p] : "absent"
                if (n != b && n != a) {
                    split(n, s, " ")
                    print p ": " (n == "absent" ? "absent" : n == "folder" ? "a folder" : s[1] " bytes") \
                        ", neither as before (" b ") nor as after (" a ")"
                }
            }
        }' "$1" "$2" "$3" | LC_ALL=C sort
}

# rel_differences EXPECTED NOW: the entries in which snapshot NOW differs from EXPECTED, one per line.
rel_differences() {
    LC_ALL=C join -t $'\t' -a1 -a2 -e absent -o 0,1.2,2.2 "$1" "$2" |
        awk -F'\t' '$2 != $3 { print $1 ": " $3 " instead of " $2 }'
}
