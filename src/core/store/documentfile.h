// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridfile.h"
#include "core/store/fileidentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUuid>

class AppState;
class GridModel;
class YearStore;

// Bounds of what a document may hold, kept by every command that writes into it so
// that each file the program writes opens again.
namespace DocLimits {
inline constexpr int MaxTextChars = 100000; // one text of a day, in UTF-16 units
inline constexpr int FirstYear = 1000;      // the years a document can be made for
inline constexpr int LastYear = 9998;
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

// Where the file dialogs about a document open. `docPath` is the document's path (an
// untitled name for a document never saved), `baseYear` its year.
// The folder: the folder of the document's file; for an untitled document the user's
// documents folder (the home folder where there is none).
QString dialogFolder(const QString& docPath);
// The folder and name a save dialog suggests: the document's file itself (名前を付けて
// 保存), or with `ext` (".ics") the document's name with that extension instead (an
// export); for an untitled document "<baseYear>年度" with the document extension or
// `ext`, in the documents folder.
QString suggestedFile(const QString& docPath, int baseYear, const QString& ext = QString());

// A year document's file: 367 rows (row 0 the headings with the year in the corner,
// rows 1..366 the days from 1 April) by 19 columns (the store's text columns, as the
// annual table saves it) or 20 (the calendar's save: column 19 holds the weekday
// colour as text), each cell with its text and colours (those of cellColorMap(),
// from row 1 on). The text colours of row 0 hold the document's version and identity
// (YearStore::documentId; documentfile.cpp); every other colour is 0.

// Reads a document into `out`, replaced only when the whole file is valid: a grid
// file of that shape whose corner holds a year FirstYear..LastYear, each day row the
// date of its day (yyyy/MM/dd) and its weekday letter, and no text a NUL character.
// `out` then holds what the file holds and nothing else: the texts of the file's
// columns, and of rows 1..366 every colour column from the cells' colours (store
// column 19 the weekday cell's text colour, never the text of file column 19) and the
// document identity the file holds. A file without one (written before identities
// were kept) gets derivedDocumentId(path), the same every time it is read from that
// place, until its next save writes it into the file. `identity`, when given, gets
// the file as it was read.
FileResult readDocument(const QString& path, YearStore& out, FileIdentity* identity = nullptr);
// As readDocument, from a file's bytes; the identity is null when they hold none.
FileResult parseDocument(QByteArrayView bytes, YearStore& out);

// The identity of a document file without one: a UUID made from the computer and the
// file's canonical path.
QUuid derivedDocumentId(const QString& path);

// The file image of `store` with `cols` columns (19 or 20; otherwise empty), and its
// exact size (-1 for other widths), the latter computed without making the image.
QByteArray documentImage(const YearStore& store, int cols);
qint64 imageBytes(const YearStore& store, int cols);

// Saves `store` as a document with `cols` columns to `path` (GridFile::writeAtomically,
// the old file kept as "<path>.bak"). An image the reader would refuse as too large is
// refused before anything is written. `written`, when given, gets the file as written.
FileResult writeDocument(const YearStore& store, int cols, const QString& path,
                         FileIdentity* written = nullptr);

// Whether a document written from `store` with `cols` columns would be read back: the
// reader's checks of the cells (year, dates, weekdays, no NUL), named by row and
// column, and its size bound. writeDocument and the recovery copies check it first.
FileResult checkWritable(const YearStore& store, int cols);

// Checks that a parsed grid is a year document: 367 rows, 19 or 20 columns and a
// year in cell (0,0). (The older, partial check of loadDocument.)
FileResult checkDocumentShape(const GridData& data);

// The start-up load: the file into the buffer grid, validated first; on failure the
// buffer grid is left as it was.
FileResult loadDocument(const QString& path, GridModel& buffer);

} // namespace DocFiles

// The command line taken as one string: with a leading double quote the first and the
// last character are dropped, otherwise the string is the path unchanged.
QString commandLineDocPath(const QString& commandLine);
