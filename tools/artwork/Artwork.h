// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QByteArray>
#include <QImage>

// The app's two images, drawn in code so they can be redrawn at will and stay reproducible.
// Both need a QGuiApplication (fonts).
namespace artwork {

inline constexpr int kIconSize = 256;
inline constexpr int kLogoWidth = 600;
inline constexpr int kLogoHeight = 104;

// Sizes of the hicolor theme's fixed-size app icons.
inline constexpr int kThemeIconSizes[] = { 16, 22, 24, 32, 48, 64, 128, 256, 512 };

// A remote on a dark rounded tile; transparent outside the tile. Drawn for each size,
// not scaled from a bitmap.
QImage appIcon(int size = kIconSize);
// The icon as a macOS .icns container: PNG payloads of 128, 256, 512 and 1024 px.
QByteArray appIconIcns();
// "ORVANTIDE" in light grey on transparency, shown small on the dark remote body.
QImage logo();

} // namespace artwork
