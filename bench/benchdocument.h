// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class AppState;

namespace BenchDocument {

// Fills `app` with a complete year document of BaseYear 2005: the new-document
// rows (dates, weekdays, headings) and then every text cell of rows 1..366,
// columns Events..ToDo, with Japanese text of the lengths people really write, and
// every colour column with a nonzero colour. The content depends only on `seed`.
void fill(AppState& app, unsigned seed = 20050401);

} // namespace BenchDocument
