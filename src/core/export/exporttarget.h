// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridfile.h"

#include <QString>

// Where an export may go: never onto a DayLog file. The program's and the command
// line's exports ask here before they write.
namespace ExportTarget {

// Refuses `path` (ProtectedTarget, with the reason in Japanese) when it names a
// document or template by its extension (.dys, .dyy, .dyz, in any case, also through a
// symbolic link), when an existing file there begins like a DayLog file (its backups
// too), or when it is the file `source` (the document exported) however it is reached:
// another spelling of the path, a symbolic or a hard link. Success otherwise; a target
// that cannot be written is left to the write to report.
FileResult check(const QString& path, const QString& source = {});

} // namespace ExportTarget
