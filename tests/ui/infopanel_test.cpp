#include "core/notification/notificationcenter.h"
#include "support/qtfixtures.h"
#include "support/widgetpixels.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/backgroundviews.h"
#include "ui/editor/volumview.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const auto fit = &AudioEditorViewPlugController::changeStringToFitTextField;
const QString kLongName = u"An Extraordinarily Long Display Name For A Ringtone That Cannot Possibly Fit.m4r"_s;

class InfoPanelTest : public ::testing::Test {
protected:
    [[nodiscard]] QLabel* field(const char* name) const
    {
        auto* label = panel.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label;
    }
    // What a fresh or cleared panel shows.
    void expectClear() const
    {
        EXPECT_EQ(panel.nameText() + panel.composerText() + panel.albumText(), QString());
        EXPECT_EQ(panel.playTimeText(), u"00:00:00 / 00:00:00"_s);
        EXPECT_EQ(panel.chooseLengthText(), u"40s"_s);
    }

    AudioEditorViewPlugController panel;
};

TEST_F(InfoPanelTest, StartsClearAndClearDisplayEmptiesWhatALoadShowed)
{
    expectClear();
    EXPECT_EQ(field("currentTimeDownTF")->text(), u"Current Time"_s);
    EXPECT_EQ(field("songLengthDownTF")->text(), u"Total Length"_s);
    EXPECT_EQ(field("chooseLengthDownTF")->text(), u"Selected Length"_s);
    // Names and tags are text, never markup.
    for (const char* name : { "nameTF", "m_ComposerTF", "m_AlbumTF" })
        EXPECT_EQ(field(name)->textFormat(), Qt::PlainText) << name;

    ASSERT_TRUE(panel.setFileName(fixture("tagged.m4a"), u"tagged"_s));
    panel.setPlayTime(u"00:00:03 / 00:00:06"_s);
    panel.setChooseLength(u"6s"_s);
    panel.clearDisplay();
    expectClear();
    // Nothing cleared comes back when the panel is resized and refits its texts.
    panel.resize(panel.width() + 40, panel.height());
    panel.show();
    expectClear();
}

TEST_F(InfoPanelTest, FollowsResizeChooseTimeLenFromAnySender)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const int someView = 0;
    const auto post = [&](const QString& name, const void* sender, const QString& length = {}) {
        center.post(name, sender, length.isNull() ? QVariantMap() : QVariantMap { { u"ChooseTimeLen"_s, length } });
    };
    post(u"ResizeChooseTimeLen"_s, &someView, u"25s"_s);
    EXPECT_EQ(panel.chooseLengthText(), u"25s"_s);
    post(u"ResizeChooseTimeLen"_s, nullptr, u"7s"_s);
    EXPECT_EQ(panel.chooseLengthText(), u"7s"_s);
    // Without the length there is nothing to show.
    post(u"ResizeChooseTimeLen"_s, &someView);
    EXPECT_EQ(panel.chooseLengthText(), u"7s"_s);
}

// The artist item (©ART) is what the panel calls the composer; which files have the tags is
// the tag reader's table. Files without them answer false but show the name.
TEST_F(InfoPanelTest, QuickTimeTagsGiveComposerAndAlbum)
{
    const std::tuple<const char*, const char*, bool, const char*> files[] = {
        { "tagged.m4a", "My Tone", true, "Fixture Artist/Fixture Album" },
        { "tagged.mp3", "ID3 tags only", false, "/" },
    };
    for (const auto& [file, name, tagged, tags] : files) {
        SCOPED_TRACE(file);
        panel.clearDisplay();
        EXPECT_EQ(panel.setFileName(fixture(file), QString::fromLatin1(name)), tagged);
        EXPECT_EQ(panel.nameText(), QString::fromLatin1(name));
        EXPECT_EQ(panel.composerText() + u'/' + panel.albumText(), QString::fromUtf8(tags));
    }
}

// Long texts are shortened for their field's own font and width (InfoPanelShortening pins
// the rules); a wider panel shows more of the name.
TEST_F(InfoPanelTest, LongTextsFitTheirFields)
{
    panel.setFileName(fixture("tone.mp3"), kLongName);
    panel.setComposer(kLongName);
    panel.setAlbum(kLongName);
    for (const auto& [label, text] :
        { std::pair { field("nameTF"), panel.nameText() }, std::pair { field("m_ComposerTF"), panel.composerText() },
            std::pair { field("m_AlbumTF"), panel.albumText() } }) {
        ASSERT_GT(QFontMetrics(label->font()).horizontalAdvance(kLongName), label->width());
        EXPECT_TRUE(text.endsWith(u" ..."_s)) << text.toStdString();
        EXPECT_EQ(text, fit(kLongName, label->font(), label->width()));
    }
    const QString narrow = panel.nameText();
    panel.resize(2000, panel.height());
    panel.show();
    EXPECT_EQ(panel.nameText(), kLongName);
    panel.resize(300, panel.height());
    EXPECT_EQ(panel.nameText(), narrow);
}

