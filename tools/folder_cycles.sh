#!/bin/sh
# Fails when the folders under ROOT include each other in a cycle. Each quoted #include of a
# source is taken to the folder of ROOT that holds it: its own folder, the folder its path
# names, or the folder holding a header of that name. Test code (*_test.cpp, *_fuzzer.cpp,
# bench/ and e2e/) sits above everything and is left out.
# Usage: folder_cycles.sh ROOT
set -eu

root=${1:?usage: folder_cycles.sh ROOT}
cd "$root"

# The folder of ROOT that holds the header INCLUDED by a file of FOLDER; nothing for outside.
owner_of() {
    folder=$1
    included=$2
    first=${included%%/*}
    if [ "$first" != "$included" ] && [ -f "$included" ]; then
        echo "$first"
    elif [ -f "$folder/$included" ]; then
        echo "$folder"
    else
        for candidate in */"$included"; do
            [ -f "$candidate" ] && echo "${candidate%%/*}"
        done
    fi
    return 0
}

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

find . -path '*/bench' -prune -o -path '*/e2e' -prune -o \
    \( -name '*.h' -o -name '*.cpp' \) ! -name '*_test.cpp' ! -name '*_fuzzer.cpp' -print |
    sed 's|^\./||' | while read -r file; do
    folder=${file%%/*}
    [ "$folder" = "$file" ] && continue
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" |
        while read -r included; do
            for target in $(owner_of "$folder" "$included"); do
                if [ "$target" != "$folder" ]; then
                    echo "$folder $target # $file includes $included"
                fi
            done
        done
done >"$edges"

# tsort reports the folders of a cycle on its error stream and fails.
if ! cut -d' ' -f1,2 "$edges" | sort -u | tsort >/dev/null 2>"$edges.loop"; then
    echo "Folders of $root include each other:" >&2
    sed -n 's/^tsort: //p' "$edges.loop" >&2
    echo "The includes between folders:" >&2
    sort -u "$edges" >&2
    rm -f "$edges.loop"
    exit 1
fi
rm -f "$edges.loop"
echo "No include cycle between the folders of $root"
