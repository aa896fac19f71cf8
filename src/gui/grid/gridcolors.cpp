// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/gridcolors.h"

#include <algorithm>
#include <array>

namespace GridColors {

QColor toQColor(quint32 value, const QColor& fallback, const QPalette& palette) {
    if (value == 0)
        return fallback;
    if (value & 0x80000000u) {
        switch (value & 0xFF) {
        case 5:
            return palette.color(QPalette::Base); // window background
        case 8:
            return palette.color(QPalette::Text); // window text
        case 15:
            return palette.color(QPalette::Button); // button face
        case 13:
            return palette.color(QPalette::Highlight); // highlight
        case 14:
            return palette.color(QPalette::HighlightedText);
        default:
            return fallback;
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 fromQColor(const QColor& color) {
    if (!color.isValid())
        return 0;
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

quint32 paletteColor(int index) {
    static constexpr std::array<quint32, 16> colors = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return colors[size_t(std::clamp(index, 0, 15))];
}

} // namespace GridColors
