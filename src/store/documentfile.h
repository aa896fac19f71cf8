#pragma once

#include "grid/gridfile.h"

#include <QString>

class AppState;
class GridModel;

// The three kinds of file and their file-dialog filters ("description|pattern").
namespace DocFiles {
inline constexpr char16_t DocumentExt[] = u".dys";
inline constexpr char16_t RecordTemplateExt[] = u".dyy";
inline constexpr char16_t ItemTemplateExt[] = u".dyz";
inline constexpr char16_t DocumentFilter[] = u"DayLogのﾌｧｲﾙ (*.dys)|*.dys";
inline constexpr char16_t OpenDocumentFilter[] = u"DayLogファイル(*.dys)|*.dys";
inline constexpr char16_t RecordTemplateFilter[] = u"記録テンプレートのﾌｧｲﾙ (*.dyy)|*.dyy";
inline constexpr char16_t ItemTemplateFilter[] = u"項目テンプレートのﾌｧｲﾙ (*.dyz)|*.dyz";
inline constexpr char16_t SaveDialogTitle[] = u"名前を付けて保存";
inline constexpr char16_t UntitledPrefix[] = u"nikki";

// A document that has never been saved carries a name beginning with "nikki".
bool isUntitled(const QString& docPath);

// The path a save goes to for the name chosen in the save dialog: the chosen folder
// and title, with the title's three-letter extension replaced by the kind's, or the
// kind's extension appended when the title has no three-letter extension.
QString savePath(const QString& chosen, const QString& ext);

// Checks that a parsed grid is a year document: 367 rows, 19 or 20 columns and a
// year in cell (0,0).
FileResult checkDocumentShape(const GridData& data);

// The start-up load: the file into the buffer grid, validated first; on failure the
// buffer grid is left as it was.
FileResult loadDocument(const QString& path, GridModel& buffer);

} // namespace DocFiles

// The command line taken as one string: with a leading double quote the first and the
// last character are dropped, otherwise the string is the path unchanged.
QString commandLineDocPath(const QString& commandLine);
