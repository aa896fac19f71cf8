// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/platform/printer.h"

class AppState;
class DayCell;
class Grid;
class QMainWindow;
class QWidget;
class TextBox;

// The commands every view shares, written once: text editing and colours act on the
// text box that has the keyboard focus in the window; help and printing act on the
// window.
namespace ViewCommands {

// The focused text box of `window`, or nullptr when the focus is elsewhere (a grid,
// a label): editing commands then do nothing, colour commands say so.
TextBox* focusedTextBox(const QWidget* window);

void copy(const QWidget* window);
void cut(const QWidget* window);
void paste(const QWidget* window);
void deleteSelection(const QWidget* window);
void selectAll(const QWidget* window);

enum class ColorPart { Text, Background };
// Asks for a colour for the focused box; "ここの色は変更できません。" elsewhere.
void chooseColor(QWidget* window, ColorPart part);
// Asks for a colour for `box` (a double click on it).
bool chooseBoxColor(QWidget* window, TextBox* box, ColorPart part);

// Asks for the colour of the day in `cell` (store row `row`): it becomes the colour
// of the day's number here and wherever the day is shown (the day's WeekdayFore).
bool chooseDayColor(QWidget* window, DayCell* cell, int row, AppState& app);

// Shows the manual at the window's section, or says that there is none.
void help(QWidget* window);

// Prints the window's page in landscape; a failure is reported.
void printWindow(QMainWindow* window);
// Prints the selected block of `grid` with its headings (the fixed rows, and the
// columns before `headingCols`, the fixed ones where it is -1); a failure is reported.
void printBlock(QWidget* window, Grid& grid, int headingCols = -1);
// Tells the user when a print failed (a cancelled print is no failure).
void reportPrint(QWidget* window, Printer::Result result);

} // namespace ViewCommands
