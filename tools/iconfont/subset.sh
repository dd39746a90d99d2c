#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Cuts the full icon font down to the characters qml/Glyphs.qml names, into the file the
# app compiles in. The full font registers and rasterises tens of times slower at start.
# Rerun after adding a glyph to Glyphs.qml. Needs pyftsubset (Debian package fonttools).
# The subset keeps the full font's name table, copyright and licence strings included;
# both are under qml/fonts/LICENSE-MaterialSymbolsRounded.txt.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
codes=$(sed -n 's/.*"\\u\([0-9a-fA-F]\{4\}\)".*/U+\1/p' "$root/qml/Glyphs.qml" | paste -sd, -)
[ -n "$codes" ] || { echo "$0: no code points found in qml/Glyphs.qml" >&2; exit 1; }
pyftsubset "$root/tools/iconfont/MaterialSymbolsRounded-Regular.ttf" \
    --unicodes="$codes" --layout-features= --name-IDs='*' --name-languages='*' \
    --output-file="$root/qml/fonts/MaterialSymbolsRounded-Regular.ttf"
echo "subset of $codes: $(wc -c <"$root/qml/fonts/MaterialSymbolsRounded-Regular.ttf") bytes"
