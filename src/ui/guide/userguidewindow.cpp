#include "ui/guide/userguidewindow.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

QSize pictureSize(const QVariant& picture)
{
    if (picture.userType() == QMetaType::QPixmap)
        return picture.value<QPixmap>().deviceIndependentSize().toSize();
    if (picture.userType() == QMetaType::QImage)
        return picture.value<QImage>().deviceIndependentSize().toSize();
    return {};
}

} // namespace

QString UserGuideWindow::expectedPath(const QString& executableFolder)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/doc/corvane-sonabel/user-guide.md"));
}

QString UserGuideWindow::locate(const QString& executableFolder)
{
    const QString path = expectedPath(executableFolder);
    return QFileInfo(path).isFile() ? path : QString();
}

UserGuideWindow::UserGuideWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser)
{
    setObjectName(QStringLiteral("userGuide"));
    setWindowTitle(QStringLiteral("User Guide"));
    m_browser->setObjectName(QStringLiteral("userGuideText"));
    m_browser->setAccessibleName(QStringLiteral("User Guide"));
    m_browser->setOpenExternalLinks(true); // web links go to the browser, the guide's own stay here
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 680);
}

void UserGuideWindow::showGuide(const QString& path)
{
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    fitPictures();
}

void UserGuideWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitPictures();
}

void UserGuideWindow::fitPictures()
{
    QTextDocument* document = m_browser->document();
    const int scrollBar = m_browser->verticalScrollBar()->sizeHint().width();
    const qreal room = m_browser->viewport()->width() - 2.0 * document->documentMargin() - scrollBar;
    if (room <= 0.0)
        return;
    struct Change {
        int from;
        int length;
        QTextImageFormat format;
    };
    std::vector<Change> changes; // applied after the walk, which they would disturb
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            if (!image.isValid())
                continue;
            const QSize natural = pictureSize(document->resource(QTextDocument::ImageResource, QUrl(image.name())));
            if (natural.isEmpty())
                continue;
            const qreal width = std::min<qreal>(natural.width(), room);
            if (qFuzzyCompare(image.width(), width))
                continue;
            image.setWidth(width);
            image.setHeight(natural.height() * width / natural.width());
            changes.push_back({ fragment.position(), fragment.length(), image });
        }
    }
    for (const Change& change : changes) {
        QTextCursor cursor(document);
        cursor.setPosition(change.from);
        cursor.setPosition(change.from + change.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(change.format);
    }
}
