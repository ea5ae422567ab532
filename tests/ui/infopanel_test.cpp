#include "core/notification/notificationcenter.h"
#include "support/fixtures.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/backgroundviews.h"
#include "ui/editor/volumview.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

QString fixture(const char* name)
{
    return QString::fromStdString(fixtures::path(name));
}

QImage grabbed(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

::testing::AssertionResult looksLike(QColor actual, QColor expected, int tolerance = 8)
{
    if (std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

QString longName()
{
    return QStringLiteral("An Extraordinarily Long Display Name For A Ringtone That Cannot Possibly Fit.m4r");
}

// ---------------------------------------------------------------------------------------
// Info panel

class InfoPanelTest : public ::testing::Test {
protected:
    [[nodiscard]] QLabel* field(const char* name) const
    {
        auto* label = panel.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label;
    }

    AudioEditorViewPlugController panel;
};

TEST_F(InfoPanelTest, StartsClearWithCaptionsInTheirStyles)
{
    EXPECT_EQ(panel.nameText(), QString());
    EXPECT_EQ(panel.playTimeText(), QStringLiteral("00:00:00 / 00:00:00"));
    EXPECT_EQ(panel.chooseLengthText(), QStringLiteral("40s"));
    EXPECT_EQ(panel.composerText(), QString());
    EXPECT_EQ(panel.albumText(), QString());

    EXPECT_EQ(field("currentTimeDownTF")->text(), QStringLiteral("Current Time"));
    EXPECT_EQ(field("songLengthDownTF")->text(), QStringLiteral("Total Length"));
    EXPECT_EQ(field("chooseLengthDownTF")->text(), QStringLiteral("Selected Length"));

    const std::pair<const char*, int> styles[]
        = { { "currentTimeDownTF", 8 }, { "songLengthDownTF", 8 }, { "chooseLengthDownTF", 8 }, { "playTimeTF", 10 },
              { "m_ComposerTF", 10 }, { "m_AlbumTF", 10 }, { "nameTF", 15 }, { "chooseLengthTF", 15 } };
    for (const auto& [name, points] : styles) {
        QLabel* label = field(name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->font().pointSize(), points) << name;
        EXPECT_EQ(label->font().family(), AudioEditorViewPlugController::fontFamily()) << name;
        // Names and tags are text, never markup.
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        EXPECT_GT(label->width(), 0) << name;
    }
    EXPECT_FALSE(AudioEditorViewPlugController::fontFamily().isEmpty());
}

TEST_F(InfoPanelTest, ClearDisplayEmptiesWhatALoadShowed)
{
    ASSERT_TRUE(panel.setFileName(fixture("tagged.m4a"), QStringLiteral("tagged")));
    panel.setPlayTime(QStringLiteral("00:00:03 / 00:00:06"));
    panel.setChooseLength(QStringLiteral("6s"));
    ASSERT_FALSE(panel.composerText().isEmpty());

    panel.clearDisplay();
    EXPECT_EQ(panel.nameText(), QString());
    EXPECT_EQ(panel.playTimeText(), QStringLiteral("00:00:00 / 00:00:00"));
    EXPECT_EQ(panel.chooseLengthText(), QStringLiteral("40s"));
    EXPECT_EQ(panel.composerText(), QString());
    EXPECT_EQ(panel.albumText(), QString());

    // Nothing cleared comes back when the panel is resized and refits its texts.
    panel.resize(panel.width() + 40, panel.height());
    panel.show();
    EXPECT_EQ(panel.nameText(), QString());
    EXPECT_EQ(panel.composerText(), QString());
}

TEST_F(InfoPanelTest, FollowsResizeChooseTimeLenFromAnySender)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const int someView = 0;
    center.post(QStringLiteral("ResizeChooseTimeLen"), &someView,
        { { QStringLiteral("ChooseTimeLen"), QStringLiteral("25s") } });
    EXPECT_EQ(panel.chooseLengthText(), QStringLiteral("25s"));
    center.post(
        QStringLiteral("ResizeChooseTimeLen"), nullptr, { { QStringLiteral("ChooseTimeLen"), QStringLiteral("7s") } });
    EXPECT_EQ(panel.chooseLengthText(), QStringLiteral("7s"));

    // Without the length there is nothing to show: the last one stays.
    center.post(QStringLiteral("ResizeChooseTimeLen"), &someView);
    EXPECT_EQ(panel.chooseLengthText(), QStringLiteral("7s"));
    // Other names are not for the panel.
    center.post(
        QStringLiteral("ChooseTimeLen"), &someView, { { QStringLiteral("ChooseTimeLen"), QStringLiteral("9s") } });
    EXPECT_EQ(panel.chooseLengthText(), QStringLiteral("7s"));

    // A panel that is gone no longer listens.
    const int before = center.observerCount();
    {
        AudioEditorViewPlugController other;
        EXPECT_EQ(center.observerCount(), before + 1);
    }
    EXPECT_EQ(center.observerCount(), before);
    center.post(QStringLiteral("ResizeChooseTimeLen"), &someView,
        { { QStringLiteral("ChooseTimeLen"), QStringLiteral("3s") } });
    EXPECT_EQ(panel.chooseLengthText(), QStringLiteral("3s"));
}

TEST_F(InfoPanelTest, QuickTimeTagsGiveComposerAndAlbum)
{
    EXPECT_TRUE(panel.setFileName(fixture("tagged.m4a"), QStringLiteral("My Tone")));
    EXPECT_EQ(panel.nameText(), QStringLiteral("My Tone"));
    // The artist item (©ART) is what the panel calls the composer.
    EXPECT_EQ(panel.composerText(), QStringLiteral("Fixture Artist"));
    EXPECT_EQ(panel.albumText(), QStringLiteral("Fixture Album"));
}

TEST_F(InfoPanelTest, FilesWithoutQuickTimeTagsAnswerFalseButShowTheName)
{
    const std::pair<const char*, const char*> files[]
        = { { "tone.mp3", "tone" }, { "tagged.mp3", "ID3 tags only" }, { "no-such-file.m4a", "missing" } };
    for (const auto& [file, name] : files) {
        panel.clearDisplay();
        EXPECT_FALSE(panel.setFileName(fixture(file), QString::fromLatin1(name))) << file;
        EXPECT_EQ(panel.nameText(), QString::fromLatin1(name)) << file;
        EXPECT_EQ(panel.composerText(), QString()) << file;
        EXPECT_EQ(panel.albumText(), QString()) << file;
    }
}

TEST_F(InfoPanelTest, LongTextsEndInEllipsisAndFitTheirFields)
{
    QLabel* name = field("nameTF");
    ASSERT_NE(name, nullptr);
    const QFontMetrics metrics(name->font());
    ASSERT_GT(metrics.horizontalAdvance(longName()), name->width());

    EXPECT_FALSE(panel.setFileName(fixture("tone.mp3"), longName()));
    const QString shown = panel.nameText();
    ASSERT_TRUE(shown.endsWith(QStringLiteral(" ..."))) << shown.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shown), name->width());
    const QString kept = shown.chopped(4);
    EXPECT_TRUE(longName().startsWith(kept));
    // As much as fits is kept: one more character would not.
    EXPECT_GT(metrics.horizontalAdvance(longName().left(kept.size() + 1) + QStringLiteral(" ...")), name->width());

    panel.setComposer(longName());
    panel.setAlbum(longName());
    for (const auto& [label, text] : { std::pair { field("m_ComposerTF"), panel.composerText() },
             std::pair { field("m_AlbumTF"), panel.albumText() } }) {
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(text.endsWith(QStringLiteral(" ..."))) << text.toStdString();
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(text), label->width());
    }

    // Short texts stay as they are.
    EXPECT_FALSE(panel.setFileName(fixture("tone.mp3"), QStringLiteral("Bell")));
    EXPECT_EQ(panel.nameText(), QStringLiteral("Bell"));
    panel.setComposer(QStringLiteral("Someone"));
    EXPECT_EQ(panel.composerText(), QStringLiteral("Someone"));
}

