// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/stats/yearpicker.h"

#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/messagebox.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

YearPicker::YearPicker(AppState& app, QWidget* parent) : QWidget(parent), m_app(app) {
    m_list = new QComboBox(this);
    m_list->setObjectName(u"yearList"_s);
    m_list->setAccessibleName(u"比べる年度"_s);
    m_list->setPlaceholderText(u"なし"_s);
    m_list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* label = new QLabel(u"比べる年度(&Y):"_s, this);
    label->setBuddy(m_list);
    m_add = new QPushButton(u"年度を追加(&A)..."_s, this);
    m_add->setObjectName(u"addYear"_s);
    m_add->setAccessibleName(u"年度を追加"_s);
    m_remove = new QPushButton(u"年度を外す(&D)"_s, this);
    m_remove->setObjectName(u"removeYear"_s);
    m_remove->setAccessibleName(u"年度を外す"_s);
    for (QPushButton* b : {m_add, m_remove})
        b->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, &YearPicker::addRequested);
    connect(m_remove, &QPushButton::clicked, this, &YearPicker::removeRequested);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(m_list);
    row->addWidget(m_add);
    row->addWidget(m_remove);
    row->addStretch();
    showChosen(-1);
}

void YearPicker::clear() {
    m_chosen.clear();
    showChosen(-1);
}

QString YearPicker::twiceMessage(const QString& path, int baseYear) {
    return u"「%1」は %2 の文書です。\n%2はもう数える年度に入っています。"_s.arg(
        path, Stats_YearHeading(baseYear));
}

bool YearPicker::add() {
    const QString path = FileDialog::getOpenFileName(
        this, u"年度を追加"_s, QString::fromUtf16(DocFiles::OpenDocumentFilter),
        DocFiles::dialogFolder(m_app.docPath()));
    if (path.isEmpty())
        return false;
    int baseYear = 0;
    if (const Document* open = m_app.findDocument(path)) {
        baseYear = open->baseYear();
    } else {
        YearStore year;
        const FileResult r = DocFiles::readDocument(path, year);
        if (!r.ok()) {
            MessageBox::show(this, r.loadMessage(path), MessageBox::OkOnly, MessageBox::Critical);
            return false;
        }
        baseYear = int(qint16(year.number(0, 0)));
    }
    bool twice = baseYear == m_app.baseYear();
    for (const Chosen& c : std::as_const(m_chosen))
        twice = twice || c.baseYear == baseYear;
    if (twice) {
        MessageBox::show(this, twiceMessage(path, baseYear), MessageBox::OkOnly,
                         MessageBox::Warning);
        return false;
    }
    m_chosen.append({path, baseYear});
    showChosen(int(m_chosen.size()) - 1);
    return true;
}

bool YearPicker::removeShown() {
    const int i = m_list->currentIndex();
    if (i < 0 || i >= m_chosen.size())
        return false;
    m_chosen.removeAt(i);
    showChosen(std::min(i, int(m_chosen.size()) - 1));
    return true;
}

bool YearPicker::gather(std::vector<StatsYear>& years, std::deque<YearStore>& read) {
    years.clear();
    years.push_back({m_app.baseYear(), &m_app.store()});
    for (Chosen& c : m_chosen) {
        StatsYear year;
        if (const Document* open = m_app.findDocument(c.path)) {
            year = {open->baseYear(), &open->store()};
        } else {
            YearStore& store = read.emplace_back();
            const FileResult r = DocFiles::readDocument(c.path, store);
            if (!r.ok()) {
                MessageBox::show(this, r.loadMessage(c.path), MessageBox::OkOnly,
                                 MessageBox::Critical);
                return false;
            }
            year = {int(qint16(store.number(0, 0))), &store};
        }
        // The file may hold another year by now.
        c.baseYear = year.baseYear;
        for (const StatsYear& before : years)
            if (before.baseYear == year.baseYear) {
                showChosen(m_list->currentIndex());
                MessageBox::show(this, twiceMessage(c.path, year.baseYear), MessageBox::OkOnly,
                                 MessageBox::Warning);
                return false;
            }
        years.push_back(year);
    }
    showChosen(m_list->currentIndex());
    return true;
}

void YearPicker::showChosen(int current) {
    m_list->clear();
    for (const Chosen& c : std::as_const(m_chosen))
        m_list->addItem(
            u"%1（%2）"_s.arg(Stats_YearHeading(c.baseYear), QFileInfo(c.path).fileName()));
    m_list->setCurrentIndex(current);
    m_remove->setEnabled(!m_chosen.isEmpty());
}
