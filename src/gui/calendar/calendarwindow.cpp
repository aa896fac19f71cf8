// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/calendar/calendarwindow.h"

#include "core/calendar/clockface.h"
#include "core/calendar/reminders.h"
#include "core/store/appstate.h"
#include "core/time/clock.h"
#include "core/time/dates.h"
#include "gui/frame/artwork.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/ending.h"
#include "gui/frame/exportcommand.h"
#include "gui/frame/importcommand.h"
#include "gui/frame/synccommand.h"
#include "gui/frame/viewcommands.h"
#include "gui/grid/gridcolors.h"
#include "gui/platform/help.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/notifier.h"
#include "gui/platform/tray.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRadialGradient>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QColor paletteColor(int index) {
    return GridColors::toQColor(GridColors::paletteColor(index), Qt::black);
}

} // namespace

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
    if (!m_time.isValid() || t.minute() != m_time.minute() || t.hour() != m_time.hour() ||
        colors != m_colors)
        setAccessibleName(ClockFace::spoken(t, hourColor));
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

CalendarWindow::CalendarWindow(AppState& app, Navigator& nav, QWidget* parent)
    : ViewWindow(app, nav, u"カレンダー"_s, u"デイログ"_s, parent) {
    setWindowIcon(Artwork::programIcon());
    buildCommands(commandTable());
    buildPage();

    connect(&Tray::instance(), &Tray::leftClicked, this, &CalendarWindow::Task_Out);
    connect(&Tray::instance(), &Tray::rightClicked, this, [this] {
        MessageBox::show(this, u"左ボタンをクリックしてください。"_s, MessageBox::OkOnly,
                         MessageBox::Information);
    });

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 4);
    }
    // The month shows the current document as it is: another document coming to the
    // front, or an edit made elsewhere, paints it again (once, after the edit).
    m_redraw.setSingleShot(true);
    m_redraw.setInterval(0);
    connect(&m_redraw, &QTimer::timeout, this, [this] {
        if (isVisible())
            Cal_DrawMonth();
    });
    connect(&app, &AppState::currentChanged, &m_redraw, qOverload<>(&QTimer::start));
    connect(&app, &AppState::documentCellsChanged, this, [this](Document* doc) {
        if (doc == &this->app().doc())
            m_redraw.start();
    });
    Cal_DrawMonth();
    clockTick();
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &CalendarWindow::clockTick);
    m_timer.start();
    // Documents that sync after each save or every few minutes, while the program runs.
    new SyncCommand::AutoSync(app, this);
}

CalendarWindow::~CalendarWindow() {
    Help::closeAll();
}

std::vector<Command> CalendarWindow::commandTable() {
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        Cmd::item(
            u"mnuSave"_s, u"上書き保存(&S)"_s, [this] { Store_SaveDoc(this, app()); },
            QKeySequence::Save),
        Cmd::item(u"mnuAsSave"_s, u"名前を付けて保存(&A)"_s, [this] { Store_SaveAs(this, app()); }),
        Cmd::item(u"mnuExport"_s, u"エクスポート(&E)..."_s,
                  [this] { ExportCommand::exportYear(this, app().doc()); }),
        Cmd::item(u"mnuImportIcs"_s, u"インポート(iCalendar)(&I)..."_s,
                  [this] { ImportCommand::importICalendar(this, app().doc()); }),
        Cmd::separator(u"mnuspaceSync"_s),
        Cmd::item(
            u"mnuSync"_s, u"同期(&Y)"_s, [this] { SyncCommand::sync(this, app(), app().doc()); },
            QKeySequence(Qt::Key_F9)),
        Cmd::item(u"mnuSyncSettings"_s, u"同期の設定(&L)..."_s,
                  [this] { SyncCommand::settings(this, app(), app().doc()); }),
        Cmd::separator(u"mnuspace"_s),
        Cmd::item(u"mnuTask"_s, u"タスクに入れる(&T)"_s, [this] { Cal_ToTray(); }),
        Cmd::check(u"mnuRemind"_s, u"リマインダー(&R)"_s, remindersOn(),
                   [this] { setRemindersOn(action(u"mnuRemind"_s)->isChecked()); }),
        Cmd::item(u"mnuEnd"_s, u"終了(&X)"_s,
                  [this] {
                      if (endProgram())
                          hide();
                  }),
        Cmd::menu(u"mnuOpen"_s, u"表示(&V)"_s),
        Cmd::opens(u"mnuNikki"_s, u"日記(&N)"_s, View::Diary),
        Cmd::opens(u"mnuShuu"_s, u"週日程(&W)"_s, View::Weekly),
        Cmd::opens(u"mnuTuki"_s, u"月日程(&M)"_s, View::Monthly),
        Cmd::opens(u"mnuNen"_s, u"年間日程(&Y)"_s, View::Main),
        Cmd::separator(u"mnuspace2"_s),
        Cmd::opens(u"mnuKiroku"_s, u"記録統計(&K)"_s, View::RecordStats),
        Cmd::opens(u"mnuKoumoku"_s, u"項目統計(&S)"_s, View::ItemStats),
        Cmd::opens(u"mnuToDo"_s, u"ToDo一覧(&T)"_s, View::ToDoList),
        Cmd::opens(u"mnuKensaku"_s, u"検索(&F)"_s, View::Search),
        Cmd::barItem(
            u"mnuHelp"_s, u"ヘルプ(&H)"_s, [this] { ViewCommands::help(this); },
            QKeySequence::HelpContents),
        Cmd::popup(u"mnuPop"_s, u"ポップメニュー"_s),
        Cmd::item(u"mnuDay"_s, u"日付の色"_s, [this] { chooseDayColor(); }),
    };
}