TEST_F(InfoPanelTest, AWiderPanelShowsMoreOfTheName)
{
    EXPECT_FALSE(panel.setFileName(fixture("tone.mp3"), longName()));
    const QString narrow = panel.nameText();
    ASSERT_TRUE(narrow.endsWith(QStringLiteral(" ...")));

    panel.resize(2000, panel.height());
    panel.show();
    EXPECT_EQ(panel.nameText(), longName());

    panel.resize(300, panel.height());
    EXPECT_EQ(panel.nameText(), narrow);
}

TEST(InfoPanelShortening, MeasuresTheTextItShows)
{
    const QFont font(AudioEditorViewPlugController::fontFamily(), 10);
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("Wide WWWW and narrow iiii letters together");
    const int advance = metrics.horizontalAdvance(text);

    EXPECT_EQ(AudioEditorViewPlugController::changeStringToFitTextField(text, font, advance), text);
    EXPECT_EQ(AudioEditorViewPlugController::changeStringToFitTextField(QString(), font, 10), QString());

    for (int width : { advance - 1, advance / 2, advance / 5, 40 }) {
        const QString shown = AudioEditorViewPlugController::changeStringToFitTextField(text, font, width);
        ASSERT_TRUE(shown.endsWith(QStringLiteral(" ..."))) << width;
        EXPECT_LE(metrics.horizontalAdvance(shown), width) << shown.toStdString();
        EXPECT_TRUE(text.startsWith(shown.chopped(4))) << shown.toStdString();
    }
}

