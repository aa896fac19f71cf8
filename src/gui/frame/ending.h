// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class AppState;
class Document;
class Navigator;
class QWidget;

// The end of the program, chosen by the user. What the windows hold goes into the
// documents first (the view shown stores its page; a window beside the views asks
// about edits of its own); then each document with unsaved changes is asked about by
// name (Yes saves it, No lets its changes go, Cancel ends nothing). `letGo` is a
// document whose changes the user has let go already (closing its table). When every
// answer is in, the navigator is told that the program ends, and true is returned.
bool Program_End(QWidget* parent, AppState& app, Navigator& nav, Document* letGo = nullptr);
