#pragma once

#include <QStringList>

class AppState;
class Wildcard;

// The days of the store rows first..last (1 April = 1) on which any text of the day
// (weekday, events, record, slot titles and contents, ToDo items) matches `pattern`,
// as their date texts in ascending order, each day once.
QStringList Search_Days(const AppState& app, int first, int last, const Wildcard& pattern);
