// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

// Stored colours are 32-bit values with red in the low byte; 0 means "not chosen";
// 0x80000000 | n names a system colour (0x80000005 the window background). This is
// the one place that converts them.
namespace GridColors {

inline constexpr quint32 SystemWindow = 0x80000005;

// `fallback` is used for 0 (not chosen).
QColor toQColor(quint32 value, const QColor& fallback, const QPalette& palette = QPalette());
quint32 fromQColor(const QColor& color);

// The classic 16-colour palette, index 0..15.
quint32 paletteColor(int index);

} // namespace GridColors

// Sizes are kept in twips (1/1440 inch) and shown at the screen's logical DPI.
namespace Twips {
inline int toPixels(int twips, qreal dpi) {
    return int(twips * dpi / 1440.0 + 0.5);
}
inline int fromPixels(int pixels, qreal dpi) {
    return dpi > 0 ? int(pixels * 1440.0 / dpi + 0.5) : 0;
}
} // namespace Twips
