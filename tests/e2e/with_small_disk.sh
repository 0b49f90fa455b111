#!/usr/bin/env bash
# Runs a command with a small tmpfs mounted for it, named by SRF_SMALL_DISK (a Unix path; Wine
# programs see it below Z:). The disk-full tests fill that disk instead of the machine's. The disk
# is unmounted afterwards whatever the command did. Needs root; a refused mount fails the run.
#   usage: with_small_disk.sh COMMAND [ARGUMENTS...]
set -uo pipefail

# Room for a copy of the program (4.5 MB with its table of readings) and its data files.
size=${SRF_SMALL_DISK_SIZE:-16m}
mountpoint=$(mktemp -d "${TMPDIR:-/tmp}/srf_small_disk.XXXXXX") || exit 1

unmount() {
    # A program that is still ending may hold the disk for a moment.
    for _ in $(seq 50); do
        umount "$mountpoint" 2>/dev/null && break
        sleep 0.1
    done
    if mountpoint -q "$mountpoint"; then
        echo "with_small_disk.sh: $mountpoint still busy; detaching it lazily" >&2
        umount -l "$mountpoint"
    fi
    rmdir "$mountpoint" 2>/dev/null || true
}

if ! error=$(mount -t tmpfs -o "size=$size,mode=0777" tmpfs "$mountpoint" 2>&1); then
    echo "with_small_disk.sh: FAILED: this machine refused to mount a $size tmpfs on" \
        "$mountpoint (the disk-full tests need root and mount): $error" >&2
    rmdir "$mountpoint"
    exit 1
fi
trap unmount EXIT
trap 'exit 130' INT TERM

SRF_SMALL_DISK="$mountpoint" "$@"
status=$?
exit "$status"
