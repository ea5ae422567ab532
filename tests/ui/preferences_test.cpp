#include "core/config/productconfig.h"
#include "support/notificationrecorder.h"
#include "support/productconfigsandbox.h"
#include "ui/preferences/mainpreferencecontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

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

TEST_F(PreferencesTest, OpensKeepingTheSourceFormatAndPostsEachChoice)
{
    NotificationRecorder recorder;
    MainPreferenceController window;
    window.show();
    EXPECT_TRUE(window.keepSourceSettingChk()->isChecked());
    EXPECT_EQ(window.sampleRatePop()->currentText(), u"44100 Hz"_s);
    EXPECT_EQ(window.channelPop()->currentText(), u"2 Channels Stereo"_s);
    EXPECT_EQ(window.bitRatePop()->currentText(), u"128 kbps"_s);
    for (QComboBox* pop : { window.sampleRatePop(), window.channelPop(), window.bitRatePop() })
        EXPECT_FALSE(pop->isEnabled());
    EXPECT_TRUE(window.keyMoveDistPop()->isEnabled());
    ASSERT_EQ(recorder.posted.size(), 1u);
    EXPECT_EQ(recorder.posted[0].name, u"SetAudioParm"_s);
    EXPECT_EQ(recorder.posted[0].object, &window);
    EXPECT_TRUE(recorder.posted[0].userInfo.isEmpty());

    tick(window.keepSourceSettingChk());
    ASSERT_FALSE(window.keepSourceSettingChk()->isChecked());
    EXPECT_TRUE(window.sampleRatePop()->isEnabled());
    ASSERT_EQ(recorder.posted.size(), 2u);
    EXPECT_EQ(recorder.posted[1].userInfo,
        (QVariantMap { { u"SampleRate"_s, 44100 }, { u"Channels"_s, 2 }, { u"BitRate"_s, 128000 } }));

    // Each choice is posted at once, its value in the type its observers read.
    const std::tuple<QComboBox*, int, const char*, const char*, QVariant, const char*> choices[] = {
        { window.keyMoveDistPop(), 1, "SetKeyMovie", "KeyMoveDist", 0.5f, nullptr },
        { window.ringsGapPop(), 2, "SetRingsGapTime", "RingsGap", 2.0, nullptr },
        { window.ringsGapPop(), 0, "SetRingsGapTime", "RingsGap", 0.5, "0.5 sencod gap" },
        { window.ringsGapPop(), 1, "SetRingsGapTime", "RingsGap", 1.0, "1 sencod gap" },
        { window.sampleRatePop(), 0, "SetAudioParm", "SampleRate", 48000, nullptr },
        { window.channelPop(), 0, "SetAudioParm", "Channels", 1, nullptr },
        { window.bitRatePop(), 4, "SetAudioParm", "BitRate", 160000, nullptr },
    };
    for (const auto& [pop, index, name, key, value, shown] : choices) {
        SCOPED_TRACE(key);
        choose(pop, index);
        ASSERT_EQ(recorder.posted.back().name, QString::fromLatin1(name));
        const QVariant posted = recorder.posted.back().userInfo.value(QString::fromLatin1(key));
        EXPECT_EQ(posted, value);
        EXPECT_EQ(posted.typeId(), value.typeId());
        EXPECT_TRUE(shown == nullptr || pop->currentText() == QString::fromUtf8(shown))
            << pop->currentText().toStdString();
    }
    EXPECT_EQ(recorder.posted.back().userInfo,
        (QVariantMap { { u"SampleRate"_s, 48000 }, { u"Channels"_s, 1 }, { u"BitRate"_s, 160000 } }));

    // Ticking keep-source again goes back to the defaults and the source's own format.
    tick(window.keepSourceSettingChk());
    EXPECT_EQ(window.bitRatePop()->currentText(), u"128 kbps"_s);
    EXPECT_FALSE(window.bitRatePop()->isEnabled());
    EXPECT_EQ(recorder.posted.back().name, u"SetAudioParm"_s);
    EXPECT_TRUE(recorder.posted.back().userInfo.isEmpty());
}

TEST_F(PreferencesTest, CheckBoxesReadAndWriteTheConfiguration)
{
    MainPreferenceController window;
    window.show();
    EXPECT_FALSE(window.playSoundStartChk()->isChecked()); // shipped "NO"
    EXPECT_TRUE(window.autoUpateChk()->isChecked()); // shipped "YES"
    EXPECT_FALSE(window.showWarnningBtn()->isChecked()); // shipped "NO": the warning is shown
    EXPECT_EQ(window.showWarnningBtn()->text(), u"Don't warn about ringtones longer than 40 seconds"_s);

    tick(window.playSoundStartChk());
    tick(window.autoUpateChk());
    tick(window.showWarnningBtn());
    ProductConfig::reload();
    EXPECT_EQ(ProductConfig::getValueForKey(u"PlaySoundWhenStart"_s), u"YES"_s);
    EXPECT_EQ(ProductConfig::getValueForKey(u"AutoUpdate"_s), u"NO"_s);
    EXPECT_EQ(ProductConfig::getValueForKey(u"ShowTimeTip"_s), u"YES"_s);
}

} // namespace