void CalendarWindow::buildPage() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    m_grid = new MonthGrid({u"日"_s, u"月"_s, u"火"_s, u"水"_s, u"木"_s, u"金"_s, u"土"_s},
                           MonthGrid::Size::Large, central);
    connect(m_grid, &MonthGrid::previousMonth, this, &CalendarWindow::previousMonth);
    connect(m_grid, &MonthGrid::nextMonth, this, &CalendarWindow::nextMonth);
    connect(m_grid, &MonthGrid::dayClicked, this, &CalendarWindow::openDay);
    connect(m_grid, &MonthGrid::dayRightClicked, this,
            [this](int index, int row) { dayRightClicked(index, row, QCursor::pos()); });
    connect(m_grid, &MonthGrid::dayMenuRequested, this, &CalendarWindow::dayRightClicked);
    connect(m_grid, &MonthGrid::dayFocusRequested, this, &CalendarWindow::focusDay);
    m_grid->setDaysFocusable(true);
    connect(m_grid, &MonthGrid::headingClicked, this, [this] { openOnFirst(View::Weekly); });
    connect(m_grid, &MonthGrid::monthClicked, this, [this] { openOnFirst(View::Monthly); });
    connect(m_grid, &MonthGrid::yearClicked, this, [this] { openOnFirst(View::Main); });

    m_clock = new ClockWidget(central);
    connect(m_clock, &ClockWidget::clicked, this, &CalendarWindow::Cal_ToTray);

    auto* right = new QVBoxLayout;
    right->addSpacing(30);
    right->addWidget(m_clock, 0, Qt::AlignHCenter);
    right->addStretch();
    auto* all = new QHBoxLayout(central);
    all->setContentsMargins(14, 10, 14, 14);
    all->setSpacing(16);
    all->addWidget(m_grid, 1);
    all->addLayout(right);
}

void CalendarWindow::loadFromStore() {
    Cal_DrawMonth();
    clockTick();
}

void CalendarWindow::Cal_DrawMonth() {
    m_grid->apply(MonthPaint::paint(MonthPaint::Variant::Calendar, app()));
    // A focused cell that shows no day any more hands the keyboard to one that does.
    if (const auto* focused = qobject_cast<const DayCell*>(focusWidget());
        focused && !focused->hasDay())
        if (QWidget* day = writingWidget())
            day->setFocus(Qt::OtherFocusReason);
}

void CalendarWindow::clockTick() {
    const QDateTime now = Clock::currentDateTime();
    const ClockFace::HandColors c = ClockFace::handColors(now, app().store(), app().baseYear());
    m_clock->setTime(now.time(), c.hour, c.minute, c.second);
    remind(now);
}

namespace {
const QString RemindersKey = u"reminders"_s;
// Said once in the status bar, above the first reminder that has nowhere else to go.
const QString NoChannelNote =
    u"通知領域も通知サービスもないため、リマインダーはこの欄に表示します。"_s;
const QString RefusedNote = u"通知サービスに届かなかったため、リマインダーはこの欄に表示します。"_s;
} // namespace

bool CalendarWindow::remindersOn() {
    return QSettings().value(RemindersKey, true).toBool();
}

void CalendarWindow::setRemindersOn(bool on) {
    QSettings().setValue(RemindersKey, on);
}

void CalendarWindow::remind(const QDateTime& now) {
    // Looked at once a second, not on every tick of the hands.
    const qint64 second = now.toSecsSinceEpoch();
    if (second == m_remindedSecond)
        return;
    m_remindedSecond = second;
    if (!action(u"mnuRemind"_s)->isChecked())
        return;
    const auto message = m_reminders.check(now, app().store(), app().baseYear());
    if (!message)
        return;
    // Every message reaches the user one way: the notification area, the desktop's
    // notification service (GNOME has no notification area), or this window.
    Tray& tray = Tray::instance();
    if (tray.isAvailable()) {
        tray.showMessage(windowIcon(), message->title, message->text);
    } else if (Notifier::isAvailable()) {
        const QPointer<CalendarWindow> window(this);
        Notifier::notify(
            message->title, message->text,
            [window, m = *message] {
                if (window)
                    window->remindHere(m, NoChannel::Refused);
            },
            [window] {
                if (window)
                    window->Task_Out();
            });
    } else {
        remindHere(*message, NoChannel::Neither);
    }
}

