#include "calendar/calendarwindow.h"

#include "app/artwork.h"
#include "calendar/clock.h"
#include "grid/gridcolors.h"
#include "platform/clock.h"
#include "platform/colordialog.h"
#include "platform/help.h"
#include "platform/messagebox.h"
#include "platform/tray.h"
#include "store/appstate.h"
#include "store/dates.h"
#include "store/documentcommands.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int Headings = 37; // cells 37..43 are the weekday headings

QColor storedColor(quint32 value, const QColor& fallback) {
    return GridColors::toQColor(value, fallback);
}

QColor paletteColor(int index) {
    return storedColor(GridColors::paletteColor(index), Qt::black);
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

} // namespace

// ---- DayCell --------------------------------------------------------------------

DayCell::DayCell(int index, QWidget* parent) : QWidget(parent), m_index(index) {
    setObjectName(QStringLiteral("Label1_%1").arg(index));
    setMinimumSize(52, index >= Headings ? 24 : 42);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (m_opaque) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_back);
        p.drawRoundedRect(r, 4, 4);
    }
    if (m_caption.isEmpty())
        return;
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * (m_index >= Headings ? 1.0 : 1.35));
    f.setBold(m_index < Headings);
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

// ---- ClockWidget ----------------------------------------------------------------

ClockWidget::ClockWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picMain"));
    setFixedSize(124, 124);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("クリックするとタスクに入ります"));
}

void ClockWidget::setTime(const QTime& t, int hourColor, int minuteColor, int secondColor) {
    const std::array<int, 3> colors{hourColor, minuteColor, secondColor};
    // Only a visible change repaints: the clock moves once a second.
    if (t.hour() == m_time.hour() && t.minute() == m_time.minute() &&
        t.second() == m_time.second() && colors == m_colors && m_time.isValid())
        return;
    m_time = t;
    m_colors = colors;
    update();
}

void ClockWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The dial.
    QRadialGradient face(QPointF(52, 50), 70);
    face.setColorAt(0, QColor(255, 255, 255));
    face.setColorAt(1, QColor(214, 224, 238));
    p.setPen(QPen(QColor(120, 140, 170), 2));
    p.setBrush(face);
    p.drawEllipse(QPointF(61.5, 61.5), 60, 60);

    const ClockFace::Hands h = ClockFace::hands(m_time);
    const std::array<QPoint, 3> hands{h.hour, h.minute, h.second};
    const std::array<int, 3> widths{3, 2, 1};
    auto line = [&](QPoint from, QPoint d, const QColor& c, int w) {
        p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, from + d);
    };
    for (size_t i = 0; i < 3; ++i)
        line(QPoint(64, 64), hands[i], QColor(178, 178, 178), widths[i]);
    for (size_t i = 0; i < 3; ++i)
        line(QPoint(60, 60), hands[i], paletteColor(m_colors[i]), widths[i]);

    // The face: the centre and the twelve hour points.
    p.setPen(QPen(paletteColor(1), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(60, 60), 3, 3);
    constexpr double Radian = 0.0174532888;
    for (int i = 1; i <= 12; ++i) {
        const double a = (90 - 30 * i) * Radian;
        p.setPen(QPen(QColor(178, 178, 178), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(QPointF(63 + 52 * std::cos(a), 63 - 52 * std::sin(a)));
        p.setPen(QPen(palette().color(QPalette::WindowText), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(QPointF(60 + 52 * std::cos(a), 60 - 52 * std::sin(a)));
    }
}

void ClockWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
}

// ---- CalendarWindow -------------------------------------------------------------

CalendarWindow::CalendarWindow(AppState& app, QWidget* parent) : QMainWindow(parent), m_app(app) {
    setObjectName(QStringLiteral("カレンダー"));
    setWindowTitle(QStringLiteral("デイログ"));
    setWindowIcon(Artwork::programIcon());
    buildMenus();
    buildCells();

    connect(&Tray::instance(), &Tray::leftClicked, this, &CalendarWindow::Task_Out);
    connect(&Tray::instance(), &Tray::rightClicked, this,
            [this] { MessageBox::show(this, QStringLiteral("左ボタンをクリックしてください。")); });

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 4);
    }
    Cal_DrawMonth();
    clockTick();
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &CalendarWindow::clockTick);
    m_timer.start();
}

CalendarWindow::~CalendarWindow() {
    Help::closeAll();
}

QAction* CalendarWindow::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