TEST(InfoPanelShortening, NeverSplitsACharacter)
{
    const QFont font(AudioEditorViewPlugController::fontFamily(), 10);
    // Characters outside the BMP (two UTF-16 units) and letters with combining accents.
    const QString text
        = QString::fromUtf16(u"\U0001D11E\U0001D11E e\u0301e\u0301e\u0301 \U0001F3B5\U0001F3B5\U0001F3B5 end");
    const int advance = QFontMetrics(font).horizontalAdvance(text);
    for (int width = 0; width < advance; ++width) {
        const QString shown = AudioEditorViewPlugController::changeStringToFitTextField(text, font, width);
        if (shown.isEmpty())
            continue; // narrower than " ..."
        ASSERT_TRUE(shown.endsWith(QStringLiteral(" ..."))) << width;
        const QString kept = shown.chopped(4);
        EXPECT_TRUE(kept.isValidUtf16()) << width;
        // A cut just before a combining mark would separate the accent from its letter.
        EXPECT_FALSE(text.size() > kept.size() && text.at(kept.size()).category() == QChar::Mark_NonSpacing) << width;
    }
}

TEST(InfoPanelShortening, TinyWidthsNeverCrashAndNeverOverflow)
{
    const QFont font(AudioEditorViewPlugController::fontFamily(), 15);
    const QFontMetrics metrics(font);
    const int ellipsis = metrics.horizontalAdvance(QStringLiteral(" ..."));
    for (int width : { -100, -1, 0, 1, 3, ellipsis - 1 })
        EXPECT_EQ(AudioEditorViewPlugController::changeStringToFitTextField(longName(), font, width), QString())
            << width;
    EXPECT_EQ(
        AudioEditorViewPlugController::changeStringToFitTextField(longName(), font, ellipsis), QStringLiteral(" ..."));
    EXPECT_EQ(AudioEditorViewPlugController::changeStringToFitTextField(QStringLiteral("x"), font, 0), QString());
}

// ---------------------------------------------------------------------------------------
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

    [[nodiscard]] int middleY() const { return view.height() / 2; }
    void click(int x) { QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(x, middleY())); }

    VolumView view;
    std::vector<int> sent;
};

TEST_F(VolumViewTest, PicturesSetTheGeometry)
{
    EXPECT_EQ(QImage(QStringLiteral(":/volumeMin.png")).size(), QSize(kButtonWidth, 14));
    EXPECT_EQ(QImage(QStringLiteral(":/volumeMax.png")).size(), QSize(kButtonWidth, 14));
    EXPECT_EQ(QImage(QStringLiteral(":/volumeMinGreen.png")).size(), QSize(kButtonWidth, 14));
    EXPECT_EQ(QImage(QStringLiteral(":/volumeMaxGreen.png")).size(), QSize(kButtonWidth, 14));
    EXPECT_EQ(QImage(QStringLiteral(":/volumeBtnOn.png")).size(), QSize(12, 12));
    EXPECT_EQ(QImage(QStringLiteral(":/volumeBtnOff.png")).size(), QSize(12, 12));
    EXPECT_FALSE(QImage(QStringLiteral(":/volumeBackBG.png")).isNull());
    EXPECT_FALSE(QImage(QStringLiteral(":/volumeBackEcllipse.png")).isNull());
    EXPECT_EQ(view.height(), 14);
    EXPECT_EQ(view.knobRect(), QRectF(view.knobX(), 2, 12, 12));
}

