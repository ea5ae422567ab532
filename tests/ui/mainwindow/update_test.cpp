#include "core/config/productconfig.h"
#include "support/productconfigsandbox.h"
#include "support/tinyhttpserver.h"
#include "ui/update/updatecontroller.h"
#include "ui/update/vfversioncheck.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <tuple>

namespace {

class UpdateCheckTest : public ProductConfigSandbox {
protected:
    void SetUp() override
    {
        ProductConfigSandbox::SetUp();
        qputenv("SONABEL_UPDATE_URL", server.url().toUtf8());
        qputenv("SONABEL_NO_EXTERNAL_OPEN", "1");
        window.show();
    }
    void TearDown() override
    {
        qunsetenv("SONABEL_UPDATE_URL");
        ProductConfigSandbox::TearDown();
    }
    VFVersionCheck::Outcome run(bool manual)
    {
        delete dialog(); // the last check's dialog, answered
        QSignalSpy finished(controller.chk(), &VFVersionCheck::finished);
        if (manual)
            controller.ManCheckDown();
        else
            controller.AutoCheckDown();
        if (!finished.wait(10000))
            return VFVersionCheck::Outcome::None;
        return controller.chk()->lastOutcome();
    }
    QString ours() const { return controller.version(); }
    QMessageBox* dialog() const { return controller.chk()->currentDialog(); }

    TinyHttpServer server;
    QWidget window;
    UpdateController controller { &window };
};

TEST_F(UpdateCheckTest, RequestCarriesProductVersionAndContact)
{
    server.body = R"({"version": "0.0.1"})";
    ASSERT_EQ(run(false), VFVersionCheck::Outcome::UpToDate);
    ASSERT_EQ(server.requests().size(), 1);
    const QString line = server.requests().constFirst(); // "GET /upgrade?... HTTP/1.1"
    const QUrlQuery query(QUrl(line.section(u' ', 1, 1)));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("m")), QStringLiteral("upgrade_info"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("pid")), QStringLiteral("549"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("version")), ours());
    EXPECT_EQ(query.queryItemValue(QStringLiteral("email"), QUrl::FullyDecoded),
        QLatin1String(UpdateController::kContactAddress));
}

TEST_F(UpdateCheckTest, NewerVersionIsOfferedAndCanBeSkipped)
{
    server.body = R"({"version": "99.1", "download": "https://example.org/get", "notes": "Faster."})";
    ASSERT_EQ(run(false), VFVersionCheck::Outcome::NewVersion);
    QMessageBox* offer = dialog();
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(offer->text().contains(QStringLiteral("99.1")));
    QAbstractButton* skip = nullptr;
    QStringList texts;
    for (QAbstractButton* button : offer->buttons()) {
        texts << button->text();
        skip = button->text() == QStringLiteral("Skip This Version") ? button : skip;
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Download")) && texts.contains(QStringLiteral("Later")))
        << texts.join(u", ").toStdString();
    ASSERT_NE(skip, nullptr);
    skip->click();
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("SkipVersion")), QStringLiteral("99.1"));

    EXPECT_EQ(run(false), VFVersionCheck::Outcome::Skipped) << "a skipped version stays silent";
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(run(true), VFVersionCheck::Outcome::NewVersion) << "asked for, it is offered again";
}

TEST_F(UpdateCheckTest, SameVersionIsSilentAutomaticallyAndToldWhenAsked)
{
    server.body = QStringLiteral(R"({"version": "%1"})").arg(ours()).toUtf8();
    EXPECT_EQ(run(false), VFVersionCheck::Outcome::UpToDate);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(run(true), VFVersionCheck::Outcome::UpToDate);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->windowTitle(), QStringLiteral("Corvane Sonabel is up to date."));
}

TEST_F(UpdateCheckTest, MalformedAnswerOrNoServerIsReportedOnlyWhenAsked)
{
    for (const QByteArray& body :
        { QByteArray("<html>oops</html>"), QByteArray(R"({"notes": "no version"})"), QByteArray("[1, 2]") }) {
        server.body = body;
        EXPECT_EQ(run(false), VFVersionCheck::Outcome::Failed) << body.constData();
        EXPECT_EQ(dialog(), nullptr) << body.constData();
        EXPECT_EQ(run(true), VFVersionCheck::Outcome::Failed) << body.constData();
        ASSERT_NE(dialog(), nullptr);
        EXPECT_EQ(dialog()->windowTitle(), QStringLiteral("Could not check for updates."));
    }
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    qputenv("SONABEL_UPDATE_URL", QStringLiteral("http://127.0.0.1:%1/upgrade").arg(port).toUtf8());
    EXPECT_EQ(run(false), VFVersionCheck::Outcome::Failed);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(run(true), VFVersionCheck::Outcome::Failed);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->text(), QStringLiteral("Could not reach the update server.")) << "not the host's own words";
}

TEST(VersionCompareTest, ComparesComponentByComponent)
{
    const std::tuple<const char*, const char*, int> comparisons[] = { { "2.1", "2.1.0", 0 }, { "2.10", "2.9", 1 },
        { "2.1.0.15", "2.1.1", -1 }, { "3", "2.99.99", 1 }, { "1.0b", "1.0", 0 }, { " 1.2 ", "1.2", 0 } };
    for (const auto& [a, b, expected] : comparisons)
        EXPECT_EQ(VFVersionCheck::compareVersions(QString::fromLatin1(a), QString::fromLatin1(b)), expected)
            << a << " vs " << b;
}

} // namespace
