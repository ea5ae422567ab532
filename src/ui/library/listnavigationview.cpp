#include "ui/library/listnavigationview.h"

#include "core/notification/notificationcenter.h"
#include "ui/artwork/artwork.h"
#include "ui/mainwindow/mainwindownotes.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

ListNavigationView::ListNavigationView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("m_NavigationView"));
    resize(kSize);
    m_BackImage = artwork(QStringLiteral(":/LibraryBackImage.png"), devicePixelRatioF());

    m_LibraryBtn = new QPushButton(this);
    m_LibraryBtn->setObjectName(QStringLiteral("m_LibraryBtn"));
    m_LibraryBtn->setGeometry(10, 6, 60, 20);
    m_LibraryBtn->setFlat(true);
    m_LibraryBtn->setFocusPolicy(Qt::NoFocus);
    m_LibraryBtn->setIcon(QIcon(artwork(QStringLiteral(":/LibraryBtnPic.png"), devicePixelRatioF())));
    m_LibraryBtn->setIconSize(QSize(60, 20));
    m_LibraryBtn->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; background: transparent; }"));
    m_LibraryBtn->setToolTip(QStringLiteral("Back to the library"));
    connect(m_LibraryBtn, &QPushButton::clicked, this, &ListNavigationView::clickBackToLibrary);

    m_CurrentPlaceTF = new QLineEdit(this);
    m_CurrentPlaceTF->setObjectName(QStringLiteral("m_CurrentPlaceTF"));
    m_CurrentPlaceTF->setGeometry(90, 4, 80, 20);
    m_CurrentPlaceTF->setReadOnly(true);
    m_CurrentPlaceTF->setFrame(false);
    m_CurrentPlaceTF->setFocusPolicy(Qt::NoFocus);
    m_CurrentPlaceTF->setTextMargins(0, 0, 0, 0);
    m_CurrentPlaceTF->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0; color: #2b3440; }"));
    m_CurrentPlaceTF->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString ListNavigationView::shortened(const QString& title, int drawnWidth, int fieldWidth)
{
    if (drawnWidth <= fieldWidth || drawnWidth <= 0)
        return title;
    const qsizetype keep = qMax<qsizetype>(0, title.size() * fieldWidth / drawnWidth - 4);
    return title.left(keep).trimmed() + QStringLiteral(" ...");
}

void ListNavigationView::setLocation(const QString& title)
{
    const int drawn = m_CurrentPlaceTF->fontMetrics().horizontalAdvance(title);
    m_CurrentPlaceTF->setText(shortened(title, drawn, m_CurrentPlaceTF->width()));
    m_CurrentPlaceTF->setCursorPosition(0);
    m_CurrentPlaceTF->setToolTip(title);
}

void ListNavigationView::clickBackToLibrary()
{
    NotificationCenter::defaultCenter().post(MainWindowNote::RefreshListMenu);
    setLocation(QString());
}

void ListNavigationView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_BackImage.isNull())
        painter.drawPixmap(rect(), m_BackImage);
}
