#pragma once

#include "grid/grideditor.h"

// The time column of the ToDo grids (the diary's, the ToDo list's): a time of day,
// kept as hh:mm whatever way it was typed.
ColumnInput ToDo_TimeInput();
