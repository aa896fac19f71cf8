// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/monthgrid.h"

#include "gui/grid/gridcolors.h"

#include <QAccessibleWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The rounded panel behind the day cells. It is painted, not styled: a style sheet
// here would reach the text boxes placed under the days and hide their own colours.
class DaysPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(0xc5, 0xcf, 0xdc));
        p.setBrush(QColor(0xee, 0xf2, 0xf7));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
};

QColor storedColor(quint32 value, const QColor& fallback) {
    return GridColors::toQColor(value, fallback);
}

// An arrow for the month buttons, drawn so it stays sharp at every scale.
QIcon arrowIcon(bool left) {
    QIcon icon;
    for (qreal dpr : {1.0, 2.0}) {
        QPixmap pm(QSize(24, 24) * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        if (left) {
            path.moveTo(15, 5);
            path.lineTo(7, 12);
            path.lineTo(15, 19);
        } else {
            path.moveTo(9, 5);
            path.lineTo(17, 12);
            path.lineTo(9, 19);
        }
        p.setPen(QPen(QColor(60, 80, 120), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        icon.addPixmap(pm);
    }
    return icon;
}

QToolButton* arrowButton(const QString& name, bool left, const QString& tip, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(arrowIcon(left));
    b->setIconSize(QSize(24, 24));
    b->setAutoRaise(true);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    return b;
}

void setTextColor(QLabel* label, const QColor& c) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, c);
    label->setPalette(pal);
}

// A day cell is a button to a screen reader: pressed it opens its day, and it has a
// menu; a heading is a column heading.
class DayCellAccessible : public QAccessibleWidget {
public:
    explicit DayCellAccessible(DayCell* cell)
        : QAccessibleWidget(cell,
                            cell->isHeading() ? QAccessible::ColumnHeader : QAccessible::Button) {}
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (cell()->hasDay())
            names << pressAction() << showMenuAction();
        return names;
    }
    void doAction(const QString& name) override {
        DayCell* c = cell();
        if (c->hasDay() && name == pressAction())
            Q_EMIT c->clicked(c->index());
        else if (c->hasDay() && name == showMenuAction())
            Q_EMIT c->rightClicked(c->index());
        else
            QAccessibleWidget::doAction(name);
    }

private:
    DayCell* cell() const { return static_cast<DayCell*>(widget()); }
};

QAccessibleInterface* dayCellAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("DayCell") && object && object->isWidgetType())
        return new DayCellAccessible(static_cast<DayCell*>(object));
    return nullptr;
}

} // namespace

// ---- DayCell --------------------------------------------------------------------

DayCell::DayCell(int index, qreal fontScale, QWidget* parent)
    : QWidget(parent), m_index(index), m_fontScale(fontScale) {
    static const bool accessible = [] {
        QAccessible::installFactory(dayCellAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setObjectName(QStringLiteral("Label1_%1").arg(index));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

bool DayCell::isHeading() const {
    return m_index >= MonthGrid::Headings;
}

void DayCell::setCaption(const QString& c) {
    if (c != m_caption) {
        m_caption = c;
        update();
    }
}

void DayCell::setTextColor(const QColor& c) {
    if (c != m_text) {
        m_text = c;
        update();
    }
}

void DayCell::setBackColor(const QColor& c) {
    if (c != m_back) {
        m_back = c;
        update();
    }
}

void DayCell::setOpaque(bool on) {
    if (on != m_opaque) {
        m_opaque = on;
        update();
    }
}

void DayCell::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCell(p, font(), hasFocus());
}

void DayCell::paintOnPaper(QPainter& p) {
    paintCell(p, paperFont(font()), false);
}

void DayCell::focusInEvent(QFocusEvent* e) {
    update();
    QWidget::focusInEvent(e);
}

void DayCell::focusOutEvent(QFocusEvent* e) {
    update();
    QWidget::focusOutEvent(e);
}

void DayCell::paintCell(QPainter& p, const QFont& base, bool focusFrame) {
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (m_opaque) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_back);
        p.drawRoundedRect(r, 4, 4);
    }
    if (focusFrame) {
        // The keyboard's place, plain to see on every day colour.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
    }
    if (m_caption.isEmpty())
        return;
    QFont f = base;
    const qreal scale = isHeading() ? 1.0 : m_fontScale;
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, int(f.pixelSize() * scale + 0.5)));
    else
        f.setPointSizeF(f.pointSizeF() * scale);
    f.setBold(!isHeading());
    p.setFont(f);
    p.setPen(m_text);
    p.drawText(r, Qt::AlignCenter, m_caption);
}

