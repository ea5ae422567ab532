#include "core/config/productconfig.h"
#include "core/notification/notificationcenter.h"
#include "support/productconfigsandbox.h"
#include "ui/preferences/mainpreferencecontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Every notification posted while it lives.
class Recorder {
public:
    Recorder()
    {
        m_id = NotificationCenter::defaultCenter().addObserver(
            nullptr, QString(), nullptr, [this](const Notification& n) { posted.push_back(n); });
    }
    ~Recorder() { NotificationCenter::defaultCenter().removeObserver(m_id); }
    std::vector<Notification> posted;

private:
    NotificationCenter::ObserverId m_id;
};

// Picks `index` in a pop-up from the keyboard; every step is a choice of its own.
void choose(QComboBox* pop, int index)
{
    pop->setFocus();
    QTest::keyClick(pop, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(pop, Qt::Key_Down);
}

// Clicks a check box on its box, where a user aims (a wide check box ignores clicks
// beyond its label).
void tick(QCheckBox* check)
{
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
}

using PreferencesTest = ProductConfigSandbox;

TEST_F(PreferencesTest, OpensKeepingTheSourceFormat)
{
    Recorder recorder;
    MainPreferenceController window;
    EXPECT_TRUE(window.keepSourceSettingChk()->isChecked());
    EXPECT_EQ(window.sampleRatePop()->currentText(), QStringLiteral("44100 Hz"));
    EXPECT_EQ(window.channelPop()->currentText(), QStringLiteral("2 Channels Stereo"));
    EXPECT_EQ(window.bitRatePop()->currentText(), QStringLiteral("128 kbps"));
    for (QComboBox* pop : { window.sampleRatePop(), window.channelPop(), window.bitRatePop() })
        EXPECT_FALSE(pop->isEnabled());
    EXPECT_TRUE(window.keyMoveDistPop()->isEnabled());

    ASSERT_EQ(recorder.posted.size(), 1u);
    EXPECT_EQ(recorder.posted[0].name, QStringLiteral("SetAudioParm"));
    EXPECT_EQ(recorder.posted[0].object, &window);
    EXPECT_TRUE(recorder.posted[0].userInfo.isEmpty());
}

TEST_F(PreferencesTest, ChoicesArePostedWithTheirValuesAndTypes)
{
    MainPreferenceController window;
    window.show();
    Recorder recorder;

    tick(window.keepSourceSettingChk());
    ASSERT_FALSE(window.keepSourceSettingChk()->isChecked());
    EXPECT_TRUE(window.sampleRatePop()->isEnabled());
    ASSERT_EQ(recorder.posted.size(), 1u);
    EXPECT_EQ(recorder.posted[0].userInfo,
        (QVariantMap { { QStringLiteral("SampleRate"), 44100 }, { QStringLiteral("Channels"), 2 },
            { QStringLiteral("BitRate"), 128000 } }));

    choose(window.sampleRatePop(), 0);
    choose(window.channelPop(), 0);
    choose(window.bitRatePop(), 4);
    ASSERT_EQ(recorder.posted.back().name, QStringLiteral("SetAudioParm"));
    const QVariantMap last = recorder.posted.back().userInfo;
    EXPECT_EQ(last.value(QStringLiteral("SampleRate")), QVariant(48000));
    EXPECT_EQ(last.value(QStringLiteral("Channels")), QVariant(1));
    EXPECT_EQ(last.value(QStringLiteral("BitRate")), QVariant(160000));
    EXPECT_EQ(last.value(QStringLiteral("SampleRate")).typeId(), QMetaType::Int);

    choose(window.keyMoveDistPop(), 1);
    ASSERT_EQ(recorder.posted.back().name, QStringLiteral("SetKeyMovie"));
    const QVariant step = recorder.posted.back().userInfo.value(QStringLiteral("KeyMoveDist"));
    EXPECT_EQ(step.typeId(), QMetaType::Float);
    EXPECT_FLOAT_EQ(step.toFloat(), 0.5f);

    choose(window.ringsGapPop(), 2);
    choose(window.ringsGapPop(), 0);
    ASSERT_EQ(recorder.posted.back().name, QStringLiteral("SetRingsGapTime"));
    EXPECT_EQ(window.ringsGapPop()->currentText(), QStringLiteral("0.5 sencod gap"));
    EXPECT_DOUBLE_EQ(recorder.posted.back().userInfo.value(QStringLiteral("RingsGap")).toDouble(), 0.5);
    choose(window.ringsGapPop(), 1);
    EXPECT_EQ(window.ringsGapPop()->currentText(), QStringLiteral("1 sencod gap"));
    EXPECT_DOUBLE_EQ(recorder.posted.back().userInfo.value(QStringLiteral("RingsGap")).toDouble(), 1.0);

    // Ticking keep-source again goes back to the defaults and the source's own format.
    tick(window.keepSourceSettingChk());
    EXPECT_EQ(window.bitRatePop()->currentText(), QStringLiteral("128 kbps"));
    EXPECT_FALSE(window.bitRatePop()->isEnabled());
    EXPECT_EQ(recorder.posted.back().name, QStringLiteral("SetAudioParm"));
    EXPECT_TRUE(recorder.posted.back().userInfo.isEmpty());
}

TEST_F(PreferencesTest, CheckBoxesReadAndWriteTheConfiguration)
{
    MainPreferenceController window;
    window.show();
    EXPECT_FALSE(window.playSoundStartChk()->isChecked()); // shipped "NO"
    EXPECT_TRUE(window.autoUpateChk()->isChecked()); // shipped "YES"
    EXPECT_FALSE(window.showWarnningBtn()->isChecked()); // shipped "NO": the warning is shown
    EXPECT_EQ(window.showWarnningBtn()->text(), QStringLiteral("Don't warn about ringtones longer than 40 seconds"));

    tick(window.playSoundStartChk());
    tick(window.autoUpateChk());
    tick(window.showWarnningBtn());
    ProductConfig::reload();
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("PlaySoundWhenStart")), QStringLiteral("YES"));
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("NO"));
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("ShowTimeTip")), QStringLiteral("YES"));

    MainPreferenceController reopened;
    EXPECT_TRUE(reopened.playSoundStartChk()->isChecked());
    EXPECT_FALSE(reopened.autoUpateChk()->isChecked());
    EXPECT_TRUE(reopened.showWarnningBtn()->isChecked());
}

} // namespace
