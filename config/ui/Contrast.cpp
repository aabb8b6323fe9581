// SPDX-License-Identifier: MIT
#include "config/ui/Contrast.h"

#include <algorithm>
#include <cmath>

namespace tarvik {
namespace {

// One sRGB channel (0..1) back to linear light.
double linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// The colour's relative luminance, 0 for black to 1 for white.
double relativeLuminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

}  // namespace

double contrastRatio(const QColor& one, const QColor& other) {
  const double a = relativeLuminance(one);
  const double b = relativeLuminance(other);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor& background) {
  return isDark(background) ? QColor(Qt::white) : QColor(Qt::black);
}

bool isDark(const QColor& colour) {
  return contrastRatio(colour, Qt::white) > contrastRatio(colour, Qt::black);
}

}  // namespace tarvik