void DayCell::mouseReleaseEvent(QMouseEvent* e) {
    if (!rect().contains(e->position().toPoint()))
        return;
    if (e->button() == Qt::LeftButton)
        Q_EMIT clicked(m_index);
    else if (e->button() == Qt::RightButton)
        Q_EMIT rightClicked(m_index);
}

void DayCell::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        Q_EMIT doubleClicked(m_index);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
}

// ---- MonthGrid ------------------------------------------------------------------

MonthGrid::MonthGrid(const std::array<QString, 7>& headings, Size size, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("MonthGrid"));
    const bool large = size == Size::Large;
    m_prev = arrowButton(QStringLiteral("Picture1"), true, QStringLiteral("前の月"), this);
    m_next = arrowButton(QStringLiteral("Picture2"), false, QStringLiteral("次の月"), this);
    connect(m_prev, &QToolButton::clicked, this, &MonthGrid::previousMonth);
    connect(m_next, &QToolButton::clicked, this, &MonthGrid::nextMonth);

    m_month = new ClickLabel(this);
    m_month->setObjectName(QStringLiteral("Label2"));
    QFont big = m_month->font();
    big.setPointSizeF(big.pointSizeF() * (large ? 2.2 : 1.6));
    big.setBold(true);
    m_month->setFont(big);
    setTextColor(m_month, QColor(0x2c, 0x3e, 0x5c));
    m_month->setCursor(Qt::PointingHandCursor);
    connect(m_month, &ClickLabel::clicked, this, &MonthGrid::monthClicked);
    m_year = new ClickLabel(this);
    m_year->setObjectName(QStringLiteral("Label3"));
    QFont mid = m_year->font();
    mid.setPointSizeF(mid.pointSizeF() * (large ? 1.35 : 1.15));
    mid.setBold(true); // the day numbers' font: one font less to load at start
    m_year->setFont(mid);
    setTextColor(m_year, QColor(0x5a, 0x6f, 0x8c));
    m_year->setCursor(Qt::PointingHandCursor);
    connect(m_year, &ClickLabel::clicked, this, &MonthGrid::yearClicked);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(m_prev);
    header->addSpacing(large ? 8 : 4);
    header->addWidget(m_month, 0, Qt::AlignBottom);
    header->addSpacing(large ? 10 : 6);
    header->addWidget(m_year, 0, Qt::AlignBottom);
    header->addStretch();
    header->addWidget(m_next);

    auto* back = new DaysPanel(this);
    back->setObjectName(QStringLiteral("lbBack"));
    auto* days = m_days = new QGridLayout(back);
    days->setContentsMargins(large ? 6 : 4, large ? 6 : 4, large ? 6 : 4, large ? 6 : 4);
    days->setSpacing(large ? 3 : 2);
    const QSize daySize = large ? QSize(52, 42) : QSize(34, 24);
    const QSize headingSize = large ? QSize(52, 24) : QSize(34, 19);
    for (int i = 0; i < 44; ++i) {
        auto* c = new DayCell(i, large ? 1.35 : 1.1, back);
        m_cells[size_t(i)] = c;
        if (i >= Headings) {
            const int wd = i - Headings;
            c->setMinimumSize(headingSize);
            c->setCaption(headings[size_t(wd)]);
            c->setBackColor(QColor(0xdd, 0xe4, 0xee));
            c->setTextColor(wd == 0   ? QColor(200, 30, 30)
                            : wd == 6 ? QColor(30, 60, 200)
                                      : QColor(40, 40, 40));
            days->addWidget(c, 0, wd);
            c->setAccessibleName(QLocale(QLocale::Japanese).dayName(wd == 0 ? 7 : wd));
            connect(c, &DayCell::clicked, this, &MonthGrid::headingClicked);
        } else {
            c->setMinimumSize(daySize);
            c->installEventFilter(this);
            days->addWidget(c, 1 + i / 7, i % 7);
            connect(c, &DayCell::clicked, this, [this](int index) {
                const DayCell* d = m_cells[size_t(index)];
                if (!d->caption().isEmpty() && d->row() >= 0)
                    Q_EMIT dayClicked(d->row());
            });
            connect(c, &DayCell::rightClicked, this, [this](int index) {
                const DayCell* d = m_cells[size_t(index)];
                if (!d->caption().isEmpty() && d->row() >= 0)
                    Q_EMIT dayRightClicked(index, d->row());
            });
            connect(c, &DayCell::doubleClicked, this, [this](int index) {
                const DayCell* d = m_cells[size_t(index)];
                if (!d->caption().isEmpty() && d->row() >= 0)
                    Q_EMIT dayDoubleClicked(index, d->row());
            });
        }
    }

    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(large ? 6 : 3);
    all->addLayout(header);
    all->addWidget(back, 1);
}

