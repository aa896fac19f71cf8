#pragma once

#include "grid/gridfile.h"

#include <QString>

class AppState;
class GridModel;
class YearStore;
struct FileIdentity;

// Bounds of what a document may hold, kept by every command that writes texts into it
// so that each file the program writes opens again.
namespace DocLimits {
// Characters of one text of a day.
inline constexpr int MaxTextChars = 100000;
} // namespace DocLimits

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

// A document file read into a year store. `out` is replaced only when the whole file
// is valid; store column 19 (the weekday colour) always comes from the colour of the
// weekday cell, never from the text a twentieth column may hold.
FileResult readDocument(const QString& path, YearStore& out, FileIdentity* identity = nullptr);
FileResult parseDocument(QByteArrayView bytes, YearStore& out);

// The file image of a year: 367 rows of `cols` columns, 19 as the annual table saves
// it, 20 (the weekday colour as text in the last column) as the calendar's save does.
QByteArray documentImage(const YearStore& store, int cols);
// Writes the year to `path` atomically with a backup of the file it replaces; the
// identity of what was written is returned in `written`.
FileResult writeDocument(const YearStore& store, int cols, const QString& path,
                         FileIdentity* written = nullptr);

} // namespace DocFiles

// The command line taken as one string: with a leading double quote the first and the
// last character are dropped, otherwise the string is the path unchanged.
QString commandLineDocPath(const QString& commandLine);
