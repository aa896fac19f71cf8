// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridfile.h"

#include <QString>
#include <QStringList>

class YearStore;

// Recovery copies: while a document has unsaved changes, the program keeps a copy of
// the whole year in its data folder, one file a document, so that a run that ends
// abnormally loses at most the last half minute. A copy is an ordinary document file.
namespace Recovery {

// The folder the copies are kept in: the program's data folder, or the one set here
// (empty sets the program's own again).
QString folder();
void setFolder(const QString& folder);

// The copy of the document at `docPath`, or of the untitled document of that name
// ("nikki0" has "untitled.dys", "nikki3" "untitled-3.dys").
QString copyPath(const QString& docPath);

// The copies of untitled documents other than the first ("nikki0") found in the
// folder, oldest first.
QStringList otherUntitledCopies();

// The store written as a document to `path`, atomically (the file is either the old
// copy or the new one, never half of it), without a backup of the old copy.
FileResult write(const YearStore& store, const QString& path);

// Whether there is a copy of `docPath` to offer: one newer than the document (a
// document not on disk, or untitled, is older than any copy).
bool hasNewerCopy(const QString& docPath);

// Removes the copy of `docPath`, if there is one.
void remove(const QString& docPath);

} // namespace Recovery
