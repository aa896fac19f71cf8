// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

// Japanese everywhere: the default locale, the standard dialogs' buttons, the
// program's name and icon.
void setupJapaneseUi(QApplication& app);
