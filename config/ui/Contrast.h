// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

namespace tarvik {

// Contrast between two colours as WCAG 2 measures it: from 1:1 (the same luminance) to 21:1
// (black on white). Text wants 4.5:1 to stay readable for most eyes.
inline constexpr double kReadableContrast = 4.5;

double contrastRatio(const QColor& one, const QColor& other);
// Black or white, whichever stands out more against `background`: one of them always reaches
// 4.5:1, whatever the background.
QColor readableOn(const QColor& background);
// True where the colour is dark enough that white reads better on it than black.
bool isDark(const QColor& colour);

}  // namespace tarvik