void MonthGrid::addUnderDays(const std::function<QWidget*(int, QWidget*)>& make) {
    for (int k = 0; k < DayCells; ++k) {
        DayCell* day = m_cells[size_t(k)];
        QWidget* parent = day->parentWidget();
        auto* box = new QWidget(parent);
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(1);
        m_days->removeWidget(day);
        day->setParent(box);
        day->setFixedHeight(int(day->fontMetrics().height() * 1.4) + 4);
        column->addWidget(day);
        QWidget* under = make(k, box);
        column->addWidget(under, 1);
        m_under[size_t(k)] = under;
        m_days->addWidget(box, 1 + k / 7, k % 7);
    }
    // The headings keep their height; the days share the rest.
    for (int i = Headings; i < 44; ++i)
        m_cells[size_t(i)]->setFixedHeight(m_cells[size_t(i)]->minimumHeight());
    for (int line = 1; line <= 6; ++line)
        m_days->setRowStretch(line, 1);
}

void MonthGrid::apply(const MonthPaint::Month& m) {
    m_month->setText(m.monthCaption);
    m_year->setText(m.yearCaption);
    for (int k = 0; k < DayCells; ++k) {
        const MonthPaint::Cell& c = m.cells[size_t(k)];
        DayCell* cell = m_cells[size_t(k)];
        cell->setCaption(c.caption);
        cell->setRow(c.row);
        if (cell->accessibleName() != c.spoken)
            cell->setAccessibleName(c.spoken);
        if (c.setTextColor)
            cell->setTextColor(storedColor(c.textColor, Qt::black));
        if (c.setTip)
            cell->setToolTip(c.tip);
        if (c.setBack)
            cell->setBackColor(storedColor(c.back, Qt::white));
        if (c.opacity != MonthPaint::Opacity::Keep)
            cell->setOpaque(c.opacity == MonthPaint::Opacity::Opaque);
    }
    // The current day's mark goes on last, over its load colour.
    m_todayCell = m.todayCell;
    if (m_todayCell >= 0) {
        DayCell* today = m_cells[size_t(m_todayCell)];
        today->setOpaque(true);
        today->setBackColor(storedColor(MonthPaint::Today, Qt::green));
    }
    updateFocusable();
}

void MonthGrid::setDaysFocusable(bool on) {
    m_daysFocusable = on;
    updateFocusable();
}

void MonthGrid::updateFocusable() {
    for (int k = 0; k < DayCells; ++k) {
        DayCell* cell = m_cells[size_t(k)];
        cell->setFocusPolicy(m_daysFocusable && cell->hasDay() ? Qt::StrongFocus : Qt::NoFocus);
    }
}

bool MonthGrid::focusRow(int row) {
    for (int k = 0; k < DayCells; ++k) {
        DayCell* cell = m_cells[size_t(k)];
        if (cell->hasDay() && cell->row() == row) {
            cell->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

int MonthGrid::focusedRow() const {
    for (int k = 0; k < DayCells; ++k)
        if (m_cells[size_t(k)]->hasFocus() && m_cells[size_t(k)]->hasDay())
            return m_cells[size_t(k)]->row();
    return -1;
}

bool MonthGrid::eventFilter(QObject* watched, QEvent* event) {
    auto* cell = qobject_cast<DayCell*>(watched);
    if (!cell || event->type() != QEvent::KeyPress || !cell->hasDay())
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const int row = cell->row();
    if (mods == Qt::NoModifier) {
        switch (key->key()) {
        case Qt::Key_Left:
            Q_EMIT dayFocusRequested(row - 1, 0);
            return true;
        case Qt::Key_Right:
            Q_EMIT dayFocusRequested(row + 1, 0);
            return true;
        case Qt::Key_Up:
            Q_EMIT dayFocusRequested(row - 7, 0);
            return true;
        case Qt::Key_Down:
            Q_EMIT dayFocusRequested(row + 7, 0);
            return true;
        case Qt::Key_PageUp:
            Q_EMIT dayFocusRequested(row, -1);
            return true;
        case Qt::Key_PageDown:
            Q_EMIT dayFocusRequested(row, 1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Q_EMIT dayClicked(row);
            return true;
        case Qt::Key_Menu:
            break;
        default:
            return false;
        }
    } else if (!(mods == Qt::ShiftModifier && key->key() == Qt::Key_F10)) {
        return false;
    }
    if (key->key() == Qt::Key_Menu || key->key() == Qt::Key_F10) {
        Q_EMIT dayMenuRequested(cell->index(), row, cell->mapToGlobal(cell->rect().center()));
        return true;
    }
    return false;
}
