#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# Installs the build into a temporary prefix and checks what lands there: every file in
# place, no runpath into the build, the desktop entry and metainfo valid and naming each
# other, the icons at their sizes, and manual pages that render cleanly and document
# what they should.
# Usage: install.sh <build-dir> <source-dir> <version> <app-id>
set -euo pipefail
build=$1 source=$2 version=$3 id=$4
for tool in desktop-file-validate appstreamcli man readelf; do
    command -v "$tool" >/dev/null || { echo "install.sh: $tool is needed" >&2; exit 1; }
done
prefix=$(mktemp -d "${TMPDIR:-/tmp}/falquin-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; exit 1; }
rm -f "$prefix.log"

sizes="16 22 24 32 48 64 128 256 512"
expected="bin/falquin bin/falquin-boxsim bin/falquin-cli
share/applications/$id.desktop share/metainfo/$id.metainfo.xml
share/man/man1/falquin.1.gz share/man/man1/falquin-boxsim.1.gz share/man/man1/falquin-cli.1.gz
share/bash-completion/completions/falquin-cli
share/doc/falquin/copyright share/doc/falquin/changelog.gz
share/doc/falquin-boxsim/copyright share/doc/falquin-boxsim/changelog.gz"
for size in $sizes; do expected+=" share/icons/hicolor/${size}x${size}/apps/$id.png"; done
for file in $expected; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
# Nothing else: a stray file would end up in the package too.
extra=$(cd "$prefix" && find . -type f | sed 's|^\./||' | grep -vxF -f <(tr ' ' '\n' <<<"$expected") || true)
[ -z "$extra" ] || fail "unexpected files installed: $extra"

for binary in falquin falquin-boxsim falquin-cli; do
    paths=$(readelf -d "$prefix/bin/$binary" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p')
    case "$paths" in
    *"$build"* | *"$source"* | *'$ORIGIN'*) fail "$binary has the runpath $paths" ;;
    esac
done

# PNG width and height are big-endian words at bytes 16 and 20.
for size in $sizes; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$png" ] || continue
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
    [ "$w $h" = "$size $size" ] || fail "$png is ${w}x$h"
done

desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" >"$prefix/validate.log" 2>&1 || {
    cat "$prefix/validate.log" >&2
    fail "appstreamcli validate"
}
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Icon)" = "$id" ] || fail "desktop Icon is $(entry Icon)"
[ -x "$prefix/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "desktop Exec $(entry Exec) is not installed"
# Qt names the X11 window class after the application name.
[ "$(entry StartupWMClass)" = Falquin ] || fail "StartupWMClass is $(entry StartupWMClass)"
# German beside the English: the desktop entry's texts and the store's summary and description.
for key in 'Name\[de\]' 'GenericName\[de\]' 'Comment\[de\]'; do
    [ -n "$(entry "$key")" ] || fail "desktop entry has no $key"
done
grep -q '<summary xml:lang="de">..*</summary>' "$metainfo" || fail "metainfo has no German summary"
grep -q '<p xml:lang="de">' "$metainfo" || fail "metainfo has no German description"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launchable"
grep -q "<release version=\"$version\" date=\"[0-9-]*\">" "$metainfo" || fail "metainfo has no release $version"
[ "$(grep -c '<image>https://.*/docs/\(remote\|window\)\.png</image>' "$metainfo")" = 2 ] || fail "metainfo screenshots"

# man --warnings prints groff's complaints; a clean page prints none.
render() { MANWIDTH=100 MANROFFOPT="-rHY=0" man --warnings -E UTF-8 -l "$prefix/share/man/man1/$1.1.gz" 2>"$prefix/man-$1.err"; }
for page in falquin falquin-boxsim falquin-cli; do
    render "$page" >"$prefix/$page.txt"
    [ ! -s "$prefix/man-$page.err" ] || fail "$page.1: $(cat "$prefix/man-$page.err")"
    grep -q "Falquin $version" "$prefix/$page.txt" || fail "$page.1 does not carry version $version"
    # One line with single spaces, so phrases match across justified line breaks.
    tr -s ' \n' '  ' <"$prefix/$page.txt" >"$prefix/$page.flat"
done
# shellcheck disable=SC2088 # the page shows the path with its tilde
for text in '--host ip' '31063' '31064' 'lastDeviceIp' 'lastDeviceName' '~/.config/Orvantide/Falquin.conf' \
    'organization Orvantide' 'application Falquin' 'QSG_RHI_BACKEND=opengl' 'cannot open a display'; do
    grep -qF -- "$text" "$prefix/falquin.flat" || fail "falquin.1 does not mention $text"
done
if grep -qE -- '--(help|version)' "$prefix/falquin.txt"; then fail "falquin.1 documents a help or version option"; fi
# Every command in the README's keyboard table is in the page's keyboard section.
keyboard=$(sed -n '/^KEYBOARD/,/^NETWORK/p' "$prefix/falquin.txt" | tr -s ' \n' '  ')
sed -n '/^| Key | Sends |/,/^$/p' "$source/README.md" | grep -o '`[^`]*`' | tr -d '`' | while read -r command; do
    grep -qF -- "$command" <<<"$keyboard" || { echo "FAIL: falquin.1 keyboard section lacks $command" >&2; exit 1; }
done || failures=$((failures + 1))
# Every option the simulator accepts is documented.
"$prefix/bin/falquin-boxsim" --help | grep -oE '^ +(-[a-z], )?--[a-z-]+' | grep -oE -- '--[a-z-]+' | while read -r option; do
    grep -qF -- "$option" "$prefix/falquin-boxsim.flat" || { echo "FAIL: falquin-boxsim.1 lacks $option" >&2; exit 1; }
done || failures=$((failures + 1))
# The command-line tool's page documents every option, key word and exit code it has; the
# tool itself needs no GUI library.
cli="$prefix/bin/falquin-cli"
if readelf -d "$cli" | grep -q 'NEEDED.*libQt6Gui'; then fail "falquin-cli links Qt Gui"; fi
"$cli" --help | grep -oE -- '--[a-z]+' | sort -u | while read -r option; do
    grep -qF -- "$option" "$prefix/falquin-cli.flat" || { echo "FAIL: falquin-cli.1 lacks $option" >&2; exit 1; }
done || failures=$((failures + 1))
keys=$(sed -n '/^KEYS/,/^EXIT STATUS/p' "$prefix/falquin-cli.txt" | tr -s ' \n' '  ')
"$cli" --help | sed -n '/^Keys/{n;p;}' | xargs printf '%s\n' | while read -r key; do
    grep -qF -- "$key" <<<"$keys" || { echo "FAIL: falquin-cli.1 keys section lacks $key" >&2; exit 1; }
done || failures=$((failures + 1))
status=$(sed -n '/^EXIT STATUS/,/^EXAMPLES/p' "$prefix/falquin-cli.txt")
for code in 0 1 2 3 4; do
    grep -qE "^ +$code\b" <<<"$status" || fail "falquin-cli.1 does not explain exit status $code"
done
refused=0
"$cli" send no-such-key >/dev/null 2>&1 || refused=$?
[ "$refused" = 2 ] || fail "the installed falquin-cli exits $refused, not 2, for an unknown key"

[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install into a prefix: all checks passed"
