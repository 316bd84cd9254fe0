#!/usr/bin/env bash
# Builds and runs every benchmark; they print their figures (nothing is asserted).
source "$(dirname "$0")/common.sh"
build_preset default benchmarks
while read -r name; do
    [ -n "$name" ] || continue
    echo "== $name"
    with_display "$ROOT/build/default/bin/$name"
done <"$ROOT/build/default/benchmarks.txt"
