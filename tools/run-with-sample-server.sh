#!/usr/bin/env bash
# Starts the sample server, then the program against it; stops the server when the program ends.
set -euo pipefail
build=${1:-build}
"$build/plendrik-sample-server" --port 28500 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
sleep 0.3
export QTWEBENGINE_DISABLE_SANDBOX=1
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$build/plendrik"
else
    echo "No display found: running the program under xvfb-run (a virtual screen you cannot see)."
    xvfb-run -a -s "-screen 0 1280x800x24" "$build/plendrik"
fi
