// SPDX-License-Identifier: Apache-2.0
#include "ShownText.h"

namespace shown {

QString printable(const QString &text)
{
    QString safe = text;
    for (QChar &c : safe) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return safe;
}

QString excerpt(const QString &text)
{
    if (text.size() <= kExcerptLength)
        return printable(text);
    // Never half of a surrogate pair.
    const qsizetype cut = text.at(kExcerptLength - 1).isHighSurrogate() ? kExcerptLength - 1 : kExcerptLength;
    return printable(text.left(cut)) + QChar(0x2026);
}

} // namespace shown
