#!/usr/bin/env bash
# Two data directories synchronised by `srf_tool sync` through two Syncthing instances that talk
# to each other on 127.0.0.1 only: an addition, a deletion and a concurrent rename travel, the two
# srf_pub.dat end byte for byte the same, and then the syncs fall quiet.
#   usage: syncthing_pair.sh SRF_TOOL
# Exits 77 (skipped) where Debian's syncthing is not installed; tools/test installs it.
set -euo pipefail

tool=$(realpath "${1:?usage: syncthing_pair.sh SRF_TOOL}")
if ! command -v syncthing >/dev/null; then
    echo "syncthing is missing: apt-get install syncthing (tools/test does)" >&2
    exit 77
fi

deadline=$((SECONDS + 120))
work=$(mktemp -d "${TMPDIR:-/tmp}/srf_syncthing.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    for side in a b; do
        echo "--- $side: folder" >&2
        ls -la "$work/$side/folder" >&2 || true
        echo "--- $side: the end of syncthing's log" >&2
        tail -n 30 "$work/$side/syncthing.log" >&2 || true
    done
    exit 1
}

# Two free ports on 127.0.0.1, asked of the system.
read -r port_a port_b < <(python3 -c '
import socket
sockets = [socket.socket() for _ in range(2)]
for s in sockets:
    s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in sockets))')

declare -A port=([a]=$port_a [b]=$port_b) id=()
for side in a b; do
    mkdir -p "$work/$side/data" "$work/$side/folder/.stfolder"
    syncthing generate --home="$work/$side/home" --no-default-folder --skip-port-probing \
        >/dev/null 2>&1
    id[$side]=$(syncthing serve --home="$work/$side/home" --device-id)
done
version=$(sed -n 's/^<configuration version="\([0-9]*\)".*/\1/p' "$work/a/home/config.xml")

# Everything that would leave the machine is off: discovery, relays, NAT traversal, STUN, usage
# and crash reports, upgrade checks, the web GUI. Changes are scanned within about a second.
for side in a b; do
    cat >"$work/$side/home/config.xml" <<CONFIG
<configuration version="$version">
    <folder id="srfsync" label="srfsync" path="$work/$side/folder" type="sendreceive"
            rescanIntervalS="2" fsWatcherEnabled="true" fsWatcherDelayS="1">
        <device id="${id[a]}"></device>
        <device id="${id[b]}"></device>
    </folder>
    <device id="${id[a]}" name="a"><address>tcp://127.0.0.1:${port[a]}</address></device>
    <device id="${id[b]}" name="b"><address>tcp://127.0.0.1:${port[b]}</address></device>
    <gui enabled="false"></gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${port[$side]}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <stunKeepaliveStartS>0</stunKeepaliveStartS>
        <urAccepted>-1</urAccepted>
        <crashReportingEnabled>false</crashReportingEnabled>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <startBrowser>false</startBrowser>
        <reconnectionIntervalS>1</reconnectionIntervalS>
        <setLowPriority>false</setLowPriority>
    </options>
</configuration>
CONFIG
    # The parent's death signal ends an instance even when this script is killed outright.
    HOME="$work/$side" setpriv --pdeathsig TERM syncthing serve --home="$work/$side/home" \
        --no-browser --no-restart --no-upgrade --logfile="$work/$side/syncthing.log" \
        >/dev/null 2>&1 &
    pids+=($!)
done

# The phrases: GB2312 bytes of characters the table below holds.
aa=$'\xB0\xA1\xB0\xA2' ai=$'\xB0\xA3\xB0\xA4' ao=$'\xB0\xA5\xB0\xA6'
renamed_on_a=$'\xB0\xA2\xB0\xA1' renamed_on_b=$'\xB0\xA3\xB0\xA1'

# tree PHRASE...: srf_pub.dat's bytes for one category holding the phrases.
tree() {
    printf 'c\r\n'
    printf '\t%s\r\n' "$@"
}

