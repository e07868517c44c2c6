#!/bin/bash
# Installs the build into a temporary prefix, checks the install tree and its desktop
# files, starts the installed program headless to its first record, then installs again
# over it and checks that the user's database is kept. Every installed file that names a
# version names VERSION, the one project() sets.
# Usage: install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap '[ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
prefix=$work/usr
export XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="flaskbook.window.info=true"

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/flaskbook libexec/flaskbook/flaskbook libexec/flaskbook/Restart \
         share/applications/org.flaskbook.Flaskbook.desktop \
         share/metainfo/org.flaskbook.Flaskbook.metainfo.xml \
         share/icons/hicolor/64x64/apps/org.flaskbook.Flaskbook.png \
         share/icons/hicolor/scalable/apps/org.flaskbook.Flaskbook.svg share/man/man1/flaskbook.1; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/org.flaskbook.Flaskbook.svg" ||
    fail "the scalable icon is no SVG"
man -l "$prefix/share/man/man1/flaskbook.1" 2>/dev/null | grep -q -- "--version" ||
    fail "the man page does not read"
grep -q "\"Flaskbook $version\"" "$prefix/share/man/man1/flaskbook.1" ||
    fail "the man page does not name version $version"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/org.flaskbook.Flaskbook.metainfo.xml" ||
    fail "the metainfo does not name release $version"
[ -x "$prefix/bin/flaskbook" ] || fail "bin/flaskbook does not run"
desktop-file-validate "$prefix/share/applications/org.flaskbook.Flaskbook.desktop" ||
    fail "the desktop file does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.flaskbook.Flaskbook.metainfo.xml" ||
    fail "the metainfo file does not validate"

# Help and version need no display; a mistake gives the usage on standard error and code 2.
bare() { env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/flaskbook" "$@"; }
[ "$(bare --version)" = "Flaskbook $version" ] || fail "--version does not print Flaskbook $version"
bare --help | grep -q -- "--version" || fail "--help does not list the options"
set +e
"$prefix/bin/flaskbook" --no-such-option >"$work/out" 2>"$work/err"
code=$?
set -e
[ "$code" = 2 ] && [ ! -s "$work/out" ] && grep -q "Usage:" "$work/err" && grep -q "no-such-option" "$work/err" ||
    fail "an unknown option ended with $code, not 2 and the usage"
"$prefix/bin/flaskbook" -platform offscreen --version | grep -q "Flaskbook $version" ||
    fail "Qt's own options are refused"

# Starts the installed program and waits for the window to show its first record. A first
# start on a loaded machine (font caches built, a build beside it) can take far longer than
# usual, so the wait ends when the line is complete, not at a fixed short time.
start_to_first_record() {
    local expected=$1 log=$work/run.log
    "$prefix/bin/flaskbook" >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 900); do
        grep -q "showing record .*: " "$log" && break
        kill -0 "$pid" 2>/dev/null || { cat "$log"; fail "the program ended at start-up"; }
        sleep 0.2
    done
    grep -q "showing record 1 of $expected: WATER" "$log" ||
        { cat "$log"; fail "the program did not reach record 1 of $expected"; }
    [ "$(bare -v)" = "Flaskbook $version" ] || fail "--version waits for the running copy"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
}

start_to_first_record 30
db=$XDG_DATA_HOME/Flaskbook/Flaskbook.mdb
[ "$(sqlite3 "$db" 'select count(*) from DATA1')" = 30 ] || fail "the shipped database is not installed"
[ -f "$XDG_DATA_HOME/Flaskbook/water.gif" ] || fail "the shipped pictures are not installed"

# The user's own record survives a second install over the first.
sqlite3 "$db" "insert into DATA1 (Name) values ('N,N''-DIMETHYLUREA')"
cmake --install "$build" --prefix "$prefix" >/dev/null
start_to_first_record 31
[ "$(sqlite3 "$db" "select count(*) from DATA1 where Name = 'N,N''-DIMETHYLUREA'")" = 1 ] ||
    fail "the second install lost the user's record"
echo "install test passed"
