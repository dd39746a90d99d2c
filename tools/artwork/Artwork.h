// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QImage>

// The app's two images, drawn in code so they can be redrawn at will and stay reproducible.
// Both need a QGuiApplication (fonts).
namespace artwork {

inline constexpr int kIconSize = 256;
inline constexpr int kLogoWidth = 600;
inline constexpr int kLogoHeight = 104;

// A remote on a dark rounded tile; transparent outside the tile.
QImage appIcon();
// "ORVANTIDE" in light grey on transparency, shown small on the dark remote body.
QImage logo();

} // namespace artwork
