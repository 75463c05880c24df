#!/bin/sh
# Runs a command on the current X display under openbox, once openbox manages the screen;
# exits with the command's status. Window stacking and activation are only real there.
openbox >/dev/null 2>&1 &
manager=$!
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "openbox did not start" >&2
        kill "$manager" 2>/dev/null
        exit 1
    fi
    sleep 0.1
done
"$@"
status=$?
kill "$manager" 2>/dev/null
wait "$manager" 2>/dev/null
exit "$status"
