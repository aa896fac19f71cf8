// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// daylog-tool's commands kept in files of their own: each takes the arguments after
// its name and returns the exit code.

#include <QStringList>

// search-years TEXT FILE|FOLDER...
int searchYears(const QStringList& args);

// sync FILE [--url URL --user NAME [--make]]
int syncDocument(const QStringList& args);

// stats-record FILE FROM TO [--key1 K]... [--key2 K]... [--with FILE]...
int statsRecord(const QStringList& args);

// stats-item FILE FROM TO [--key K[=TARGET]]... [--with FILE]...
int statsItem(const QStringList& args);
