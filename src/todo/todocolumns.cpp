#include "todo/todocolumns.h"

#include "todo/todostring.h"

ColumnInput ToDo_TimeInput() {
    return ColumnInput::checked(ToDo_NormalizeTime, QStringLiteral("hh:mm"),
                                QStringLiteral("時刻は 9:30 のように入力してください。"));
}
