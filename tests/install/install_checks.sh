#!/usr/bin/env bash
# Checks of the installed suite, one per CTest test:
#   install_checks.sh installed-programs|desktop-entries|manual-pages BUILD_DIR SOURCE_DIR
set -euo pipefail
mode=$1 build=$(realpath "$2") source=$(realpath "$3")
programs=(VORNA_REPORT Sirvex Tamrix instrument-sim bootloader-sim)
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Installs into a temporary DESTDIR and runs the programs from there as a new user would: a
# fresh home, no data folder given, the programs' folder not writable (as far as the user goes).
installed_programs() {
    local work dest bin home
    work=$(mktemp -d)
    trap 'chmod -R u+w "'"$work"'"; rm -rf "'"$work"'"' EXIT
    dest=$work/dest bin=$work/dest/usr/bin home=$work/home
    DESTDIR=$dest cmake --install "$build" --prefix /usr --strip >"$work/install.log"

    [[ "$(ls "$bin" | sort)" == "$(printf '%s\n' "${programs[@]}" | sort)" ]] ||
        fail "installed programs: $(ls "$bin" | tr '\n' ' ')"
    for p in "${programs[@]}"; do
        [[ -x "$bin/$p" ]] || fail "$p is not installed"
        local page=$dest/usr/share/man/man1/$p.1.gz
        [[ -n "$(MANWIDTH=80 man -l "$page" 2>/dev/null)" ]] || fail "no manual page for $p"
    done
    [[ -s "$dest/usr/share/doc/vorna-report/copyright" ]] || fail "no copyright file"

    # Every menu entry installs, starts an installed program and finds its icon at each size.
    for src in "$source"/packaging/desktop/*.desktop; do
        local entry exec icon png size
        entry=$dest/usr/share/applications/$(basename "$src")
        [[ -f "$entry" ]] || { fail "$(basename "$src") is not installed"; continue; }
        exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
        icon=$(sed -n 's/^Icon=//p' "$entry")
        [[ -x "$bin/$exec" ]] || fail "$entry starts $exec, which is not installed"
        for size in 16 22 24 32 48 64 128 256; do
            png=$dest/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
            file -b "$png" | grep -q "^PNG image data, $size x $size," ||
                fail "$icon at $size px: $(file -b "$png")"
        done
        grep -q '<svg' "$dest/usr/share/icons/hicolor/scalable/apps/$icon.svg" ||
            fail "no scalable $icon"
    done

    # Nothing installed points back into the build or the source tree.
    local leaks
    leaks=$(grep -rlF -e "$build" -e "$source" "$dest" || true)
    [[ -z "$leaks" ]] || fail "installed files name the build or source tree: $leaks"

    # First start of the installed main program.
    mkdir -p "$home" "$work/run" "$work/cwd"
    chmod 700 "$work/run"
    chmod -R a-w "$dest"
    local before after status=0
    before=$(find "$dest" | sort)
    (
        cd "$work/cwd"
        for v in $(compgen -e | grep '^VORNA_\|^XDG_'); do unset "$v"; done
        HOME=$home XDG_RUNTIME_DIR=$work/run VORNA_DEMO_SECONDS=3 QT_QPA_PLATFORM=offscreen \
            timeout 60 "$bin/VORNA_REPORT" >"$work/report.log" 2>&1
    ) || status=$?
    [[ $status -eq 0 ]] || fail "VORNA_REPORT ended with $status: $(cat "$work/report.log")"
    after=$(find "$dest" | sort)
    [[ "$before" == "$after" ]] ||
        fail "VORNA_REPORT wrote into the install tree: $(diff <(echo "$before") <(echo "$after"))"
    [[ -z "$(ls -A "$work/cwd")" ]] || fail "VORNA_REPORT wrote into its working folder"
    local db=$home/.local/share/VORNA_REPORT/DATA_v2.MDB
    if [[ -f "$db" ]]; then
        [[ "$(sqlite3 "$db" 'SELECT COUNT(*) FROM impostazioni')" == 1 ]] ||
            fail "the new database has no settings row"
    else
        fail "no database in the per-user folder: $(find "$home" -type f | tr '\n' ' ')"
    fi

    local help
    for p in Sirvex Tamrix; do
        help=$("$bin/$p" --help) || fail "$p --help ended with $?"
        [[ "$help" == "Usage: $p --port"* ]] || fail "$p --help printed: $help"
    done
    for p in instrument-sim bootloader-sim; do
        "$bin/$p" --help >/dev/null || fail "$p --help ended with $?"
    done
}

# desktop-file-validate clean (no errors, warnings or hints), and a comment in each language
# the program speaks.
desktop_entries() {
    local entry out lang en
    for entry in "$source"/packaging/desktop/*.desktop; do
        out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate failed"
        [[ -z "$out" ]] || fail "$out"
        en=$(sed -n 's/^Comment=//p' "$entry")
        [[ -n "$en" ]] || fail "$entry has no Comment"
        for lang in fr es de it; do
            out=$(sed -n "s/^Comment\[$lang\]=//p" "$entry")
            [[ -n "$out" && "$out" != "$en" ]] || fail "$entry has no Comment in $lang"
        done
    done
}

# Each page renders with man, and groff finds nothing to warn about; the pages describe what a
# user of the programs needs.
manual_pages() {
    local page out rendered section
    for page in "$source"/docs/man/*.1; do
        out=$(groff -ww -z -man "$page" 2>&1) || fail "groff failed on $page"
        [[ -z "$out" ]] || fail "$out"
        rendered=$(MANWIDTH=80 man -l "$page" 2>"$build/man-warnings.txt") ||
            fail "man -l failed on $page"
        [[ ! -s "$build/man-warnings.txt" ]] || fail "$page: $(cat "$build/man-warnings.txt")"
        for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES "SEE ALSO"; do
            grep -q "^$section\$" <<<"$rendered" || fail "$page has no $section section"
        done
    done
    rm -f "$build/man-warnings.txt"
}

case "$mode" in
installed-programs) installed_programs ;;
desktop-entries) desktop_entries ;;
manual-pages) manual_pages ;;
*) echo "unknown check $mode" >&2; exit 2 ;;
esac
if ((failures)); then
    echo "$failures failed" >&2
    exit 1
fi
echo "$mode: all checks passed"
