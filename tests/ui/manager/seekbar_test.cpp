#include "support/widgetpixels.h"
#include "ui/manager/readringtonewindowcontroller.h"
#include "ui/manager/vyringtoneplayprocessview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

const QSize kBarSize(300, 13);

class RecordingDelegate : public RingtoneSeekDelegate {
public:
    bool player = true;
    std::vector<double> seeks;

    [[nodiscard]] bool isPlayerIninted() const override { return player; }
    void setPlayTimePos(double rate) override { seeks.push_back(rate); }
};

void sendMouse(QWidget& widget, QEvent::Type type, double x, Qt::MouseButtons held)
{
    const QPointF at(x, widget.height() / 2.0);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void press(QWidget& widget, double x)
{
    sendMouse(widget, QEvent::MouseButtonPress, x, Qt::LeftButton);
}
void drag(QWidget& widget, double x)
{
    sendMouse(widget, QEvent::MouseMove, x, Qt::LeftButton);
}

class SeekBar : public ::testing::Test {
protected:
    SeekBar()
    {
        bar.resize(kBarSize);
        bar.setRate(0.25F);
        bar.setDelegate(&delegate);
    }

    RecordingDelegate delegate;
    VyRingtonePlayProcessView bar;
};

struct PressCase {
    const char* name;
    double widths; // where the press lands, in bar widths
    bool seeks;
};

void PrintTo(const PressCase& c, std::ostream* out)
{
    *out << c.name;
}

class SeekBarPress : public SeekBar, public ::testing::WithParamInterface<PressCase> { };

TEST_P(SeekBarPress, SeeksOnlyWithinTheBarAndItsAllowance)
{
    const PressCase& c = GetParam();
    press(bar, c.widths * kBarSize.width());
    if (c.seeks) {
        ASSERT_EQ(delegate.seeks.size(), 1U);
        EXPECT_DOUBLE_EQ(delegate.seeks[0], c.widths);
        EXPECT_FLOAT_EQ(bar.rate(), float(c.widths));
    } else {
        EXPECT_TRUE(delegate.seeks.empty());
        EXPECT_FLOAT_EQ(bar.rate(), 0.25F);
    }
}

INSTANTIATE_TEST_SUITE_P(Presses, SeekBarPress,
    ::testing::Values(PressCase { "start", 0.0, true }, PressCase { "middle", 0.5, true },
        PressCase { "end", 1.0, true }, PressCase { "allowance", 1.01, true },
        PressCase { "beyond_allowance", 1.05, false }, PressCase { "left_of_bar", -0.01, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SeekBar, DragSeeksAtEveryStepWhileTheButtonIsHeld)
{
    press(bar, 30);
    drag(bar, 60);
    drag(bar, 90);
    sendMouse(bar, QEvent::MouseMove, 150, Qt::NoButton);
    EXPECT_EQ(delegate.seeks, (std::vector<double> { 0.1, 0.2, 0.3 }));
    EXPECT_FLOAT_EQ(bar.rate(), 0.3F);
}

TEST_F(SeekBar, IgnoresTheMouseWithoutAPlayer)
{
    delegate.player = false;
    press(bar, 150);
    drag(bar, 200);
    bar.setDelegate(nullptr);
    press(bar, 150);
    EXPECT_TRUE(delegate.seeks.empty());
    EXPECT_FLOAT_EQ(bar.rate(), 0.25F);
}

// The colour a bar picture has in its middle row, or the knob at its centre.
QColor pictureColour(const char* resource, QPoint at)
{
    return QImage(QString::fromLatin1(resource)).pixelColor(at);
}

TEST_F(SeekBar, DrawsPlayedPartTrackAndKnobAlongTheBottom)
{
    bar.setRate(0.5F);
    const QImage image = grabbed(bar);
    const QColor played = pictureColour(":/processPlay.png", { 0, 2 });
    const QColor track = pictureColour(":/processBack.png", { 0, 2 });
    const int bandRow = kBarSize.height() - 4; // third row of the band 2..6 up from the bottom
    EXPECT_TRUE(looksLike(image.pixelColor(75, bandRow), played));
    EXPECT_TRUE(looksLike(image.pixelColor(225, bandRow), track));
    EXPECT_FALSE(looksLike(image.pixelColor(75, 4), played)) << "the band belongs at the bottom";
    // Knob: left edge 0.5 * (300 - 9), bottom edge on the widget's.
    const int knobCentreX = int(0.5 * (kBarSize.width() - 9)) + 4;
    EXPECT_TRUE(looksLike(
        image.pixelColor(knobCentreX, kBarSize.height() - 5), pictureColour(":/processBtn.png", { 4, 4 }), 12));
    EXPECT_TRUE(looksLike(image.pixelColor(knobCentreX + 9, bandRow), track));

    bar.setRate(0.0F);
    const QImage atStart = grabbed(bar);
    EXPECT_TRUE(looksLike(atStart.pixelColor(75, bandRow), track));
    EXPECT_TRUE(
        looksLike(atStart.pixelColor(4, kBarSize.height() - 5), pictureColour(":/processBtn.png", { 4, 4 }), 12));
}

TEST(ReadRingtoneSheet, OpensWindowModalOverItsWindowWithoutBlockingAndCloses)
{
    QWidget window;
    window.setGeometry(100, 100, 500, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ReadRingtoneWindowController sheet(&window);
    QSignalSpy finished(&sheet, &QDialog::finished);

    sheet.showOver(); // returns at once: the rest runs while the sheet is up
    sheet.startAnimation();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
    EXPECT_EQ(QApplication::activeModalWidget(), &sheet);
    EXPECT_LE((sheet.frameGeometry().center() - window.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_TRUE(sheet.isAnimating());
    EXPECT_EQ(sheet.findChild<QProgressBar*>()->maximum(), 0) << "a busy bar";
    QTest::keyClick(&sheet, Qt::Key_Escape);
    EXPECT_TRUE(sheet.isVisible()) << "only the reading ends it";

    sheet.closeSheet();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(sheet.isAnimating());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(finished.count(), 1);
}

} // namespace
