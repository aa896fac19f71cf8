// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Document;
class QWidget;

namespace ImportCommand {

// The filter of the iCalendar import dialog.
inline constexpr char16_t Filter[] = u"iCalendar (*.ics)|*.ics";

// インポート(iCalendar): asks for an .ics file (the dialog opening beside the
// document) and adds its events, tasks and journal entries to the year of `doc`
// (Import_ICalendar), which is then changed and saved by the user as usual. Says what
// was added and what was left out; a file that cannot be read or is not iCalendar is
// reported with its name and the reason, and the document is left as it was. True
// when anything was added.
bool importICalendar(QWidget* parent, Document& doc);

} // namespace ImportCommand
