#include "ui/preferences/libraryfilesbox.h"

#include "core/medialibrary/itunesrecentdatabases.h"
#include "core/notification/notificationcenter.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/panels/mediapanels.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

LibraryFilesBox::LibraryFilesBox(QWidget* parent)
    : QGroupBox(tr("Library files"), parent)
{
    setObjectName(QStringLiteral("libraryFilesBox"));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("libraryFilesList"));
    m_list->setMaximumHeight(80);
    // Long paths keep their start and their file name.
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setToolTip(tr("The music library files whose songs and playlists the library list shows"));
    m_list->setAccessibleName(tr("Library files"));
    m_add = new QPushButton(tr("Add…"));
    m_add->setObjectName(QStringLiteral("addLibraryFileBtn"));
    m_add->setAccessibleName(tr("Add a library file"));
    m_add->setToolTip(tr("Choose a music library file to add to the list"));
    m_remove = new QPushButton(tr("Remove"));
    m_remove->setObjectName(QStringLiteral("removeLibraryFileBtn"));
    m_remove->setAccessibleName(tr("Remove the library file"));
    m_remove->setToolTip(tr("Remove the chosen library file from the list"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(m_add, &QPushButton::clicked, this, &LibraryFilesBox::chooseFile);
    connect(m_remove, &QPushButton::clicked, this, &LibraryFilesBox::removeSelected);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_remove->setEnabled(row >= 0); });
    reload();
}

void LibraryFilesBox::reload()
{
    m_list->clear();
    for (const QString& url : iTunesRecentDatabases::urls()) {
        const QString path = iTunesRecentDatabases::localPath(url);
        auto* item = new QListWidgetItem(path.isEmpty() ? url : QDir::toNativeSeparators(path), m_list);
        item->setData(Qt::UserRole, url);
        item->setToolTip(url);
    }
    m_remove->setEnabled(m_list->currentRow() >= 0);
}

void LibraryFilesBox::addFile(const QString& path)
{
    const QString url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
    for (int i = 0; i < m_list->count(); ++i) {
        if (iTunesRecentDatabases::localPath(m_list->item(i)->data(Qt::UserRole).toString())
            == QFileInfo(path).absoluteFilePath())
            return;
    }
    auto* item = new QListWidgetItem(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), m_list);
    item->setData(Qt::UserRole, url);
    item->setToolTip(url);
    store();
}

void LibraryFilesBox::removeSelected()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    store();
}

void LibraryFilesBox::chooseFile()
{
    auto* dialog = new QFileDialog(window(), tr("Add a library file"));
    dialog->setObjectName(QStringLiteral("libraryFileDialog"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    MediaPanels::prepare(
        dialog, MediaPanels::Kind::LibraryFile, { tr("Library files (*.xml)"), MediaPanels::allFilesFilter() });
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        MediaPanels::remember(MediaPanels::Kind::LibraryFile, file);
        addFile(file);
    });
    dialog->open();
}

void LibraryFilesBox::store()
{
    QStringList urls;
    for (int i = 0; i < m_list->count(); ++i)
        urls << m_list->item(i)->data(Qt::UserRole).toString();
    iTunesRecentDatabases::setUrls(urls);
    m_remove->setEnabled(m_list->currentRow() >= 0);
    NotificationCenter::defaultCenter().post(MainWindowNote::RefreshListMenu);
}
