#include "ui/manager/ringtonedatasource.h"

#include "core/library/checkitunesringtonefoldertool.h"
#include "core/library/librarybridge.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "core/ringtones/ringtonelisting.h"
#include "core/text/commonfunctions.h"
#include "ui/alerts/sheetalert.h"
#include "ui/manager/ringtonemanagerdelegate.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>

#include <memory>
#include <set>

const QStringList RingtoneDataSource::kColumns { QStringLiteral("Name"), QStringLiteral("Length") };

RingtoneDataSource::RingtoneDataSource(
    VyRingtoneiPhoneTransfor* link, RingtoneManagerDelegate* delegate, QObject* parent)
    : QAbstractTableModel(parent)
    , m_link(link)
    , m_delegate(delegate)
{
}

std::optional<RingtoneInfo> RingtoneDataSource::record(int row) const
{
    if (row < 0 || row >= m_ringtones.size())
        return std::nullopt;
    return m_ringtones.at(row);
}

void RingtoneDataSource::setRingtones(QList<RingtoneInfo> ringtones)
{
    beginResetModel();
    m_ringtones = std::move(ringtones);
    endResetModel();
}

void RingtoneDataSource::insertRecord(int row, const RingtoneInfo& ringtone)
{
    row = std::clamp(row, 0, static_cast<int>(m_ringtones.size()));
    beginInsertRows({}, row, row);
    m_ringtones.insert(row, ringtone);
    endInsertRows();
}

void RingtoneDataSource::sortByKey(const QString& key)
{
    beginResetModel();
    sortRingtones(m_ringtones, key);
    endResetModel();
}

void RingtoneDataSource::tableViewShouldSelectRow(int row)
{
    const std::optional<RingtoneInfo> ringtone = record(row);
    if (!ringtone || m_delegate == nullptr)
        return;
    m_delegate->setCanDeleteRingtone(isPhoneSide());
    m_delegate->setCurrentPlayRingtone(ringtone);
}

void RingtoneDataSource::showCriticalSheet(const QString& message, const QString& informative) const
{
    SheetAlert::show(
        m_delegate != nullptr ? m_delegate->sheetWindow() : nullptr, QMessageBox::Critical, message, informative);
}

void RingtoneDataSource::showMissingFileAlert() const
{
    showCriticalSheet(QStringLiteral("Cannot find the file"),
        QStringLiteral("File does not exist, please update your ringtone list first."));
}

int RingtoneDataSource::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_ringtones.size());
}

int RingtoneDataSource::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
}

QVariant RingtoneDataSource::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_ringtones.size() || index.column() >= kColumns.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_ringtones.at(index.row()).getInfoByName(kColumns.at(index.column()));
    return {};
}

QVariant RingtoneDataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns.size())
        return kColumns.at(section);
    return {};
}

Qt::ItemFlags RingtoneDataSource::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Never editable.
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList RingtoneDataSource::mimeTypes() const
{
    return { QString::fromLatin1(RingtoneInfoArchive::kMimeType) };
}

QMimeData* RingtoneDataSource::mimeData(const QModelIndexList& indexes) const
{
    std::set<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && index.row() < m_ringtones.size())
            rows.insert(index.row());
    if (rows.empty())
        return nullptr;
    QList<RingtoneInfo> dragged;
    for (int row : rows)
        dragged.append(m_ringtones.at(row));
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(RingtoneInfoArchive::kMimeType), RingtoneInfoArchive::archive(dragged));
    mime->setData(QString::fromLatin1(kSideMimeType), sideName());
    return mime;
}

QByteArray RingtoneDataSource::sideName() const
{
    return isPhoneSide() ? QByteArrayLiteral("phone") : QByteArrayLiteral("computer");
}

bool RingtoneDataSource::isFromOtherSide(const QMimeData* mime) const
{
    return mime != nullptr && mime->hasFormat(QString::fromLatin1(RingtoneInfoArchive::kMimeType))
        && mime->hasFormat(QString::fromLatin1(kSideMimeType))
        && mime->data(QString::fromLatin1(kSideMimeType)) != sideName();
}

Qt::DropActions RingtoneDataSource::supportedDropActions() const
{
    return Qt::CopyAction;
}

Qt::DropActions RingtoneDataSource::supportedDragActions() const
{
    return Qt::CopyAction;
}

// The phone side.