# write_tree SIDE PHRASE...: the user's edit of SIDE's srf_pub.dat.
write_tree() {
    local side=$1
    shift
    tree "$@" >"$work/$side/data/srf_pub.dat"
}

# expect_tree SIDE PHRASE...: SIDE's srf_pub.dat is the tree of the phrases, byte for byte.
expect_tree() {
    local side=$1
    shift
    cmp -s <(tree "$@") "$work/$side/data/srf_pub.dat" ||
        fail "$side's srf_pub.dat is not the one expected: $(od -c "$work/$side/data/srf_pub.dat")"
}

# synchronise SIDE: one srf_tool sync of SIDE's data directory through SIDE's copy of the folder.
synchronise() {
    "$tool" sync "$work/$1/data" "$work/$1/folder" >"$work/$1/out" 2>&1 ||
        fail "srf_tool sync on $1 ended with exit code $?: $(cat "$work/$1/out")"
}

# The two copies of the folder hold the same members' files with the same bytes.
mirrored() {
    local file name
    for file in "$work"/[ab]/folder/srfsync-*.{log,snap}; do
        name=${file##*/}
        cmp -s "$work/a/folder/$name" "$work/b/folder/$name" || return 1
    done
}

# Waits until Syncthing has carried every member's files to the other copy of the folder.
wait_mirrored() {
    local start=${EPOCHREALTIME//[.,]/}
    until mirrored; do
        ((SECONDS < deadline)) || fail "Syncthing did not carry the files ($1) within 120 s"
        for pid in "${pids[@]}"; do
            kill -0 "$pid" 2>/dev/null || fail "a Syncthing instance ended ($1)"
        done
        sleep 0.1
    done
    echo "$1: carried in $(((${EPOCHREALTIME//[.,]/} - start) / 1000)) ms"
}

shopt -s nullglob
for side in a b; do
    printf 'HEAD\x06\x00pad.%s%s%s' "$aa" "$ai" "$ao" >"$work/$side/data/srf_pub.zc"
done
write_tree a "$aa" "$ai"
: >"$work/b/data/srf_pub.dat"

# b joins: a's phrases arrive.
synchronise a
wait_mirrored "a's phrases"
synchronise b
expect_tree b "$aa" "$ai"

# An addition on a appears on b.
write_tree a "$aa" "$ai" "$ao"
synchronise a
wait_mirrored "an addition on a"
synchronise b
expect_tree b "$aa" "$ai" "$ao"

# A deletion on b disappears on a.
write_tree b "$aa" "$ao"
synchronise b
wait_mirrored "a deletion on b"
synchronise a
expect_tree a "$aa" "$ao"

# Both rename the same phrase before either synchronises; then each takes in the other's rename,
# and both keep the same one.
write_tree a "$renamed_on_a" "$ao"
write_tree b "$renamed_on_b" "$ao"
synchronise a
synchronise b
wait_mirrored "two renames"
synchronise a
synchronise b
cmp -s "$work/a/data/srf_pub.dat" "$work/b/data/srf_pub.dat" ||
    fail "a and b differ after a concurrent rename"
if ! cmp -s <(tree "$renamed_on_a" "$ao") "$work/a/data/srf_pub.dat"; then
    expect_tree a "$renamed_on_b" "$ao"
fi
# Each file had one writer: Syncthing never had to keep a conflicted copy.
conflicted=("$work"/[ab]/folder/*sync-conflict*)
[ ${#conflicted[@]} -eq 0 ] || fail "Syncthing kept conflicted copies: ${conflicted[*]}"

# Then the syncs fall quiet: once each has taken in what the other has, a sync writes nothing, and
# the sync service has nothing more to carry.
for round in 1 2 3; do
    wait_mirrored "round $round after the renames"
    before=$(md5sum "$work"/[ab]/folder/srfsync-*.{log,snap})
    synchronise a
    synchronise b
    [ "$(md5sum "$work"/[ab]/folder/srfsync-*.{log,snap})" != "$before" ] || break
    ((round < 3)) || fail "a and b still write into the folder after three rounds with no change"
done
