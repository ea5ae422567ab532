// The ringtone manager driven through its widgets: a phone partition in a folder, a
// computer ringtone folder, and the window between them.

#include "audio/soundplayer.h"
#include "core/phone/phoneringtonedatabase.h"
#include "core/phone/phonetestsupport.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "support/tonewav.h"
#include "ui/manager/ringtonedatasource.h"
#include "ui/manager/ringtoneplayerpane.h"
#include "ui/manager/ringtonetableviews.h"
#include "ui/manager/ringtonetransfercontroller.h"
#include "ui/manager/uploadtoiphonewindowcontroller.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

QStringList strings(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}

class ManagerWorld {
public:
    // Phone entries as (file name, "Name"); each file holds one second of sound.
    ManagerWorld(const QStringList& computerFiles, std::vector<std::pair<std::string, std::string>> phoneEntries)
        : m_entries(std::move(phoneEntries))
    {
        for (const QString& name : computerFiles)
            fixtures::writeToneWav(computerPath(name).toStdString(), 1.0);
        for (const auto& [file, name] : m_entries)
            fixtures::writeToneWav(phone.ringtonePath(q(file)).toStdString(), 1.0);
        writeDatabase();
    }

    void writeDatabase()
    {
        PhonePartitionFixture::Entries entries;
        for (const auto& [file, name] : m_entries)
            entries.emplace_back(file.c_str(), name.c_str());
        phone.writeDatabase(PhonePartitionFixture::database(entries).get(), true);
    }
    void addPhoneEntry(const std::string& file, const std::string& name)
    {
        m_entries.emplace_back(file, name);
        fixtures::writeToneWav(phone.ringtonePath(q(file)).toStdString(), 1.0);
        writeDatabase();
    }

    [[nodiscard]] QString computerPath(const QString& name) const { return m_computer.path() + u'/' + name; }

    void open()
    {
        link.HandleDeviceConnected();
        window = std::make_unique<UpLoadToiPhoneWindowController>(&link, nullptr, QStringList { m_computer.path() });
        window->showWindow();
        settle();
    }
    // Waits until the worker has run every job and its results have reached the window.
    void settle() const
    {
        for (int i = 0; i < 1000 && window->workerBusy(); ++i)
            QTest::qWait(10);
        ASSERT_FALSE(window->workerBusy());
        QCoreApplication::processEvents();
    }