void CalendarWindow::buildMenus() {
    auto add = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(add(file, "mnuSave", QStringLiteral("上書き保存(&S)")), &QAction::triggered, this,
            [this] { Store_SaveDoc(this, m_app); });
    connect(add(file, "mnuAsSave", QStringLiteral("名前を付けて保存(&A)")), &QAction::triggered,
            this, [this] { Store_SaveAs(this, m_app); });
    file->addSeparator()->setObjectName(QStringLiteral("mnuspace"));
    connect(add(file, "mnuTask", QStringLiteral("タスクに入れる(&T)")), &QAction::triggered, this,
            &CalendarWindow::Cal_ToTray);
    connect(add(file, "mnuEnd", QStringLiteral("終了(&X)")), &QAction::triggered, this, [this] {
        if (endProgram())
            hide();
    });

    // The views, statistics, ToDo list and search open from here once they exist.
    QMenu* open = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    open->setObjectName(QStringLiteral("mnuOpen"));
    add(open, "mnuNikki", QStringLiteral("日記(&N)"))->setEnabled(false);
    add(open, "mnuShuu", QStringLiteral("週日程(&W)"))->setEnabled(false);
    add(open, "mnuTuki", QStringLiteral("月日程(&M)"))->setEnabled(false);
    add(open, "mnuNen", QStringLiteral("年間日程(&Y)"))->setEnabled(false);
    open->addSeparator()->setObjectName(QStringLiteral("mnuspace2"));
    add(open, "mnuKiroku", QStringLiteral("記録統計(&K)"))->setEnabled(false);
    add(open, "mnuKoumoku", QStringLiteral("項目統計(&S)"))->setEnabled(false);
    add(open, "mnuToDo", QStringLiteral("ToDo一覧(&T)"))->setEnabled(false);
    add(open, "mnuKensaku", QStringLiteral("検索(&F)"))->setEnabled(false);

    QAction* help = menuBar()->addAction(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(help, &QAction::triggered, this, &CalendarWindow::showHelp);

    m_popup = new QMenu(QStringLiteral("ポップメニュー"), this);
    m_popup->setObjectName(QStringLiteral("mnuPop"));
    connect(add(m_popup, "mnuDay", QStringLiteral("日付の色")), &QAction::triggered, this,
            &CalendarWindow::chooseDayColor);
}

void CalendarWindow::buildCells() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    auto* prev = new QToolButton(central);
    prev->setObjectName(QStringLiteral("Picture1"));
    prev->setIcon(arrowIcon(true));
    prev->setIconSize(QSize(24, 24));
    prev->setAutoRaise(true);
    prev->setToolTip(QStringLiteral("前の月"));
    connect(prev, &QToolButton::clicked, this, &CalendarWindow::previousMonth);
    auto* next = new QToolButton(central);
    next->setObjectName(QStringLiteral("Picture2"));
    next->setIcon(arrowIcon(false));
    next->setIconSize(QSize(24, 24));
    next->setAutoRaise(true);
    next->setToolTip(QStringLiteral("次の月"));
    connect(next, &QToolButton::clicked, this, &CalendarWindow::nextMonth);

    m_month = new QLabel(central);
    m_month->setObjectName(QStringLiteral("Label2"));
    QFont big = m_month->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    m_month->setFont(big);
    m_month->setStyleSheet(QStringLiteral("color: #2c3e5c;"));
    m_year = new QLabel(central);
    m_year->setObjectName(QStringLiteral("Label3"));
    QFont mid = m_year->font();
    mid.setPointSizeF(mid.pointSizeF() * 1.35);
    mid.setBold(true); // the day numbers' font: one font less to load at start
    m_year->setFont(mid);
    m_year->setStyleSheet(QStringLiteral("color: #5a6f8c;"));

    auto* header = new QHBoxLayout;
    header->addWidget(prev);
    header->addSpacing(8);
    header->addWidget(m_month, 0, Qt::AlignBottom);
    header->addSpacing(10);
    header->addWidget(m_year, 0, Qt::AlignBottom);
    header->addStretch();
    header->addWidget(next);

    auto* back = new QFrame(central);
    back->setObjectName(QStringLiteral("lbBack"));
    back->setStyleSheet(QStringLiteral(
        "#lbBack { background: #eef2f7; border: 1px solid #c5cfdc; border-radius: 6px; }"));
    auto* days = new QGridLayout(back);
    days->setContentsMargins(6, 6, 6, 6);
    days->setSpacing(3);
    static const char16_t* const names[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    for (int i = 0; i < 44; ++i) {
        auto* cell = new DayCell(i, back);
        m_cells[size_t(i)] = cell;
        if (i >= Headings) {
            const int wd = i - Headings;
            cell->setCaption(QString::fromUtf16(names[wd]));
            cell->setBackColor(QColor(0xdd, 0xe4, 0xee));
            cell->setTextColor(wd == 0   ? QColor(200, 30, 30)
                               : wd == 6 ? QColor(30, 60, 200)
                                         : QColor(40, 40, 40));
            days->addWidget(cell, 0, wd);
        } else {
            days->addWidget(cell, 1 + i / 7, i % 7);
            connect(cell, &DayCell::rightClicked, this, &CalendarWindow::dayRightClicked);
        }
    }

    m_clock = new ClockWidget(central);
    connect(m_clock, &ClockWidget::clicked, this, &CalendarWindow::Cal_ToTray);

    auto* left = new QVBoxLayout;
    left->addLayout(header);
    left->addWidget(back, 1);
    auto* right = new QVBoxLayout;
    right->addSpacing(30);
    right->addWidget(m_clock, 0, Qt::AlignHCenter);
    right->addStretch();
    auto* all = new QHBoxLayout(central);
    all->setContentsMargins(14, 10, 14, 14);
    all->setSpacing(16);
    all->addLayout(left, 1);
    all->addLayout(right);
}

void CalendarWindow::applyMonth(const MonthPaint::Month& m) {
    m_month->setText(m.monthCaption);
    m_year->setText(m.yearCaption);
    for (int k = 0; k < 37; ++k) {
        const MonthPaint::Cell& c = m.cells[size_t(k)];
        DayCell* cell = m_cells[size_t(k)];
        cell->setCaption(c.caption);
        if (c.setTextColor)
            cell->setTextColor(storedColor(c.textColor, Qt::black));
        if (c.setTip)
            cell->setToolTip(c.tip);
        if (c.setBack)
            cell->setBackColor(storedColor(c.back, Qt::white));
    }
}

void CalendarWindow::Cal_DrawMonth() {
    applyMonth(MonthPaint::paint(MonthPaint::Variant::Calendar, m_app));
}

void CalendarWindow::clockTick() {
    const QDateTime now = Clock::currentDateTime();
    const ClockFace::HandColors c = ClockFace::handColors(now, m_app.store, m_app.BaseYear);
    m_clock->setTime(now.time(), c.hour, c.minute, c.second);
}

void CalendarWindow::previousMonth() {
    if (m_app.CurMonth == 4)
        return;
    if (m_app.CurMonth == 1) {
        m_app.CurMonth = 12;
        m_app.CurYear -= 1;
    } else {
        m_app.CurMonth -= 1;
    }
    Cal_DrawMonth();
}

void CalendarWindow::nextMonth() {
    if (m_app.CurMonth == 3)
        return;
    if (m_app.CurMonth == 12) {
        m_app.CurMonth = 1;
        m_app.CurYear += 1;
    } else {
        m_app.CurMonth += 1;
    }
    Cal_DrawMonth();
}

void CalendarWindow::dayRightClicked(int index) {
    if (index >= Headings || m_cells[size_t(index)]->caption().isEmpty())
        return;
    m_popupIndex = index;
    m_popup->popup(QCursor::pos());
}

void CalendarWindow::chooseDayColor() {
    if (m_popupIndex < 0 || m_popupIndex >= Headings)
        return;
    DayCell* cell = m_cells[size_t(m_popupIndex)];
    // The date from the cell's day and the captions of month and year.
    const QString month = m_month->text();
    const QDate d = Dates::make(m_year->text().toInt(), month.left(month.size() - 1).toInt(),
                                cell->caption().toInt());
    const int row = Dates::rowOfDate(d, m_app.BaseYear);
    if (row < 1 || row > YearStore::DayRows)
        return;
    const auto chosen = ColorDialog::choose(this, cell->textColor());
    if (!chosen)
        return;
    cell->setTextColor(*chosen);
    m_app.store.set(row, StoreCol::WeekdayFore, qint64(GridColors::fromQColor(*chosen)));
    m_app.setDocChanged(true);
}

void CalendarWindow::showHelp() {
    const QString path = Help::helpPath();
    if (!QFileInfo::exists(path)) {
        MessageBox::show(this, QStringLiteral("ﾍﾙﾌﾟの目次を表示できません。ﾍﾙﾌﾟが存在しません。"),
                         MessageBox::OkOnly, MessageBox::Information, windowTitle());
        return;
    }
    QString error;
    if (!Help::show(this, path, &error))
        MessageBox::show(this, error);
}

void CalendarWindow::Cal_ToTray() {
    Tray& tray = Tray::instance();
    if (!tray.isAvailable()) {
        // Without a notification area the window could never be got back: it only
        // goes down to the task bar.
        showMinimized();
        return;
    }
    hide();
    tray.show(windowIcon(), QStringLiteral("デイログ"));
}

void CalendarWindow::Task_Out() {
    showNormal();
    raise();
    activateWindow();
    Tray::instance().hide();
}

bool CalendarWindow::endProgram() {
    if (m_app.docChanged()) {
        const auto answer = MessageBox::show(
            this, QStringLiteral("ファイルが変更されています。保存しますか。"), MessageBox::YesNo);
        // A save that does not happen (cancelled or failed) keeps the program open.
        if (answer == MessageBox::Yes && !Store_SaveDoc(this, m_app))
            return false;
    }
    m_timer.stop();
    Help::closeAll();
    Tray::instance().hide();
    Q_EMIT programEnding();
    return true;
}

void CalendarWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (endProgram())
        hide();
}

void CalendarWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Cal_DrawMonth();
        clockTick();
    }
    QMainWindow::changeEvent(event);
}

void CalendarWindow::showEvent(QShowEvent* event) {
    Cal_DrawMonth();
    clockTick();
    if (!m_timer.isActive())
        m_timer.start();
    QMainWindow::showEvent(event);
}
