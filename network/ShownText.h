// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

// Text that came from outside (the network, the command line, the settings store) made safe to
// print on a terminal line or in the log.
namespace shown {

// Control characters become '?'; everything else is kept.
QString printable(const QString &text);

// printable(), cut after kExcerptLength characters with a "…" that says so: for quoting in a
// warning, where a 5 MB value would otherwise fill the log.
inline constexpr int kExcerptLength = 64;
QString excerpt(const QString &text);

} // namespace shown
