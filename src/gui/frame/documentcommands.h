// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

class AppState;
class Document;
class QWidget;

// The shapes a document is saved in: the calendar's side writes 20 columns (the
// weekday colour once more as text in the last one), the main window's tables 19,
// their own columns. Both read back the same.
namespace SaveShape {
inline constexpr int Calendar = 20;
inline constexpr int Table = 19;
} // namespace SaveShape

// Saves `doc` to its file; an untitled document asks for a name first. Before the file
// is written over, a change another program made to it since it was loaded or saved is
// asked about (上書き / 名前を付けて保存 / キャンセル). Returns true when the document
// was written; a failure has been reported to the user and leaves it changed.
bool Doc_Save(QWidget* parent, AppState& app, Document& doc, int cols);
// Asks for a name, the dialog opening at the document's file (an untitled one:
// "<year>年度.dys" in the documents folder), then saves `doc` there. A name that is the
// file of another open document is refused.
bool Doc_SaveAs(QWidget* parent, AppState& app, Document& doc, int cols);

// The calendar's save commands: the current document, in the calendar's shape.
bool Store_SaveDoc(QWidget* parent, AppState& app);
bool Store_SaveAs(QWidget* parent, AppState& app);

// The question asked about each document with unsaved changes before the program ends:
// "ファイルが変更されています。保存しますか。" with the document's name.
QString endQuestion(const Document& doc);

// Asks about every document with unsaved changes, in the order they were opened: Yes
// saves it (in the calendar's shape), No lets its changes go, Cancel (Escape, the close
// box) ends nothing. `letGo`, when given, is a document whose changes the user has let
// go already (closing its table); it is not asked about. Returns the documents whose
// changes were let go, or nothing when the program must go on (cancelled, or a save did
// not happen).
std::optional<QList<Document*>> Docs_ConfirmEnd(QWidget* parent, AppState& app,
                                                Document* letGo = nullptr);

// Takes the lock of the file at `path` for `doc`. A file another program holds open
// (on this computer or another one, through a shared folder) is opened only after the
// user has been told who holds it and agreed; false when the user did not.
bool Doc_TakeLock(QWidget* parent, Document& doc, const QString& path);

// Offers the recovery copy of `doc` left by a run that did not end normally, if there
// is one newer than the document: "前回保存されなかった変更があります。復元しますか。"
// naming it. Yes puts the copy into the document, which is then changed (the copy stays
// until the document is saved); No removes the copy. A damaged copy is reported and
// removed. True when the copy was taken.
bool Doc_OfferRecovery(QWidget* parent, Document& doc);
// Offers the recovery copy at `copy` for `doc` (an untitled document left by the last
// run); taken, it becomes the document's own copy.
bool Doc_OfferCopy(QWidget* parent, Document& doc, const QString& copy);

// Asks for a name with the save dialog ("名前を付けて保存", `filter`, opening at
// `start`: a folder, or a folder and name) and returns the file that will be written:
// the chosen name with `ext` as its extension (DocFiles::savePath). When that file
// exists, the user is asked whether to replace it. Empty when the dialog is cancelled
// or the user does not replace the file.
QString chooseSavePath(QWidget* parent, const QString& filter, const QString& ext,
                       const QString& start = QString());

// Asks whether the existing file at `path` may be replaced ("「name」は既に存在します。
// 上書きしますか。"); true without asking when there is no such file (or a folder
// is there: the write itself then fails and says so).
bool askToReplace(QWidget* parent, const QString& path);
