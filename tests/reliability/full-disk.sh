#!/usr/bin/env bash
# A full disk: the host tree lies on a small disk of its own (a tmpfs mounted as drive H:, smaller than
# the add-on's files), filled so that only so much space is left. The quiet install must report the files
# it could not write, leave nothing cut short, and a later install with space enough must finish the work.
#   full-disk.sh SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR
# Mounting needs root; without it the test says so and exits with 77 (skipped).
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/lib.sh"
. "$here/lib.sh"
e2e_begin full-disk "$@"

Small=700k Large=8m
Disk=$E2E_PREFIX/disk-h
mkdir -p "$Disk"
wine_owner="uid=$(stat -c %u "$E2E_PREFIX"),gid=$(stat -c %g "$E2E_PREFIX")"
if [ "$(id -u)" != 0 ] ||
    ! mount -t tmpfs -o "size=$Large,mode=0755,$wine_owner" orvandel-full-disk "$Disk" 2>"$E2E_WORK/mount.err"; then
    echo "SKIP: cannot mount a small disk ($(id -un): $(cat "$E2E_WORK/mount.err")); run as root to test a full disk"
    e2e_cleanup
    exit 77
fi
unmount() { mountpoint -q "$Disk" && umount "$Disk"; }
trap 'unmount; e2e_cleanup' EXIT
ln -s "$Disk" "$E2E_PREFIX/dosdevices/h:"
Root=$Disk/HPCHEM
HostRoot='H:\HPCHEM'
ChemIni=$(e2e_path 'C:\windows\chemstation.ini')

resize() { mount -o "remount,size=$1" "$Disk"; }
# lay TREE ADJUSTMENT: the host tree of that kind on drive H:, the host profile naming it there.
lay() {
    rm -rf "${Disk:?}"/*
    e2e_tree "$1"
    eval "$2"
    mv "$(e2e_path "$E2E_ROOT")" "$Root"
    sed -i 's/C:\\HPCHEM/H:\\HPCHEM/' "$ChemIni"
}
# The names of the add-on files, as the program writes them into its messages.
files() { local f; for f in "${E2E_FILES[@]}"; do echo "$HostRoot$f"; done; }

# The add-on's profile padded to 4089 bytes, without the version: one block of the disk holds it, and
# recording the version makes it 4106 bytes, which need a block the full disk does not have.
padded_profile='e2e_lines "$E2E_ROOT\\OV\\OV.INI" "[Settings]" "Printer=PDF" "Notes=$(head -c 4050 /dev/zero | tr "\\0" x)" "[OV]"'

# full NAME TREE ADJUSTMENT FREE_KB: the install on a disk with FREE_KB left.
full() {
    local name=$1 tree=$2 adjustment=$3 free=$4 avail path failed=() not_named=() wrong
    e2e_selected "$name" || return 0
    # What an install with room enough leaves.
    resize "$Large"
    lay "$tree" "$adjustment"
    rel_snapshot "$Root" "$E2E_WORK/before.snap"
    rel_run /install /quiet
    e2e_expect "$name: with room enough the install succeeds" 0 "$REL_RC"
    rel_snapshot "$Root" "$E2E_WORK/after.snap"

    lay "$tree" "$adjustment"
    resize "$Small"
    avail=$(df -B1 --output=avail "$Disk" | tail -1)
    [ $((avail - free * 1024)) -gt 0 ] && head -c $((avail - free * 1024)) /dev/zero >"$Disk/filler" 2>/dev/null
    rel_run /install /quiet
    echo "      $name: $(df -B1 --output=avail "$Disk" | tail -1) bytes free after the run, exit code $REL_RC"
    e2e_expect "$name: exit code says that something failed" yes \
        "$([[ $REL_RC == 1 || $REL_RC == 4 ]] && echo yes || echo "no ($REL_RC)")"
    # Every add-on file that is not complete is named in a failure message.
    while IFS= read -r path; do
        local linux=$Root${path#"$HostRoot"} payload
        linux=${linux//\\//}
        payload=$(e2e_payload_file "$path")
        cmp -s "$payload" "$linux" && continue
        failed+=("${path##*\\}")
        grep -qxF "$path" <<<"$REL_OUT" || not_named+=("$path")
    done < <(files)
    echo "      $name: not written: ${failed[*]:-none}"
    e2e_expect "$name: every file not written is named" "" "${not_named[*]}"
    rel_snapshot "$Root" "$E2E_WORK/now.snap"
    if ! cmp -s <(grep '^core/user.mac' "$E2E_WORK/after.snap") <(grep '^core/user.mac' "$E2E_WORK/now.snap"); then
        e2e_expect "$name: user.mac not changed, and said so" yes \
            "$(grep -qx 'Error: Failed to modify user.mac' <<<"$REL_OUT" && echo yes || echo no)"
    fi
    # The add-on's profile too: it is replaced in one step like every other file, so a full disk leaves it whole.
    wrong=$(rel_between "$E2E_WORK/before.snap" "$E2E_WORK/after.snap" "$E2E_WORK/now.snap")
    e2e_expect "$name: every file as before or as a whole install leaves it" "" "$wrong"
    e2e_expect "$name: no temporary file left" "" "$(rel_temporaries "$Root")"

    rm -f "$Disk/filler"
    resize "$Large"
    rel_run /install /quiet
    e2e_expect "$name: with space again, the install succeeds" 0 "$REL_RC"
    e2e_expect "$name: score" 9 "$(rel_score)"
    rel_run /verify /quiet
    e2e_expect "$name: /verify" 0 "$REL_RC"
    rel_snapshot "$Root" "$E2E_WORK/now.snap"
    e2e_expect "$name: the tree is that of an install with room enough" "" \
        "$(rel_differences "$E2E_WORK/after.snap" "$E2E_WORK/now.snap")"
}

#    name               tree    adjustment        free KB
full first-no-space     fresh   ''                0
full first-tight        fresh   ''                120
full first-roomier      fresh   ''                450
full upgrade-no-space   old     ''                0
full upgrade-tight      old     ''                200
full profile-grows      old     "$padded_profile" 0

unmount
trap - EXIT
trap e2e_cleanup EXIT
e2e_end
