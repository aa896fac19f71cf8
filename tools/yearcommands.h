// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// daylog-tool's commands that make a year.

#include <QStringList>

namespace YearCommands {

// new [--force] YEAR FILE [--carry-from OLD [--carry-since DATE]]: a new document,
// with the open ToDo items of the year before carried into its 1 April when asked.
int newDocument(const QStringList& args);

} // namespace YearCommands
