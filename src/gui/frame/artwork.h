// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own images, drawn in code so they stay sharp at every scale.
namespace Artwork {
// A square logo of `size` logical pixels for a screen of `dpr` device pixels per pixel.
QPixmap logo(int size, qreal dpr);
QIcon programIcon();
} // namespace Artwork