// As much of the text as fits with " ..." after it, nothing when not even that fits.
TEST(InfoPanelShortening, KeepsAsMuchAsFits)
{
    const QFont font(AudioEditorViewPlugController::fontFamily(), 10);
    const QFontMetrics metrics(font);
    const QString text = u"Wide WWWW and narrow iiii letters together"_s;
    const int advance = metrics.horizontalAdvance(text);
    EXPECT_EQ(fit(text, font, advance), text);
    EXPECT_EQ(fit(QString(), font, 10), QString());
    for (int width : { advance - 1, advance / 2, advance / 5, 40 }) {
        const QString shown = fit(text, font, width);
        ASSERT_TRUE(shown.endsWith(u" ..."_s)) << width;
        EXPECT_LE(metrics.horizontalAdvance(shown), width) << shown.toStdString();
        const QString kept = shown.chopped(4);
        EXPECT_TRUE(text.startsWith(kept)) << shown.toStdString();
        EXPECT_GT(metrics.horizontalAdvance(text.left(kept.size() + 1) + u" ..."_s), width) << shown.toStdString();
    }
    const int ellipsis = metrics.horizontalAdvance(u" ..."_s);
    for (int width : { -100, -1, 0, 3, ellipsis - 1 })
        EXPECT_EQ(fit(text, font, width), QString()) << width;
    EXPECT_EQ(fit(text, font, ellipsis), u" ..."_s);
}

TEST(InfoPanelShortening, NeverSplitsACharacter)
{
    const QFont font(AudioEditorViewPlugController::fontFamily(), 10);
    // Characters outside the BMP (two UTF-16 units) and letters with combining accents.
    const QString text
        = QString::fromUtf16(u"\U0001D11E\U0001D11E e\u0301e\u0301e\u0301 \U0001F3B5\U0001F3B5\U0001F3B5 end");
    for (int width = 0; width < QFontMetrics(font).horizontalAdvance(text); ++width) {
        const QString shown = fit(text, font, width); // empty when narrower than " ..."
        const QString kept = shown.left(shown.size() - 4);
        EXPECT_TRUE(kept.isValidUtf16()) << width;
        // A cut just before a combining mark would separate the accent from its letter.
        EXPECT_FALSE(text.size() > kept.size() && text.at(kept.size()).category() == QChar::Mark_NonSpacing) << width;
    }
}

// Volume slider: 100 pixels wide, buttons 16 wide, so T = 52 and T' = 50.
constexpr int kWidth = 100;
constexpr int kButtonWidth = 16;
constexpr int kTravel = kWidth - 2 * kButtonWidth - 16;
constexpr int kClickTravel = kWidth - 2 * kButtonWidth - 18;
constexpr int kKnobStart = kButtonWidth + 2;

class VolumViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(kWidth, view.height());
        view.setVolumRate(0.5);
        QObject::connect(&view, &VolumView::volumeChanged, &view, [this](int volume) { sent.push_back(volume); });
    }
    [[nodiscard]] QPoint at(int x) const { return QPoint(x, view.height() / 2); }

    VolumView view;
    std::vector<int> sent;
};

TEST_F(VolumViewTest, StartsInTheMiddleAndSettingTheRateSendsNothing)
{
    VolumView fresh;
    EXPECT_DOUBLE_EQ(fresh.volumRate(), 0.5);
    EXPECT_EQ(fresh.volume(), 100);
    EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(fresh.accessibleName(), u"Volume"_s);
    view.setVolumRate(0.25);
    EXPECT_EQ(view.volume(), 50);
    EXPECT_DOUBLE_EQ(view.knobX(), 0.25 * kTravel + kKnobStart);
    view.setVolumRate(3.0);
    EXPECT_DOUBLE_EQ(view.volumRate(), 1.0);
    EXPECT_TRUE(sent.empty());
}

