#!/usr/bin/env bash
# Starts the real program on a private X server, waits for the main window by its caption,
# closes it as a window manager would and expects the program to end cleanly.
#   smoke.sh PROGRAM XCLOSE
set -euo pipefail
program=$1
xclose=$2

if [ "${3:-}" != --inner ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export HOME=$work XDG_RUNTIME_DIR=$work
    unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME QT_QPA_PLATFORM DESKTOP_SESSION
    xvfb-run -a -s "-screen 0 1920x1200x24 -dpi 96 -nolisten tcp" "$0" "$program" "$xclose" --inner
    echo "smoke test passed"
    exit 0
fi

"$program" >"$HOME/out.log" 2>&1 &
pid=$!
if ! wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Velimor 2008 & Orbalyx 1\.0$' | head -n 1) || [ -z "$wid" ]; then
    echo "main window did not appear"; cat "$HOME/out.log"; kill "$pid" 2>/dev/null; exit 1
fi
echo "main window: $wid"
"$xclose" "$wid"
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "program did not end after its window was closed"; kill "$pid"; exit 1
fi
wait "$pid"
