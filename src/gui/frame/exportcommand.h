// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Document;
class QWidget;

namespace ExportCommand {

// The filter of the export dialog: iCalendar first, then CSV.
inline constexpr char16_t Filter[] = u"iCalendar (*.ics)|*.ics|CSV (*.csv)|*.csv";

// Asks for a file (the dialog opening beside the document, with the document's name
// and ".ics"; an untitled document's "<year>年度.ics" in the documents folder) and
// writes the year of `doc` to it: CSV for a name ending in .csv,
// iCalendar otherwise (".ics" added to a name without an extension). An existing file
// is replaced only when the user says so; a failure is reported with the file and
// the reason. True when the file was written.
bool exportYear(QWidget* parent, const Document& doc);

} // namespace ExportCommand