RingtoneDataSource::Lister PhoneRingtoneDataSource::lister() const
{
    VyRingtoneiPhoneTransfor* link = ringtoneTransfor();
    return [link]() -> Listing {
        if (link == nullptr)
            return std::nullopt;
        return RingtoneListing::listPhone(*link);
    };
}

void PhoneRingtoneDataSource::applyListing(const Listing& listing)
{
    if (!listing) {
        setRingtones({});
        showCriticalSheet(QStringLiteral("Fail to insert iPhone Ringtone List"),
            QStringLiteral("Zirevove Vorurav fail to find the iPhone Ringtone List, please try to relaunch the Manager "
                           "again."));
        return;
    }
    setRingtones(*listing);
}

RingtoneDataSource::Copier PhoneRingtoneDataSource::copier() const
{
    VyRingtoneiPhoneTransfor* link = ringtoneTransfor();
    return [link](const RingtoneInfo& ringtone) {
        if (link == nullptr)
            return RingtoneCopy::Result { std::nullopt, false, QStringLiteral("no phone link") };
        return RingtoneCopy::toPhone(*link, ringtone);
    };
}

// The computer side.

namespace {

QStringList libraryRingtoneFolders()
{
    // The folder copies are added to comes first; the library makes it when it is missing,
    // so a fresh system lists an empty folder rather than none.
    QStringList folders;
    const QString main = LibraryBridge::ringtoneFolder(true);
    if (!main.isEmpty())
        folders.append(QDir::cleanPath(main));
    for (const QString& folder : CheckiTunesRingtoneFolderTool().defaultMediaFolder())
        if (!folders.contains(QDir::cleanPath(folder)))
            folders.append(QDir::cleanPath(folder));
    return folders;
}

} // namespace

iTunesRintoneDataSource::iTunesRintoneDataSource(
    VyRingtoneiPhoneTransfor* link, RingtoneManagerDelegate* delegate, QObject* parent)
    : iTunesRintoneDataSource(link, delegate, libraryRingtoneFolders(), parent)
{
}

iTunesRintoneDataSource::iTunesRintoneDataSource(
    VyRingtoneiPhoneTransfor* link, RingtoneManagerDelegate* delegate, QStringList folders, QObject* parent)
    : RingtoneDataSource(link, delegate, parent)
    , m_folders(std::move(folders))
{
}

RingtoneDataSource::Lister iTunesRintoneDataSource::lister() const
{
    return [folders = m_folders]() -> Listing {
        // No list at all only when not one folder can be read; an empty folder is an empty list.
        bool anyReadable = false;
        for (const QString& folder : folders)
            anyReadable = anyReadable || QDir(folder).isReadable();
        if (!anyReadable)
            return std::nullopt;
        return RingtoneListing::listFolders(folders);
    };
}

void iTunesRintoneDataSource::applyListing(const Listing& listing)
{
    if (m_folders.isEmpty()) {
        showCriticalSheet(QStringLiteral("The Application can't find iTunes Ringtone Folder!"),
            QStringLiteral("Please visit our support site!"));
        return;
    }
    if (!listing) {
        setRingtones({});
        showCriticalSheet(QStringLiteral("Fail to insert iTunes Ringtone List"),
            QStringLiteral("Zirevove Vorurav fail to find the iTunes Ringtone List, please try to relaunch the Manager "
                           "again."));
        return;
    }
    setRingtones(*listing);
}

QStringList iTunesRintoneDataSource::names() const
{
    QStringList names;
    for (const RingtoneInfo& ringtone : ringtones())
        names.append(ringtone.ringtoneName);
    return names;
}

RingtoneDataSource::Copier iTunesRintoneDataSource::copier() const
{
    // Shared by the copies of one batch, which run one after another on one worker.
    auto taken = std::make_shared<QStringList>(names());
    return [link = ringtoneTransfor(), folder = m_folders.value(0), taken](const RingtoneInfo& ringtone) {
        if (link == nullptr)
            return RingtoneCopy::Result { std::nullopt, false, QStringLiteral("no phone link") };
        RingtoneCopy::Result result = RingtoneCopy::toComputer(*link, ringtone, folder, *taken);
        if (result.copy)
            taken->append(result.copy->ringtoneName);
        return result;
    };
}

int iTunesRintoneDataSource::checkFileExistIniTunes(const QString& name) const
{
    return CommonFunctions::freeNameNumber(names(), name);
}
