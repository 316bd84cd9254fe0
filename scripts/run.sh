#!/usr/bin/env bash
# Installs what is needed, builds, and starts ToviFlash (with the start movie when no file
# is given). Usage: scripts/run.sh [movie.swf|movie.flv]
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/install-deps.sh"
build_preset default ToviFlash
if ! have_display; then
    echo "ToviFlash is a desktop program and needs a display: run it in a graphical session" >&2
    echo "(no DISPLAY or WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
exec "$ROOT/build/default/bin/ToviFlash" "$@"
