// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/yeardialog.h"

#include "core/time/clock.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int FirstYear = 2001;
constexpr int YearsAhead = 10;
} // namespace

YearDialog::YearDialog(const QString& name, QWidget* parent) : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(QStringLiteral("年度"));
    setModal(false);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~Qt::WindowContextHelpButtonHint);

    m_label = new QLabel(QStringLiteral("何年のデータを作成しますか"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_label->setBuddy(m_combo);
    m_combo->setAccessibleName(QStringLiteral("年度"));
    m_button = new QPushButton(QStringLiteral("選択"), this);
    m_button->setObjectName(QStringLiteral("Command1"));
    m_button->setDefault(true);

    // The list runs from 2001 through ten years after the current one.
    const int thisYear = Clock::today().year();
    for (int y = FirstYear; y <= std::max(thisYear, FirstYear) + YearsAhead; ++y)
        m_combo->addItem(QString::number(y));
    m_combo->setCurrentIndex(m_combo->findText(QString::number(thisYear)));

    auto* row = new QHBoxLayout;
    row->addWidget(m_combo, 1);
    row->addWidget(m_button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    layout->addWidget(m_label);
    layout->addLayout(row);

    connect(m_button, &QPushButton::clicked, this, &YearDialog::confirm);

    adjustSize();
    setMinimumWidth(280);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
}

int YearDialog::selectedYear() const {
    return m_combo->currentIndex() < 0 ? 0 : m_combo->currentText().toInt();
}

void YearDialog::confirm() {
    const int year = selectedYear();
    if (year == 0)
        return; // nothing selected: the button waits for a choice
    Q_EMIT yearChosen(year);
    m_tag.clear();
    m_closing = true;
    close();
}

void YearDialog::reject() {
    if (!m_closing) {
        m_closing = true;
        Q_EMIT cancelled();
    }
    QDialog::reject();
}
