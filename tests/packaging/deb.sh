#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# Builds the .debs with CPack and checks them: lintian finds nothing to warn about, each
# package holds its own files, the app's Depends name the package of every QML module the
# scene loads (its imports and theirs), and the packaged falquin, unpacked, starts its
# window and exits 0 when the window is closed.
# Usage: deb.sh <build-dir> <source-dir> <version> <qml-import-dir> <run-test.sh> <tst_startup>
set -euo pipefail
build=$1 source=$2 version=$3 qml=$4 run_test=$5 startup=$6
for tool in cpack dpkg-deb dpkg-shlibdeps file lintian; do
    command -v "$tool" >/dev/null || { echo "deb.sh: $tool is needed" >&2; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/falquin-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
arch=$(dpkg --print-architecture)
app="$work/falquin_${version}_$arch.deb"
sim="$work/falquin-boxsim_${version}_$arch.deb"
for deb in "$app" "$sim"; do
    [ -f "$deb" ] || { ls "$work" >&2; echo "FAIL: no $(basename "$deb")" >&2; exit 1; }
done

# Errors and warnings fail; lintian's informational tags do not.
lintian --fail-on error,warning "$app" "$sim" >"$work/lintian.log" 2>&1 || {
    cat "$work/lintian.log" >&2
    fail "lintian"
}

contents() { dpkg-deb -c "$1" | awk '{ print $6 }' | grep -v '/$'; }
contents "$app" | grep -qx './usr/bin/falquin' || fail "falquin.deb lacks the app"
for file in ./usr/bin/falquin-cli ./usr/share/man/man1/falquin-cli.1.gz ./usr/share/bash-completion/completions/falquin-cli; do
    contents "$app" | grep -qx "$file" || fail "falquin.deb lacks $file"
done
contents "$sim" | grep -qx './usr/bin/falquin-boxsim' || fail "falquin-boxsim.deb lacks the simulator"
if contents "$app" | grep -q boxsim; then fail "falquin.deb holds simulator files"; fi
if contents "$sim" | grep -q 'bin/falquin$\|applications\|icons'; then fail "falquin-boxsim.deb holds app files"; fi
field() { dpkg-deb -f "$1" "$2"; }
for deb in "$app" "$sim"; do
    [ "$(field "$deb" Version)" = "$version" ] || fail "$(basename "$deb") has version $(field "$deb" Version)"
done

# The scene's QML imports, followed through each module's own imports and dependencies;
# the Qt Quick libraries come in through these modules, not through the binary.
depends=$(field "$app" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
queue=$(sed -n 's/^import \([A-Za-z.]*\).*/\1/p' "$source"/qml/*.qml | sort -u | grep -vx Falquin)
seen=""
while [ -n "$queue" ]; do
    module=$(head -1 <<<"$queue")
    queue=$(tail -n +2 <<<"$queue")
    case " $seen " in *" $module "*) continue ;; esac
    seen+=" $module"
    qmldir="$qml/${module//.//}/qmldir"
    [ -f "$qmldir" ] || { fail "no module $module at $qmldir"; continue; }
    package=$(dpkg -S "$qmldir" | cut -d: -f1)
    grep -qx "$package" <<<"$depends" || fail "Depends lacks $package (QML module $module)"
    more=$(sed -n -E 's/^(import|depends) ([A-Za-z.]+).*/\2/p' "$qmldir")
    queue=$(printf '%s\n%s' "$queue" "$more" | sed '/^$/d')
done
for package in qt6-qpa-plugins libqt6qml6 libqt6gui6; do
    grep -qx "$package" <<<"$depends" || fail "Depends lacks $package"
done

# The packaged binary, unpacked where nothing of the build is near it, run by the start-up
# test in a network namespace of its own under a private X server.
dpkg-deb -x "$app" "$work/root"
FALQUIN_BINARY="$work/root/usr/bin/falquin" "$run_test" --netns "$startup" closingTheWindowExitsCleanly \
    >"$work/startup.log" 2>&1 || {
    cat "$work/startup.log" >&2
    fail "the packaged falquin did not start and close cleanly"
}

[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "Debian packages: all checks passed"
