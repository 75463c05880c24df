#!/bin/sh
# Runs a test beside two stand-ins for the mobile app's WiFi server in a network of its
# own: a private network namespace with only lo (multicast on), its own D-Bus system
# bus and avahi-daemon on lo, in a mount namespace so that their run folders are private
# too. Nothing reaches any other network. Where no namespace can be made the test is
# skipped (77) and says why; .ci/run reports whether it ran.
#   in-private-network.sh MARKER MOBILE_PEER TEST [ARGS...]
set -u
marker=$1 peer=$2
shift 2
if [ "${NORVA_IN_PRIVATE_NETWORK:-}" != 1 ]; then
    rm -f "$marker"
    why=""
    command -v unshare >/dev/null 2>&1 || why="unshare is missing"
    command -v avahi-daemon >/dev/null 2>&1 || why="avahi-daemon is missing"
    command -v dbus-daemon >/dev/null 2>&1 || why="dbus-daemon is missing"
    if [ -z "$why" ] && ! unshare -n -m --fork true 2>/dev/null; then
        why="this machine cannot make a network namespace"
    fi
    if [ -n "$why" ]; then
        echo "in-private-network: skipped: $why"
        exit 77
    fi
    NORVA_IN_PRIVATE_NETWORK=1 exec unshare -n -m --fork "$0" "$marker" "$peer" "$@"
fi

set -e
ip link set lo up
ip link set lo multicast on
work=$(mktemp -d)
mount -t tmpfs tmpfs /run 2>/dev/null || { echo "in-private-network: cannot mount /run"; exit 1; }
mkdir -p /run/dbus /run/avahi-daemon
cat >"$work/avahi.conf" <<CONF
[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
ratelimit-interval-usec=0
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
CONF
dbus=$(dbus-daemon --system --fork --nopidfile --print-pid)
avahi-daemon --no-drop-root --no-chroot --no-rlimits -f "$work/avahi.conf" >"$work/avahi.log" 2>&1 &
avahi=$!
i=0
while [ ! -S /run/avahi-daemon/socket ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done

mkdir -p "$work/plus" "$work/mobile"
"$peer" --folder "$work/plus" --port 8080 --name "Norva Mobile PLUS" &
plus=$!
"$peer" --folder "$work/mobile" --port 8088 --name "Norva Mobile" &
mobile=$!
sleep 1
status=0
NORVA_PEER_PLUS_FOLDER="$work/plus" NORVA_PEER_MOBILE_FOLDER="$work/mobile" "$@" || status=$?
kill -9 $plus $mobile $avahi $dbus 2>/dev/null || true
rm -rf "$work"
[ $status -eq 0 ] && touch "$marker"
exit $status
