#pragma once
// The rows of the manager's two tables: the ringtones on the phone and those in the
// computer's ringtone folder, with their columns "Name" and "Length", the sort a header
// click asks for, the drag data, and the copy of a ringtone from the other side.
//
// Main thread, except the functions returned by lister() and copier(), which hold only
// values and the phone link and run on the manager's worker.

#include "core/ringtones/ringtonecopy.h"
#include "core/ringtones/ringtoneinfo.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <optional>

class RingtoneManagerDelegate;
class VyRingtoneiPhoneTransfor;

class RingtoneDataSource : public QAbstractTableModel {
    Q_OBJECT

public:
    // A list as read on the worker; no list means the side could not be read at all.
    using Listing = std::optional<QList<RingtoneInfo>>;
    using Lister = std::function<Listing()>;
    using Copier = std::function<RingtoneCopy::Result(const RingtoneInfo&)>;

    RingtoneDataSource(VyRingtoneiPhoneTransfor* link, RingtoneManagerDelegate* delegate, QObject* parent = nullptr);

    [[nodiscard]] VyRingtoneiPhoneTransfor* ringtoneTransfor() const { return m_link; }
    [[nodiscard]] const QList<RingtoneInfo>& ringtones() const { return m_ringtones; }
    [[nodiscard]] std::optional<RingtoneInfo> record(int row) const;

    // Reads this side (blocking): run the returned function on a worker, then hand its
    // answer to applyListing() on the main thread, which shows the side's alerts.
    [[nodiscard]] virtual Lister lister() const = 0;
    virtual void applyListing(const Listing& listing) = 0;
    // initRingtone: both steps at once, for callers that may block.
    void initRingtone() { applyListing(lister()()); }

    // A copy of a ringtone from the other side to this one (blocking, worker thread). The
    // function keeps the names it has added, so a batch numbers past its own copies.
    [[nodiscard]] virtual Copier copier() const = 0;
    // Whether this table lists the phone.
    [[nodiscard]] virtual bool isPhoneSide() const = 0;

    void insertRecord(int row, const RingtoneInfo& ringtone);
    // Sorts by a column's identifier ("Name", "Length"), always ascending.
    void sortByKey(const QString& key);

    // The user selects `row`: tells the delegate whether Delete applies, then makes the
    // row's ringtone current.
    void tableViewShouldSelectRow(int row);

    // The "Cannot find the file" sheet.
    void showMissingFileAlert() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    static const QStringList kColumns; // "Name", "Length"
    // Which table a drag came from, beside the records.
    static constexpr auto kSideMimeType = "application/x-corvane-sonabel-ringtone-side";
    // Whether dragged data holds records from the other table (a drag within one table
    // copies nothing).
    [[nodiscard]] bool isFromOtherSide(const QMimeData* mime) const;

protected:
    [[nodiscard]] QByteArray sideName() const;
    void setRingtones(QList<RingtoneInfo> ringtones);
    void showCriticalSheet(const QString& message, const QString& informative) const;
    [[nodiscard]] RingtoneManagerDelegate* delegate() const { return m_delegate; }

private:
    VyRingtoneiPhoneTransfor* m_link;
    RingtoneManagerDelegate* m_delegate;
    QList<RingtoneInfo> m_ringtones;
};

// The phone's ringtones.
class PhoneRingtoneDataSource : public RingtoneDataSource {
    Q_OBJECT

public:
    using RingtoneDataSource::RingtoneDataSource;
    [[nodiscard]] Lister lister() const override;
    void applyListing(const Listing& listing) override;
    [[nodiscard]] Copier copier() const override;
    [[nodiscard]] bool isPhoneSide() const override { return true; }
};

// The ringtones in the computer's ringtone folders; copies land in the first folder.
class iTunesRintoneDataSource : public RingtoneDataSource {
    Q_OBJECT

public:
    // The folders are fixed here: the library's ringtone folder (made when missing) and
    // any other existing one.
    iTunesRintoneDataSource(
        VyRingtoneiPhoneTransfor* link, RingtoneManagerDelegate* delegate, QObject* parent = nullptr);
    // For tests: the folders given.
    iTunesRintoneDataSource(VyRingtoneiPhoneTransfor* link, RingtoneManagerDelegate* delegate, QStringList folders,
        QObject* parent = nullptr);

    [[nodiscard]] const QStringList& iTunesRintoneFolerPaths() const { return m_folders; }
    [[nodiscard]] Lister lister() const override;
    void applyListing(const Listing& listing) override;
    [[nodiscard]] Copier copier() const override;
    [[nodiscard]] bool isPhoneSide() const override { return false; }

    // The number to append to `name` to make it free in this list (0: free as it is).
    [[nodiscard]] int checkFileExistIniTunes(const QString& name) const;

private:
    // The names the list shows, which a copy's name must not take.
    [[nodiscard]] QStringList names() const;

    QStringList m_folders;
};
