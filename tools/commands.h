// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// daylog-tool's commands kept in files of their own: each takes the arguments after
// its name and returns the exit code.

#include <QStringList>

// search-years TEXT FILE|FOLDER...
int searchYears(const QStringList& args);

// sync FILE [--url URL --user NAME]
int syncDocument(const QStringList& args);
