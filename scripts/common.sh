# Shared by the run and test scripts.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${JOBS:-$(nproc)}

build_preset() {  # preset [target...]
    local preset=$1
    shift
    cmake --preset "$preset" -S "$ROOT" >/dev/null
    if [ $# -gt 0 ]; then
        cmake --build --preset "$preset" -j "$JOBS" --target "$@"
    else
        cmake --build --preset "$preset" -j "$JOBS"
    fi
}

have_display() {
    [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]
}

# Runs a command with a display: the user's own, or a private Xvfb server.
with_display() {
    if have_display; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" "$@"
    fi
}
