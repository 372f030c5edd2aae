#!/usr/bin/env bash
# Runs a shell command on an emulated PC that runs 32-bit programs, for machines whose kernel runs none
# ("Exec format error"), where the shipped i686 program could otherwise never be started.
#   usage: tools/i686-vm.sh run 'SHELL COMMAND'   runs it with bash in the guest, in this working tree
#          tools/i686-vm.sh make                  makes the guest (or finds it made) and says where it is
#
# The guest is Debian 12 (amd64, with i386 added) booted by qemu-system-x86_64 with its own kernel: the
# emulated CPU runs 32-bit code whatever the host's kernel allows. Its disk is made here from Debian's
# packages alone (debootstrap and apt-get; once, 8 to 17 minutes, about 3 GB), with 32-bit Wine ready in it:
# a prefix of root's own ($WINEPREFIX) and the test scripts' template prefix (tests/wine/common.sh). It is
# kept under /var/cache/orvandel-vm (ORVANDEL_VM_CACHE), in a folder named by a digest of everything that
# made it (this file's making steps, the packages, the guest's init, tests/wine/common.sh), and used again
# while that digest holds. Each run boots it afresh and forgets what it wrote to its own disk.
#
# The working tree as it stands (build output and untracked files too) is shared with the guest at the same
# path as here, so the build folders' absolute paths hold there; what the command writes under it stays.
# The command's output is printed as it comes and its exit code becomes this script's; 125 means the guest
# could not run it (and says why).
# The CPU is emulated in software (TCG): a /dev/kvm that opens is no sign that KVM works (on some virtual
# machines it hangs before the kernel's first line); ORVANDEL_VM_ACCEL=kvm asks for it where it does.
# ORVANDEL_VM_TIMEOUT (seconds, 3600) bounds a run; ORVANDEL_VM_MIRROR names the Debian mirror.
set -euo pipefail
Repo=$(cd "$(dirname "$0")/.." && pwd -P)
Cache=${ORVANDEL_VM_CACHE:-/var/cache/orvandel-vm}
Mirror=${ORVANDEL_VM_MIRROR:-http://deb.debian.org/debian}
Init=$Repo/tools/i686-guest-init.sh
# What the test scripts run in the guest, and what runs them: the kernel, 32-bit Wine, a display and its
# screenshots, ctest, the MSI tools, and what tools/msi.sh reads a program with.
Packages=(linux-image-amd64 kmod iproute2 wine wine32:i386 xvfb xauth imagemagick cmake python3 binutils
          wixl msitools tzdata file procps)

say() { echo "i686-vm: $*" >&2; }
die() { say "$*"; exit 125; }
usage() { sed -n '4,5s/^# \{0,1\}//p' "$0" >&2; exit 2; }

# What this host must have: plainly said, with the packages that bring it.
need_host() {  # need_host make|run
    local missing=() tool package
    for tool in qemu-system-x86_64:qemu-system-x86 mke2fs:e2fsprogs debootstrap:debootstrap; do
        package=${tool#*:} tool=${tool%%:*}
        [ "$1" = run ] && [ "$tool" != qemu-system-x86_64 ] && continue
        command -v "$tool" >/dev/null 2>&1 || PATH=$PATH:/usr/sbin:/sbin command -v "$tool" >/dev/null 2>&1 ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] ||
        die "this machine lacks what the guest needs: apt-get install ${missing[*]} (tools/deps.sh does, as root)"
    if [ "$1" = make ]; then
        [ "$(id -u)" = 0 ] || die "making the guest needs root (debootstrap and chroot); run this as root once"
        mkdir -p "$Cache" || die "cannot make $Cache (ORVANDEL_VM_CACHE names another place)"
        local free
        free=$(df -Pk "$Cache" | awk 'NR == 2 { print int($4 / 1048576) }')
        [ "$free" -ge 6 ] || die "making the guest needs 6 GB free under $Cache; there are $free GB"
    fi
}

# ---- Making the guest ----------------------------------------------------------------------------------

# make_root DIR: Debian 12 with the packages, the init, and the test scripts' Wine set-up, in DIR.
make_root() {
    local root=$1
    debootstrap --variant=minbase bookworm "$root" "$Mirror" >"$root.debootstrap.log" 2>&1 ||
        { tail -20 "$root.debootstrap.log" >&2; die "debootstrap failed (log above)"; }
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    printf 'Types: deb\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: %s\n' \
        "$Mirror" /usr/share/keyrings/debian-archive-keyring.gpg >"$root/etc/apt/sources.list.d/debian.sources"
    rm -f "$root/etc/apt/sources.list"
    # A mirror that serves a snapshot of the archive has Release files past their date.
    echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99orvandel"
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && chmod 755 "$root/usr/sbin/policy-rc.d"
    mount -t proc proc "$root/proc"
    local rc=0
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive sh -ec "
        dpkg --add-architecture i386
        apt-get update -q
        apt-get install -y -q --no-install-recommends ${Packages[*]}
        apt-get clean
        rm -rf /var/lib/apt/lists/*" >"$root.apt.log" 2>&1 || rc=$?
    umount "$root/proc"
    [ $rc = 0 ] || { tail -20 "$root.apt.log" >&2; die "installing the guest's packages failed (log above)"; }
    rm -f "$root/usr/sbin/policy-rc.d"
    mkdir -p "$root/orv"
    install -m 755 "$Init" "$root/orv/init"
    install -m 644 "$Repo/tests/wine/common.sh" "$root/orv/common.sh"
}

# The first boot, which keeps what it writes: the test scripts' template prefix, and a copy for root.
# 32-bit Wine's first wineboot takes minutes under emulation; every later run finds both ready.
Prepare='. /orv/common.sh
orv_ensure_template
[ -f "$ORV_WINE_TEMPLATE/.orv-ready" ] || { echo "no template prefix was made"; exit 1; }
rm -rf /root/.wine
# Not the note of where the template'"'"'s Wine server keeps its sockets (a folder of the test user'"'"'s).
cp -a "$ORV_WINE_TEMPLATE" /root/.wine && rm /root/.wine/.orv-ready /root/.wine/wineserver &&
    chown -R root: /root/.wine || exit 1
wine cmd /c echo 32-bit Wine is ready in %WINDIR% || exit 1
wineserver -w'

make_guest() {  # make_guest DIR
    local dir=$1 t0=$SECONDS
    # The disk as the packages made it stays until the first boot has worked: a first boot that fails (stopped,
    # out of time) is tried again on a fresh copy of it, without making it again.
    if [ ! -f "$dir/disk.img" ]; then
        umount "$dir/root/proc" 2>/dev/null || true  # left by a making that was stopped
        rm -rf --one-file-system "$dir"
        mkdir -p "$dir/root"
        say "making the guest in $dir from Debian's packages (once; several minutes)"
        make_root "$dir/root"
        cp "$(ls "$dir"/root/boot/vmlinuz-* | tail -1)" "$dir/vmlinuz"
        cp "$(ls "$dir"/root/boot/initrd.img-* | tail -1)" "$dir/initrd.img"
        chroot "$dir/root" dpkg-query -W linux-image-amd64 wine32:i386 >"$dir/packages.txt"
        mke2fs -q -t ext4 -L orvandel -d "$dir/root" "$dir/disk.part" 8G >/dev/null
        rm -rf --one-file-system "$dir/root"
        mv "$dir/disk.part" "$dir/disk.img"
        echo "disk made from the packages in $((SECONDS - t0)) s" >>"$dir/packages.txt"
    fi
    say "first boot of the guest: making 32-bit Wine's prefixes (once; minutes under emulation)"
    local t1=$SECONDS
    cp --sparse=always "$dir/disk.img" "$dir/guest.img"
    mkdir -p "$dir/empty"
    boot "$dir" off "$dir/empty" "$Prepare" 3600 || die "the first boot of the guest failed (console: $dir/console.log)"
    echo "first boot, making the prefixes, in $((SECONDS - t1)) s" >>"$dir/packages.txt"
    rm -f "$dir/disk.img"
    touch "$dir/ready"
}

# The digest of everything that makes the guest.
guest_key() {
    { declare -f make_root make_guest; echo "$Prepare" "$Mirror" "${Packages[*]}"; cat "$Init" "$Repo/tests/wine/common.sh"; } |
        sha256sum | cut -c1-16
}

# ensure_guest: Guest is the folder of a made guest, made now if need be.
ensure_guest() {
    Guest=$Cache/$(guest_key)
    [ -f "$Guest/ready" ] && return 0
    need_host make
    exec 8>"$Cache/.lock"
    flock 8
    if [ ! -f "$Guest/ready" ]; then
        make_guest "$Guest.making"
        rm -rf --one-file-system "$Guest"
        mv "$Guest.making" "$Guest"
        # Guests made by older steps: the newest other one stays (another branch may use it), the rest go.
        ls -1dt "$Cache"/*/ 2>/dev/null | grep -v "^$Guest/\$" | tail -n +2 | xargs -r rm -rf --one-file-system ||
            say "could not remove every older guest under $Cache"
    fi
    flock -u 8
}

# ---- Booting it ----------------------------------------------------------------------------------------

# boot GUEST SNAPSHOT TREE COMMAND LIMIT: boots the guest (its disk's changes forgotten when SNAPSHOT is on),
# runs COMMAND in TREE, prints its output as it comes; returns its exit code, 125 when the guest gave none.
boot() {
    local guest=$1 snapshot=$2 tree=$3 command=$4 limit=$5 ctl accel=(-accel tcg)
    [ "${ORVANDEL_VM_ACCEL:-}" = kvm ] && accel=(-accel kvm)
    ctl=$(mktemp -d "${TMPDIR:-/var/tmp}/orvandel-vm.XXXXXX")
    printf 'ORV_TREE=%q\n' "$tree" >"$ctl/env"
    printf '%s\n' "$command" >"$ctl/command"
    : >"$ctl/out"
    timeout "$limit" nice -n 10 qemu-system-x86_64 "${accel[@]}" -m 3072 -smp 2 -nodefaults -display none \
        -no-reboot -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
        -append "console=ttyS0 root=/dev/vda rw init=/orv/init quiet panic=-1" \
        -drive "file=$guest/guest.img,format=raw,if=virtio,snapshot=$snapshot" \
        -virtfs "local,path=$ctl,mount_tag=orvctl,security_model=none" \
        -virtfs "local,path=$tree,mount_tag=orvtree,security_model=none" \
        -serial "file:$ctl/console.log" >"$ctl/qemu.log" 2>&1 &
    local qemu=$!
    trap 'kill "$qemu" 2>/dev/null' INT TERM
    tail -n +1 -f --pid="$qemu" "$ctl/out"
    local qrc=0
    wait "$qemu" || qrc=$?
    trap - INT TERM
    # The CPU time the emulator took (what this shell's finished children took): on a busy machine the wall
    # clock says more about the neighbours than about the guest.
    times >"$ctl/times"
    Cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$ctl/times")
    cp "$ctl/console.log" "$guest/console.log" 2>/dev/null || true
    local rc
    if [ -s "$ctl/rc" ]; then
        rc=$(cat "$ctl/rc")
    else
        [ "$qrc" = 124 ] && say "the guest was stopped after $limit s (ORVANDEL_VM_TIMEOUT)"
        say "the guest ended without the command's exit code (qemu exit $qrc)"
        sed 's/^/  qemu: /' "$ctl/qemu.log" >&2
        tail -15 "$ctl/console.log" 2>/dev/null | sed 's/^/  console: /' >&2
        rc=125
    fi
    rm -rf "$ctl"
    return "$rc"
}

case ${1:-} in
    run)
        [ $# -eq 2 ] || usage
        need_host run
        ensure_guest
        t0=$SECONDS
        rc=0
        boot "$Guest" on "$Repo" "$2" "${ORVANDEL_VM_TIMEOUT:-3600}" || rc=$?
        say "guest run: $((SECONDS - t0)) s (the emulator's CPU time $Cpu s), exit code $rc"
        exit "$rc" ;;
    make)
        [ $# -eq 1 ] || usage
        ensure_guest
        echo "$Guest"
        cat "$Guest/packages.txt" ;;
    *) usage ;;
esac
