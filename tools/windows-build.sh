# Which Windows build this machine tests: sourced by deps.sh, test-all.sh, demo.sh and bench/run.sh.
# The shipped program is the i686 build (preset windows). Its Windows tests need 32-bit Wine, which runs only
# where the kernel runs 32-bit programs; elsewhere the same sources built for x86_64 (preset windows64) are
# tested under 64-bit Wine instead.
# ORVANDEL_WINDOWS_BUILD=i686 or x86_64 forces the choice.
# orv_choose_windows_build sets ORV_WINE_ARCH (i686 or x86_64), ORV_WINDOWS_PRESET (windows or windows64) and
# ORV_WINDOWS_WHY (one line: which build runs and why); and ORV_I686_VM (yes or no: whether the i686 suite runs
# in the emulated PC of tools/i686-vm.sh) with ORV_I686_VM_WHY. That is yes where the i686 build is not tested
# natively; ORVANDEL_I686_VM=1 or 0 forces it.

# A 32-bit Linux program of 96 bytes that only exits with code 42: whether it runs is the answer, since a kernel
# without 32-bit support refuses it with "Exec format error" whatever it is called.
orv_runs_32bit_programs() {
    local dir probe rc
    dir=$(mktemp -d "${TMPDIR:-/tmp}/orv-probe.XXXXXX") || return 1
    probe=$dir/probe32
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\140\0\0\0\140\0\0\0\5\0\0\0\0\020\0\0\270\1\0\0\0\273\52\0\0\0\315\200' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    rc=$?
    rm -rf "$dir"
    [ "$rc" = 42 ]
}

orv_choose_windows_build() {
    local choice=${ORVANDEL_WINDOWS_BUILD:-}
    case $choice in
        i686|x86_64) ORV_WINDOWS_WHY="forced by ORVANDEL_WINDOWS_BUILD=$choice" ;;
        "")
            if orv_runs_32bit_programs; then
                choice=i686 ORV_WINDOWS_WHY="this machine runs 32-bit programs"
            else
                choice=x86_64
                ORV_WINDOWS_WHY="this machine cannot run 32-bit programs (Exec format error), so 32-bit Wine cannot start"
            fi ;;
        *) echo "ORVANDEL_WINDOWS_BUILD must be i686 or x86_64, not '$choice'" >&2; return 1 ;;
    esac
    ORV_WINE_ARCH=$choice
    if [ "$choice" = i686 ]; then
        ORV_WINDOWS_PRESET=windows
        ORV_WINDOWS_WHY="Windows tests on the i686 build (build/windows, the shipped program): $ORV_WINDOWS_WHY"
    else
        ORV_WINDOWS_PRESET=windows64
        ORV_WINDOWS_WHY="Windows tests on the x86_64 build (build/windows64) under 64-bit Wine: $ORV_WINDOWS_WHY"
    fi
    case ${ORVANDEL_I686_VM:-} in
        1) ORV_I686_VM=yes ORV_I686_VM_WHY="forced by ORVANDEL_I686_VM=1" ;;
        0) ORV_I686_VM=no ORV_I686_VM_WHY="left out by ORVANDEL_I686_VM=0" ;;
        "") if [ "$choice" = i686 ]; then ORV_I686_VM=no ORV_I686_VM_WHY="the i686 build runs natively here"
            else ORV_I686_VM=yes ORV_I686_VM_WHY="the i686 build is not tested natively here"; fi ;;
        *) echo "ORVANDEL_I686_VM must be 1 or 0, not '$ORVANDEL_I686_VM'" >&2; return 1 ;;
    esac
    if [ "$ORV_I686_VM" = yes ]; then
        ORV_I686_VM_WHY="The i686 suite runs in an emulated PC (tools/i686-vm.sh): $ORV_I686_VM_WHY"
    else
        ORV_I686_VM_WHY="No emulated PC: $ORV_I686_VM_WHY"
    fi
    export ORV_WINE_ARCH ORV_WINDOWS_PRESET ORV_WINDOWS_WHY ORV_I686_VM ORV_I686_VM_WHY
}
