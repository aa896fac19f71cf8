// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPagedPaintDevice;
class QWidget;

// Prints the page of a window: its boxes, labels, day cells and grids as text and
// lines on a white page, scaled to fit; the menus and toolbar are not part of it.
namespace WindowPrint {

// Paints `page` (a window's central widget) onto one page of `device`.
bool paint(QWidget* page, QPagedPaintDevice* device);

} // namespace WindowPrint
