#!/bin/bash
# The first and only process of the i686 guest (tools/i686-vm.sh): it mounts what a shell needs, the host's
# control folder and the project's working tree (both shared by 9p; the tree at the same path as on the host,
# so that paths in the build folders hold), runs the command and powers the machine off. The host reads the
# command's output from the control folder as it is written, and its exit code from there at the end.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
# The initramfs hands over /proc, /sys, /dev and /run already mounted.
mounted() { mountpoint -q "$1" || { mkdir -p "$1" && mount -t "$2" -o "${3:-defaults}" "$2" "$1"; }; }
mounted /proc proc
mounted /sys sysfs
mounted /dev devtmpfs
mounted /dev/pts devpts
mounted /dev/shm tmpfs mode=1777
mounted /run tmpfs mode=755
mounted /tmp tmpfs mode=1777
hostname orvandel-i686
ip link set lo up 2>/dev/null
modprobe -a 9pnet_virtio 9p
share() { mkdir -p "$2" && mount -t 9p -o "trans=virtio,version=9p2000.L,msize=262144$3" "$1" "$2"; }
share orvctl /orv/ctl ''
. /orv/ctl/env  # ORV_TREE, the working tree's path on the host
share orvtree "$ORV_TREE" ',cache=mmap'

# What every command finds at hand: 32-bit Wine on the path, a ready prefix of root's own, a display, and the
# test scripts' Wine home with its template prefix already made (tests/wine/common.sh).
export HOME=/root LANG=C.UTF-8 TERM=dumb WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" ORV_WINE_HOME=/var/tmp/orvandel-wine ORV_WINE_ARCH=i686 DISPLAY=:0
(setsid Xvfb :0 -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &)
(
    cd "$ORV_TREE" && setsid bash /orv/ctl/command </dev/null >>/orv/ctl/out 2>&1
    echo $? >/orv/ctl/rc
)
sync
umount "$ORV_TREE" /orv/ctl
mount -o remount,ro / 2>/dev/null
sync
echo o >/proc/sysrq-trigger
sleep 10