    [[nodiscard]] RingtoneListView* computerTable() const { return window->iTunesTableView(); }
    [[nodiscard]] RingtoneListView* phoneTable() const { return window->iPhoneTableView(); }
    static QStringList names(RingtoneListView* table)
    {
        QStringList names;
        for (const RingtoneInfo& ringtone : table->dataSource()->ringtones())
            names.append(ringtone.ringtoneName);
        return names;
    }
    [[nodiscard]] QPushButton* button(const char* name) const
    {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static void clickRow(RingtoneListView* table, int row, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    // Sends a drag of `rows` of `from` over `to` at `row` and drops it when accepted;
    // whether the target accepted it.
    static bool dragRows(RingtoneListView* from, const QList<int>& rows, RingtoneListView* to, int row)
    {
        QModelIndexList indexes;
        for (int r : rows)
            indexes.append(from->model()->index(r, 0));
        std::unique_ptr<QMimeData> mime(from->model()->mimeData(indexes));
        const QPoint at = row < to->model()->rowCount() ? to->visualRect(to->model()->index(row, 0)).center()
                                                        : QPoint(5, to->viewport()->height() - 2);
        QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(to->viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(to->viewport(), &drop);
        return drop.isAccepted();
    }

    PhonePartitionFixture phone;
    // Observing the application's notifications, as the program's link does.
    std::unique_ptr<VyRingtoneiPhoneTransfor> linkObject { VyRingtoneiPhoneTransfor::initWithMountPoint(
        phone.mountPoint()) };
    VyRingtoneiPhoneTransfor& link = *linkObject;
    std::unique_ptr<UpLoadToiPhoneWindowController> window;

private:
    QTemporaryDir m_computer;
    std::vector<std::pair<std::string, std::string>> m_entries;
};

QStringList phoneNamesInDatabase(const PhonePartitionFixture& phone)
{
    QStringList names;
    plistDictForEach(plist_dict_get_item(phone.readDatabase().get(), "Ringtones"),
        [&](const QString&, plist_t entry) { names.append(plistDictString(entry, "Name")); });
    return names;
}

TEST(ManagerWindow, ListsBothSidesInByteOrderAndSweepsOnlyTheOrphans)
{
    ManagerWorld world({ QStringLiteral(".hidden.m4r"), QStringLiteral("a.m4r"), QStringLiteral("B.m4r") },
        { { "A.m4r", "A" }, { "MB.m4r", "Mr. Brightside" } });
    writeBytes(world.phone.ringtonePath(QStringLiteral("Orphan.m4r")), "left by a failed transfer");
    world.open();

    EXPECT_EQ(ManagerWorld::names(world.computerTable()), strings({ "B", "a" }));
    EXPECT_EQ(world.computerTable()->dataSource()->ringtones().first().ringtoneLength, QStringLiteral("1s"));
    EXPECT_EQ(ManagerWorld::names(world.phoneTable()), strings({ "A", "Mr. Brightside" }));
    EXPECT_EQ(
        entries(world.phone.root() + QStringLiteral("/iTunes_Control/Ringtones")), strings({ "A.m4r", "MB.m4r" }));
    EXPECT_TRUE(openAlerts().isEmpty());
}

TEST(ManagerWindow, MovingThreeWithOneMissingReportsItAndSelectsTheTwoNewRows)
{
    ManagerWorld world(
        { QStringLiteral("A.m4r"), QStringLiteral("B.m4r"), QStringLiteral("C.m4r") }, { { "Z.m4r", "Z" } });
    world.open();
    QFile::remove(world.computerPath(QStringLiteral("B.m4r")));
    ManagerWorld::clickRow(world.computerTable(), 0);
    world.computerTable()->selectAll();
    ASSERT_TRUE(world.button("transToiPhoneBtn")->isEnabled());
    world.button("transToiPhoneBtn")->click();
    world.settle();

    TransferSheet* sheet = world.window->transfers()->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->informativeText().startsWith(QStringLiteral("Transfer ringtone success:2, faild:1")));
    EXPECT_TRUE(sheet->informativeText().contains(QStringLiteral("restart")));
    EXPECT_EQ(sheet->button()->text(), QStringLiteral("OK"));
    EXPECT_TRUE(openAlerts().contains(QStringLiteral("Cannot find the file")));
    EXPECT_EQ(ManagerWorld::names(world.phoneTable()), strings({ "Z", "A", "C" }));
    EXPECT_EQ(world.phoneTable()->selectedRowNumbers(), QList<int>({ 1, 2 }));
    ASSERT_TRUE(world.window->currentPlayRingtone());
    EXPECT_EQ(world.window->currentPlayRingtone()->filePath, world.phone.ringtonePath(QStringLiteral("C.m4r")));
    EXPECT_EQ(phoneNamesInDatabase(world.phone), strings({ "Z", "A", "C" }));
    sheet->button()->click();
}

TEST(ManagerWindow, DropFromThePhoneInsertsAtTheDropRowUnderSaneFreeNames)
{
    ManagerWorld world({ QStringLiteral("Ring.m4r"), QStringLiteral("Ring 1.m4r"), QStringLiteral("Zed.m4r") },
        { { "Ring.m4r", "Ring" }, { "Gone.m4r", "Gone" }, { "acdc.m4r", "AC/DC" }, { "mb.m4r", "Mr. Brightside" } });
    world.open();
    ASSERT_EQ(ManagerWorld::names(world.phoneTable()), strings({ "AC/DC", "Gone", "Mr. Brightside", "Ring" }));
    QFile::remove(world.phone.ringtonePath(QStringLiteral("Gone.m4r")));

    // Within one table a drag copies nothing.
    EXPECT_FALSE(ManagerWorld::dragRows(world.computerTable(), { 0 }, world.computerTable(), 1));
    ASSERT_TRUE(ManagerWorld::dragRows(world.phoneTable(), { 3, 1, 0, 2 }, world.computerTable(), 1));
    world.settle();

    EXPECT_EQ(ManagerWorld::names(world.computerTable()),
        strings({ "Ring", "ACDC", "Mr. Brightside", "Ring 2", "Ring 1", "Zed" }));
    for (const char* file : { "ACDC.m4r", "Mr. Brightside.m4r", "Ring 2.m4r" })
        EXPECT_TRUE(QFileInfo::exists(world.computerPath(QString::fromLatin1(file)))) << file;
    EXPECT_EQ(world.computerTable()->selectedRowNumbers(), QList<int>({ 1, 2, 3 }));
    TransferSheet* sheet = world.window->transfers()->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->informativeText(), QStringLiteral("Transfer ringtone success:3, faild:1"));
    EXPECT_EQ(sheet->button()->text(), QStringLiteral("Ok"));
    // Ringtones came from the phone: only the move back to the phone stays possible.
    EXPECT_TRUE(world.button("transToiPhoneBtn")->isEnabled());
    EXPECT_FALSE(world.button("transToiTunesBtn")->isEnabled());
    EXPECT_FALSE(world.button("m_DeleteBtn")->isEnabled());
    sheet->button()->click();
}

TEST(ManagerWindow, DeleteRemovesTheFileAndItsEntry)
{
    ManagerWorld world({}, { { "A.m4r", "A" }, { "B.m4r", "B" } });
    world.open();
    EXPECT_FALSE(world.button("m_DeleteBtn")->isEnabled());
    ManagerWorld::clickRow(world.phoneTable(), 1);
    ASSERT_TRUE(world.button("m_DeleteBtn")->isEnabled());
    world.button("m_DeleteBtn")->click();
    world.settle();

    EXPECT_EQ(ManagerWorld::names(world.phoneTable()), strings({ "A" }));
    EXPECT_EQ(phoneNamesInDatabase(world.phone), strings({ "A" }));
    EXPECT_FALSE(QFileInfo::exists(world.phone.ringtonePath(QStringLiteral("B.m4r"))));
    EXPECT_FALSE(world.window->currentPlayRingtone());
}

TEST(ManagerWindow, APhoneThatLeavesBlocksTheWindowUntilItReturns)
{
    ManagerWorld world({}, { { "A.m4r", "A" } });
    world.open();
    world.link.HandleDeviceDisconnected();
    QMessageBox* alert = world.window->remountAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->text(), QStringLiteral("Connection with iPhone withdraws accidently"));
    EXPECT_FALSE(alert->buttons().constFirst()->isEnabled());
    EXPECT_EQ(world.button("ejectBtn")->text(), QStringLiteral("Remount"));

