#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Cuts Debian's DejaVu Sans Bold (package fonts-dejavu-core) down to printable ASCII, the face
# the wordmark is drawn in. Shipping it keeps the wordmark the same on every build machine,
# macOS included. Needs pyftsubset (Debian package fonttools). The subset keeps the full
# font's name table, copyright and licence strings included; see LICENSE-DejaVu.txt.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
pyftsubset "${1:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}" \
    --unicodes=U+0020-007E --name-IDs='*' --name-languages='*' \
    --output-file="$here/DejaVuSans-Bold-Ascii.ttf"
echo "wrote $here/DejaVuSans-Bold-Ascii.ttf: $(wc -c <"$here/DejaVuSans-Bold-Ascii.ttf") bytes"
