#!/usr/bin/env bash
# scripts/check-build-packages passes with the project's package list and names the package a
# list without it would leave out.
set -uo pipefail
src=$1 build=$2
check="$src/scripts/check-build-packages"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0

"$check" "$build" "$src/scripts/packages.txt" 2>"$scratch/out"
rc=$?
if [[ $rc -eq 2 ]]; then
    echo "SKIP: no package index here: $(cat "$scratch/out")"
    exit 0
fi
if [[ $rc -ne 0 ]]; then
    echo "FAIL: scripts/packages.txt misses packages the build uses:"
    cat "$scratch/out"
    failed=1
fi

# Each of these is named in the list and owns a configuration the build reads.
for pkg in libqt6opengl6-dev qt6-serialport-dev; do
    grep -vx "$pkg" "$src/scripts/packages.txt" >"$scratch/packages.txt"
    "$check" "$build" "$scratch/packages.txt" 2>"$scratch/out"
    rc=$?
    if [[ $rc -ne 1 ]] || ! grep -qx "  $pkg" "$scratch/out"; then
        echo "FAIL: without $pkg the check gave $rc and said:"
        cat "$scratch/out"
        failed=1
    fi
done
exit $failed