TEST_F(VolumViewTest, StartsInTheMiddleAndSettingTheRateSendsNothing)
{
    VolumView fresh;
    EXPECT_DOUBLE_EQ(fresh.volumRate(), 0.5);
    EXPECT_EQ(fresh.volume(), 100);
    EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(fresh.accessibleName(), QStringLiteral("Volume"));

    view.setVolumRate(0.25);
    EXPECT_EQ(view.volume(), 50);
    EXPECT_DOUBLE_EQ(view.knobX(), 0.25 * kTravel + kKnobStart);
    view.setVolumRate(0.5);
    EXPECT_EQ(view.volume(), 100);
    EXPECT_DOUBLE_EQ(view.knobX(), 0.5 * kTravel + kKnobStart);
    view.setVolumRate(3.0);
    EXPECT_DOUBLE_EQ(view.volumRate(), 1.0);
    EXPECT_TRUE(sent.empty());
}

TEST_F(VolumViewTest, ButtonsSendTheEndsAndLightUpWhilePressed)
{
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(kButtonWidth / 2, middleY()));
    EXPECT_TRUE(view.isMinButtonPressed());
    EXPECT_EQ(sent, std::vector<int> { 0 });
    EXPECT_DOUBLE_EQ(view.knobX(), kKnobStart);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(kButtonWidth / 2, middleY()));
    EXPECT_FALSE(view.isMinButtonPressed());

    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(kWidth - kButtonWidth / 2, middleY()));
    EXPECT_TRUE(view.isMaxButtonPressed());
    EXPECT_FALSE(view.isMinButtonPressed());
    EXPECT_EQ(sent, (std::vector<int> { 0, 200 }));
    EXPECT_DOUBLE_EQ(view.volumRate(), 1.0);
    EXPECT_DOUBLE_EQ(view.knobX(), kClickTravel + kKnobStart);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(kWidth - kButtonWidth / 2, middleY()));
    EXPECT_FALSE(view.isMaxButtonPressed());

    // The button's left edge belongs to it.
    sent.clear();
    click(kWidth - kButtonWidth);
    EXPECT_EQ(sent, std::vector<int> { 200 });
}

TEST_F(VolumViewTest, DraggingTheKnobClampsAtBothEnds)
{
    const QPoint knob(static_cast<int>(view.knobX()) + 6, middleY());
    QTest::mousePress(&view, Qt::LeftButton, {}, knob);
    EXPECT_TRUE(view.isKnobPressed());
    ASSERT_EQ(sent, std::vector<int> { 100 });

    QTest::mouseMove(&view, QPoint(-300, middleY()));
    EXPECT_EQ(sent.back(), 0);
    EXPECT_DOUBLE_EQ(view.volumRate(), 0.0);
    EXPECT_DOUBLE_EQ(view.knobX(), kKnobStart);

    QTest::mouseMove(&view, QPoint(kWidth + 300, middleY()));
    EXPECT_EQ(sent.back(), 200);
    EXPECT_DOUBLE_EQ(view.volumRate(), 1.0);
    EXPECT_DOUBLE_EQ(view.knobX(), kWidth - kButtonWidth - 14);

    // In between: rate = (x - Lw - 8) / T.
    QTest::mouseMove(&view, QPoint(kButtonWidth + 8 + kTravel / 4, middleY()));
    EXPECT_EQ(sent.back(), 50);
    EXPECT_DOUBLE_EQ(view.knobX(), 0.25 * kTravel + kKnobStart);

    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(kWidth + 300, middleY()));
    EXPECT_FALSE(view.isKnobPressed());
    EXPECT_EQ(sent.size(), 4u);
}

TEST_F(VolumViewTest, AClickOnTheTrackSetsTheRateFromThePointer)
{
    // mouseDownPos = 60 - 4; rate = (56 - Lw - 2) / T' = 38 / 50.
    click(60);
    EXPECT_DOUBLE_EQ(view.volumRate(), 38.0 / kClickTravel);
    EXPECT_EQ(sent, std::vector<int> { 152 });
    EXPECT_DOUBLE_EQ(view.knobX(), 38.0 + kKnobStart);

    // Left of the track's first reachable point: clamped to 0.
    click(kKnobStart + 1);
    EXPECT_EQ(sent.back(), 0);
    EXPECT_DOUBLE_EQ(view.knobX(), kKnobStart);
}