// The buttons light up while pressed and send their ends; a click on the track sets the
// rate from the pointer: mouseDownPos = x - 4, rate = (mouseDownPos - Lw - 2) / T'.
TEST_F(VolumViewTest, ClicksOnTheButtonsAndTheTrack)
{
    QTest::mousePress(&view, Qt::LeftButton, {}, at(kWidth - kButtonWidth / 2));
    EXPECT_TRUE(view.isMaxButtonPressed());
    QTest::mouseRelease(&view, Qt::LeftButton, {}, at(kWidth - kButtonWidth / 2));
    EXPECT_FALSE(view.isMaxButtonPressed());
    const std::tuple<const char*, int, int, double> clicks[] = {
        { "the minimum button", kButtonWidth / 2, 0, kKnobStart },
        { "the maximum button's left edge", kWidth - kButtonWidth, 200, kClickTravel + kKnobStart },
        { "the track", 60, 152, 38.0 + kKnobStart }, // 38 / 50
        { "left of the track's first reachable point", kKnobStart + 1, 0, kKnobStart },
    };
    for (const auto& [what, x, volume, knob] : clicks) {
        SCOPED_TRACE(what);
        QTest::mouseClick(&view, Qt::LeftButton, {}, at(x));
        EXPECT_EQ(sent.back(), volume);
        EXPECT_DOUBLE_EQ(view.knobX(), knob);
    }
}

// A drag sets rate = (x - Lw - 8) / T, within both ends.
TEST_F(VolumViewTest, DraggingTheKnobClampsAtBothEnds)
{
    QTest::mousePress(&view, Qt::LeftButton, {}, at(static_cast<int>(view.knobX()) + 6));
    EXPECT_TRUE(view.isKnobPressed());
    for (const auto& [x, volume, knob] : { std::tuple { -300, 0, double(kKnobStart) },
             std::tuple { kWidth + 300, 200, double(kWidth - kButtonWidth - 14) },
             std::tuple { kButtonWidth + 8 + kTravel / 4, 50, 0.25 * kTravel + kKnobStart } }) {
        QTest::mouseMove(&view, at(x));
        EXPECT_EQ(sent.back(), volume) << x;
        EXPECT_DOUBLE_EQ(view.knobX(), knob) << x;
    }
    QTest::mouseRelease(&view, Qt::LeftButton, {}, at(kWidth + 300));
    EXPECT_FALSE(view.isKnobPressed());
    EXPECT_EQ(sent, (std::vector<int> { 100, 0, 200, 50 }));
}

TEST_F(VolumViewTest, KeysStepAndJump)
{
    const auto key = [this](Qt::Key pressed) {
        QTest::keyClick(&view, pressed);
        return sent.back();
    };
    EXPECT_EQ(key(Qt::Key_Right), 110);
    key(Qt::Key_Left);
    EXPECT_EQ(key(Qt::Key_Left), 90);
    EXPECT_DOUBLE_EQ(view.knobX(), view.volumRate() * kTravel + kKnobStart);
    EXPECT_EQ(key(Qt::Key_Home), 0);
    EXPECT_EQ(key(Qt::Key_Left), 0);
    EXPECT_EQ(key(Qt::Key_End), 200);
    EXPECT_EQ(key(Qt::Key_Right), 200);
}

// The knob is drawn at its position, in its pressed picture while held.
TEST_F(VolumViewTest, TheKnobIsDrawnWhereItsPositionSays)
{
    const QColor released = QImage(u":/volumeBtnOff.png"_s).pixelColor(6, 6);
    const QColor pressed = QImage(u":/volumeBtnOn.png"_s).pixelColor(6, 6);
    ASSERT_FALSE(looksLike(pressed, released));
    const QPoint atHalf(static_cast<int>(view.knobX()) + 6, 8);
    EXPECT_TRUE(looksLike(grabbed(view).pixelColor(atHalf), released));
    view.setVolumRate(0.0);
    EXPECT_FALSE(looksLike(grabbed(view).pixelColor(atHalf), released));
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(kKnobStart + 6, 8));
    EXPECT_TRUE(looksLike(grabbed(view).pixelColor(kKnobStart + 6, 8), pressed));
}

TEST(BackgroundViews, AClickTakesTheKeyboardBackFromTextFields)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* part = new PartBackGroundView(&window);
    auto* panel = new AudioEditorViewPlugController(&window);
    part->setGeometry(0, 0, 200, 50);
    panel->move(0, 60);
    edit->move(0, 200);
    // On the part's picture, or on one of the panel's texts: the click reaches the picture behind it.
    QWidget* name = panel->findChild<QLabel*>(u"nameTF"_s);
    ASSERT_NE(name, nullptr);
    for (const auto& [target, where] : { std::pair<QWidget*, QPoint> { part, { 20, 20 } }, { name, { 5, 5 } } }) {
        edit->setFocus();
        ASSERT_EQ(window.focusWidget(), edit);
        QTest::mouseClick(target, Qt::LeftButton, {}, where);
        EXPECT_NE(window.focusWidget(), edit);
    }
}

} // namespace
