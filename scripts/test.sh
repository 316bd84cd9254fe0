#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: all tests of the normal build (GUI
# tests under Xvfb when no display is set), the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for a few seconds.
source "$(dirname "$0")/common.sh"
FUZZ_SECONDS=${FUZZ_SECONDS:-5}
"$ROOT/scripts/install-deps.sh"

echo "== build (default)"
build_preset default
echo "== tests (default)"
(cd "$ROOT" && with_display ctest --preset default -j "$JOBS" --label-exclude report)
if [ -x "$ROOT/build/default/bin/corpus_report" ]; then
    echo "== corpus report (informative, does not fail the run)"
    with_display "$ROOT/build/default/bin/corpus_report" --summary || true
fi

echo "== unit tests under ASan + UBSan"
build_preset asan unit_tests
(cd "$ROOT" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    ctest --preset asan -j "$JOBS")

echo "== fuzz targets, ${FUZZ_SECONDS}s each"
build_preset fuzz fuzzers
while IFS=$'\t' read -r name seeds; do
    [ -n "$name" ] || continue
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    [ -n "$seeds" ] && [ -d "$seeds" ] && cp -r "$seeds/." "$work/" 2>/dev/null || true
    echo "-- $name"
    (cd "$work" && "$ROOT/build/fuzz/bin/$name" -max_total_time="$FUZZ_SECONDS" \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 "$work" 2>fuzz.log) || {
        tail -n 40 "$work/fuzz.log"
        echo "fuzz target $name failed" >&2
        exit 1
    }
    rm -rf "$work"
    trap - EXIT
done <"$ROOT/build/fuzz/fuzzers.txt"
echo "== all tests passed"