TEST_F(VolumViewTest, KeysStepAndJump)
{
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(sent.back(), 110);
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(sent.back(), 90);
    EXPECT_DOUBLE_EQ(view.knobX(), view.volumRate() * kTravel + kKnobStart);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(sent.back(), 0);
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(sent.back(), 0);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(sent.back(), 200);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(sent.back(), 200);
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(sent.back(), 0);
    EXPECT_EQ(sent.size(), 27u);
}

TEST_F(VolumViewTest, TheKnobIsDrawnWhereItsPositionSays)
{
    const QImage released(QStringLiteral(":/volumeBtnOff.png"));
    const QImage pressed(QStringLiteral(":/volumeBtnOn.png"));
    const QColor knobCentre = released.pixelColor(6, 6);
    const int middle = 2 + 6;

    const int atHalf = static_cast<int>(view.knobX());
    ASSERT_EQ(atHalf, kTravel / 2 + kKnobStart);
    QImage image = grabbed(view);
    EXPECT_TRUE(looksLike(image.pixelColor(atHalf + 6, middle), knobCentre));
    // On the bottom edge: its outline starts two rows down, with only background above it.
    const QColor background = image.pixelColor(kKnobStart - 1, 1);
    EXPECT_FALSE(looksLike(image.pixelColor(atHalf + 6, 2), background));
    EXPECT_TRUE(looksLike(image.pixelColor(atHalf + 6, 1), background));

    view.setVolumRate(0.0);
    image = grabbed(view);
    EXPECT_TRUE(looksLike(image.pixelColor(kKnobStart + 6, middle), knobCentre));
    EXPECT_FALSE(looksLike(image.pixelColor(atHalf + 6, middle), knobCentre));

    // Pressed, the knob changes its picture.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(kKnobStart + 6, middle));
    image = grabbed(view);
    const int pressedX = static_cast<int>(view.knobX());
    EXPECT_TRUE(looksLike(image.pixelColor(pressedX + 6, middle), pressed.pixelColor(6, 6)));
    EXPECT_FALSE(looksLike(pressed.pixelColor(6, 6), knobCentre));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(kKnobStart + 6, middle));

    // The buttons sit at both ends, on the bottom edge.
    const QImage minimum(QStringLiteral(":/volumeMin.png"));
    const int top = view.height() - minimum.height();
    int opaque = 0;
    for (int y = 0; y < minimum.height(); ++y) {
        for (int x = 0; x < minimum.width(); ++x) {
            if (minimum.pixelColor(x, y).alpha() != 255)
                continue;
            ++opaque;
            ASSERT_TRUE(looksLike(image.pixelColor(x, top + y), minimum.pixelColor(x, y))) << x << "," << y;
        }
    }
    EXPECT_GT(opaque, 10);
}

// ---------------------------------------------------------------------------------------
// Backgrounds

TEST(BackgroundViews, DrawTheirPicturesStretchedOverTheBounds)
{
    AudioEditorViewPlug plug;
    PartBackGroundView part;
    PictureBackgroundView* const views[] = { &plug, &part };
    for (PictureBackgroundView* view : views) {
        ASSERT_FALSE(view->picture().isNull());
        EXPECT_EQ(view->sizeHint(), view->picture().size());
        const QSize size(view->picture().width() / 2, view->picture().height() * 2);
        view->resize(size);
        const QImage image = grabbed(*view);
        const QImage expected = view->picture().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Rows across the gradient, away from the one-pixel edge lines.
        for (int y : { 4, size.height() / 2, size.height() - 5 })
            for (int x : { 0, size.width() / 2, size.width() - 1 })
                EXPECT_TRUE(looksLike(image.pixelColor(x, y), expected.pixelColor(x, y))) << x << "," << y;
    }
    EXPECT_NE(plug.picture().pixelColor(10, 4), plug.picture().pixelColor(10, 70));
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

    edit->setFocus();
    ASSERT_EQ(window.focusWidget(), edit);
    QTest::mouseClick(part, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_NE(window.focusWidget(), edit);

    // Through the panel: a click on one of its texts reaches the picture behind it.
    edit->setFocus();
    ASSERT_EQ(window.focusWidget(), edit);
    auto* name = panel->findChild<QLabel*>(QStringLiteral("nameTF"));
    ASSERT_NE(name, nullptr);
    QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_NE(window.focusWidget(), edit);
}

} // namespace
