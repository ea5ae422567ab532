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

TEST_F(PreferencesTest, OpensKeepingTheSourceFormat)
{
    NotificationRecorder recorder;
    MainPreferenceController window;
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
}

TEST_F(PreferencesTest, ChoicesArePostedWithTheirValuesAndTypes)
{
    MainPreferenceController window;
    window.show();
    NotificationRecorder recorder;

    tick(window.keepSourceSettingChk());
    ASSERT_FALSE(window.keepSourceSettingChk()->isChecked());
    EXPECT_TRUE(window.sampleRatePop()->isEnabled());
    ASSERT_EQ(recorder.posted.size(), 1u);
    EXPECT_EQ(recorder.posted[0].userInfo,
        (QVariantMap { { u"SampleRate"_s, 44100 }, { u"Channels"_s, 2 }, { u"BitRate"_s, 128000 } }));

    choose(window.sampleRatePop(), 0);
    choose(window.channelPop(), 0);
    choose(window.bitRatePop(), 4);
    ASSERT_EQ(recorder.posted.back().name, u"SetAudioParm"_s);
    const QVariantMap last = recorder.posted.back().userInfo;
    EXPECT_EQ(last.value(u"SampleRate"_s), QVariant(48000));
    EXPECT_EQ(last.value(u"Channels"_s), QVariant(1));
    EXPECT_EQ(last.value(u"BitRate"_s), QVariant(160000));
    EXPECT_EQ(last.value(u"SampleRate"_s).typeId(), QMetaType::Int);

    choose(window.keyMoveDistPop(), 1);
    ASSERT_EQ(recorder.posted.back().name, u"SetKeyMovie"_s);
    const QVariant step = recorder.posted.back().userInfo.value(u"KeyMoveDist"_s);
    EXPECT_EQ(step.typeId(), QMetaType::Float);
    EXPECT_FLOAT_EQ(step.toFloat(), 0.5f);

    choose(window.ringsGapPop(), 2);
    choose(window.ringsGapPop(), 0);
    ASSERT_EQ(recorder.posted.back().name, u"SetRingsGapTime"_s);
    EXPECT_EQ(window.ringsGapPop()->currentText(), u"0.5 sencod gap"_s);
    EXPECT_DOUBLE_EQ(recorder.posted.back().userInfo.value(u"RingsGap"_s).toDouble(), 0.5);
    choose(window.ringsGapPop(), 1);
    EXPECT_EQ(window.ringsGapPop()->currentText(), u"1 sencod gap"_s);
    EXPECT_DOUBLE_EQ(recorder.posted.back().userInfo.value(u"RingsGap"_s).toDouble(), 1.0);

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

    MainPreferenceController reopened;
    EXPECT_TRUE(reopened.playSoundStartChk()->isChecked());
    EXPECT_FALSE(reopened.autoUpateChk()->isChecked());
    EXPECT_TRUE(reopened.showWarnningBtn()->isChecked());
}

} // namespace
