#pragma once

class QWidget;
class AppState;

// Saves the year store to DocPath; an untitled document asks for a name first.
// Returns true when the document was written; a failure has been reported to the
// user and leaves DocChanged set.
bool Store_SaveDoc(QWidget* parent, AppState& app);
// Asks for a name, then saves the year store there.
bool Store_SaveAs(QWidget* parent, AppState& app);