void CalendarWindow::remindHere(const Reminders::Message& message, NoChannel why) {
    const QString note = why == NoChannel::Neither ? NoChannelNote : RefusedNote;
    const QString line = message.title + u"："_s + message.text;
    if (m_reminderLine) {
        // The last two, the newest below: the bar keeps its height.
        m_reminderLine->setText(m_reminderLine->text().section(u'\n', -1) + u'\n' + line);
    } else {
        // The status bar is there only from the first reminder that needs it on; the
        // line above the first says why.
        QStatusBar* bar = statusBar();
        bar->setObjectName(u"sbStatusBar"_s);
        bar->setSizeGripEnabled(false);
        m_reminderLine = new QLabel(note + u'\n' + line, bar);
        m_reminderLine->setObjectName(u"lblReminder"_s);
        m_reminderLine->setTextFormat(Qt::PlainText);
        m_reminderLine->setContentsMargins(12, 2, 12, 4); // in line with the month
        bar->addWidget(m_reminderLine, 1);
        // The window grows by the bar: the month keeps its size.
        if (!isVisible()) {
            adjustSize();
        } else if (!isMaximized() && !isFullScreen()) {
            const int monthHeight = centralWidget()->height();
            QTimer::singleShot(0, this, [this, monthHeight] {
                layout()->activate();
                resize(width(), height() + monthHeight - centralWidget()->height());
            });
        }
    }
    m_reminderLine->setToolTip(note);
    // A window put away to the task bar asks to be looked at.
    QApplication::alert(this);
    QApplication::beep();
}

void CalendarWindow::previousMonth() {
    if (Store_StepMonth(app().CurYear, app().CurMonth, -1))
        Cal_DrawMonth();
}

void CalendarWindow::nextMonth() {
    if (Store_StepMonth(app().CurYear, app().CurMonth, 1))
        Cal_DrawMonth();
}

void CalendarWindow::openDay(int row) {
    if (!navigator().has(View::Diary))
        return;
    app().setCurrentDate(Dates::dateOfRow(row, app().baseYear()));
    navigator().open(View::Diary);
}

void CalendarWindow::openOnFirst(View view) {
    // The heading, month and year captions open their view at the month's first day.
    if (!navigator().has(view))
        return;
    app().CurDay = 1;
    navigator().open(view);
}

void CalendarWindow::dayRightClicked(int index, int row, const QPoint& globalPos) {
    m_popupIndex = index;
    m_popupRow = row;
    popupMenu()->popup(globalPos);
}

void CalendarWindow::focusDay(int row, int months) {
    const int base = app().baseYear();
    QDate date = Dates::dateOfRow(row, base);
    if (months != 0)
        date = date.addMonths(months); // the 31st becomes the month's last day
    // Only the year's own days: 1 April to 31 March.
    const QDate first = Dates::make(base, 4, 1);
    if (!date.isValid() || date < first || date >= first.addYears(1))
        return;
    const int target = Dates::rowOfDate(date, base);
    if (m_grid->focusRow(target))
        return;
    app().CurYear = date.year();
    app().CurMonth = date.month();
    Cal_DrawMonth();
    m_grid->focusRow(target);
}

QWidget* CalendarWindow::writingWidget() const {
    // The current day where the month shows it, else the month's first day.
    const int base = app().baseYear();
    const QDate first = Dates::make(app().CurYear, app().CurMonth, 1);
    const QDate current =
        Dates::make(app().CurYear, app().CurMonth, std::min(app().CurDay, first.daysInMonth()));
    for (const QDate& d : {current, first}) {
        const int row = Dates::rowOfDate(d, base);
        for (int k = 0; k < MonthGrid::DayCells; ++k)
            if (m_grid->cell(k)->hasDay() && m_grid->cell(k)->row() == row)
                return m_grid->cell(k);
    }
    return nullptr;
}

void CalendarWindow::chooseDayColor() {
    if (m_popupIndex >= 0)
        ViewCommands::chooseDayColor(this, m_grid->cell(m_popupIndex), m_popupRow, app());
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
    tray.show(windowIcon(), u"デイログ"_s);
}

void CalendarWindow::Task_Out() {
    showNormal();
    raise();
    activateWindow();
    Tray::instance().hide();
}

bool CalendarWindow::endProgram() {
    // Every document with unsaved changes is asked about by name; a save that does not
    // happen and キャンセル keep the program open.
    if (!Program_End(this, app(), navigator()))
        return false;
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
    // Every activation shows the month afresh: other windows may have changed it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Cal_DrawMonth();
        clockTick();
    }
    ViewWindow::changeEvent(event);
}

void CalendarWindow::showEvent(QShowEvent* event) {
    Cal_DrawMonth();
    clockTick();
    if (!m_timer.isActive())
        m_timer.start();
    ViewWindow::showEvent(event);
    // The keyboard starts on a day, not on a month button.
    const QWidget* focus = focusWidget();
    if (!focus || !qobject_cast<const DayCell*>(focus) || !focus->isEnabled())
        if (QWidget* day = writingWidget())
            day->setFocus(Qt::OtherFocusReason);
}
