// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/splash.h"

#include "gui/app/version.h"
#include "gui/frame/artwork.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setStyleSheet(QStringLiteral(
        "#Frame1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfb, "
        "stop:1 #e6ecf4); border: 1px solid #5a6f8c; }"));
    m_frame->installEventFilter(this);

    const qreal dpr = devicePixelRatioF();
    auto* image1 = new QLabel(m_frame);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(Artwork::logo(96, dpr));
    auto* imgLogo = new QLabel(m_frame);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(Artwork::logo(32, dpr));

    auto* product = new QLabel(QStringLiteral("DayLog"), m_frame);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    product->setFont(big);
    product->setStyleSheet(QStringLiteral("color: #2c3e5c;"));

    m_version = new QLabel(versionText(), m_frame);
    m_version->setObjectName(QStringLiteral("lblVersion"));

    auto* subtitle = new QLabel(QStringLiteral("一年の記録と予定を一冊に"), m_frame);
    subtitle->setObjectName(QStringLiteral("lblCompanyProduct"));
    auto* licence = new QLabel(QStringLiteral("毎日の記録・時間割・ToDo・年間予定"), m_frame);
    licence->setObjectName(QStringLiteral("lblLicenseTo"));
    auto* copyright = new QLabel(QStringLiteral("© DayLog の開発者"), m_frame);
    copyright->setObjectName(QStringLiteral("lblCopyright"));
    copyright->setStyleSheet(QStringLiteral("color: #5a6f8c;"));

    auto* text = new QVBoxLayout;
    text->addWidget(subtitle);
    text->addWidget(product);
    text->addWidget(m_version);
    text->addSpacing(12);
    text->addWidget(licence);
    text->addWidget(copyright);
    auto* logos = new QVBoxLayout;
    logos->addWidget(image1);
    logos->addStretch();
    logos->addWidget(imgLogo, 0, Qt::AlignLeft);
    auto* row = new QHBoxLayout(m_frame);
    row->setContentsMargins(24, 20, 28, 20);
    row->setSpacing(24);
    row->addLayout(logos);
    row->addLayout(text, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_frame);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_frame && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