    world.addPhoneEntry("B.m4r", "B");
    world.link.HandleDeviceConnected();
    world.settle();
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(world.button("ejectBtn")->text(), QStringLiteral("Eject"));
    EXPECT_EQ(ManagerWorld::names(world.phoneTable()), strings({ "A", "B" }));

    // With the window closed the phone may come and go unannounced.
    world.window->close();
    world.link.HandleDeviceDisconnected();
    EXPECT_FALSE(alert->isVisible());
}

TEST(ManagerWindow, EjectClosesTheWindowAndTakesTheLinkDown)
{
    ManagerWorld world({}, { { "A.m4r", "A" } });
    world.open();
    world.button("ejectBtn")->click();
    ASSERT_TRUE(openAlerts().contains(QStringLiteral("Try to eject iPhone now?")));
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible())
            box->buttons().constFirst()->click();
    world.settle();

    EXPECT_FALSE(world.window->isVisible());
    EXPECT_FALSE(world.link.isMountSuccess());
    EXPECT_TRUE(openAlerts().isEmpty());
}

TEST(ManagerWindow, TheCurrentRingtonePlaysAndSeeks)
{
    ManagerWorld world({ QStringLiteral("A.m4r") }, {});
    world.open();
    ManagerWorld::clickRow(world.computerTable(), 0);
    ASSERT_TRUE(world.window->currentPlayRingtone());
    if (world.window->player()->sound() == nullptr || !world.window->player()->sound()->canPlay())
        GTEST_SKIP() << "no sound output";
    QPushButton* play = world.button("playBtn");
    ASSERT_TRUE(play->isEnabled());
    play->click();
    EXPECT_TRUE(world.window->player()->sound()->isPlaying());
    world.window->player()->setPlayTimePos(0.5);
    EXPECT_NEAR(world.window->player()->sound()->currentTime(), 0.5, 0.1);
    play->click();
    EXPECT_FALSE(world.window->player()->sound()->isPlaying());
}

} // namespace
