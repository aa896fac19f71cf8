#pragma once

#include <QString>

class QWidget;
class AppState;

// Saves the year store to DocPath; an untitled document asks for a name first.
// Returns true when the document was written; a failure has been reported to the
// user and leaves DocChanged set.
bool Store_SaveDoc(QWidget* parent, AppState& app);
// Asks for a name, then saves the year store there.
bool Store_SaveAs(QWidget* parent, AppState& app);

// Asks for a name with the save dialog ("名前を付けて保存", `filter`) and returns the
// file that will be written: the chosen name with `ext` as its extension
// (DocFiles::savePath). When that file exists, the user is asked whether to replace
// it. Empty when the dialog is cancelled or the user does not replace the file.
QString chooseSavePath(QWidget* parent, const QString& filter, const QString& ext);

// Asks whether the existing file at `path` may be replaced ("「name」は既に存在します。
// 上書きしますか。"); true without asking when there is no such file (or a folder
// is there: the write itself then fails and says so).
bool askToReplace(QWidget* parent, const QString& path);
