#include "support/notificationrecorder.h"
#include "ui/trim/trimnotes.h"
#include "ui/trim/trimsliderbar.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

// 412 wide: the bar runs from x 12 to x 400, 3.88 pixels a unit on the default 0..100.
class TrimSliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bar.resize(412, 34);
        bar.setTrimStartValue(20.0F, false);
        bar.setTrimEndValue(60.0F, false);
        bar.setValue(40.0F, false);
    }

    void mouse(QEvent::Type type, double x, Qt::MouseButtons held = Qt::LeftButton)
    {
        const QPointF at(x, bar.height() / 2.0);
        QMouseEvent event(type, at, bar.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&bar, &event);
    }
    // A knob's centre along the bar, from where it is drawn.
    static double centre(const QWidget* knob) { return knob->geometry().center().x() + 0.5; }
    [[nodiscard]] std::vector<Notification> changes() const
    {
        std::vector<Notification> out;
        for (const Notification& n : recorded.posted)
            if (n.name == TrimNote::ChangeValue)
                out.push_back(n);
        return out;
    }

    TrimSliderBar bar;
    NotificationRecorder recorded { QString(), &bar };
};

struct ClampCase {
    const char* name;
    std::function<void(TrimSliderBar&)> set;
    float value;
    float start;
    float end;
    TrimChange tag;
};

void PrintTo(const ClampCase& c, std::ostream* os)
{
    *os << c.name;
}

class TrimSliderClampTest : public TrimSliderTest, public ::testing::WithParamInterface<ClampCase> { };

TEST_P(TrimSliderClampTest, SetterClampsAndPostsAllThreeValues)
{
    const ClampCase& c = GetParam();
    recorded.posted.clear();
    c.set(bar);
    EXPECT_FLOAT_EQ(bar.getValue(), c.value);
    EXPECT_FLOAT_EQ(bar.getTrimStartValue(), c.start);
    EXPECT_FLOAT_EQ(bar.getTrimEndValue(), c.end);
    const auto posted = changes();
    ASSERT_EQ(posted.size(), 1U);
    const QVariantMap& info = posted.front().userInfo;
    EXPECT_EQ(posted.front().object, &bar);
    EXPECT_FLOAT_EQ(info.value(TrimKey::Value).toFloat(), c.value);
    EXPECT_FLOAT_EQ(info.value(TrimKey::TrimStartValue).toFloat(), c.start);
    EXPECT_FLOAT_EQ(info.value(TrimKey::TrimEndValue).toFloat(), c.end);
    EXPECT_EQ(info.value(TrimKey::ChangeTag).toInt(), static_cast<int>(c.tag));
    EXPECT_TRUE(info.value(TrimKey::IsDraging).toBool());
}

INSTANTIATE_TEST_SUITE_P(Values, TrimSliderClampTest,
    ::testing::Values(ClampCase { "StartInside", [](TrimSliderBar& b) { b.setTrimStartValue(30.0F, true); }, 40, 30, 60,
                          TrimChange::TrimStart },
        ClampCase { "StartPastEndStopsAtEnd", [](TrimSliderBar& b) { b.setTrimStartValue(80.0F, true); }, 40, 60, 60,
            TrimChange::TrimStart },
        ClampCase { "StartBelowZero", [](TrimSliderBar& b) { b.setTrimStartValue(-5.0F, true); }, 40, 0, 60,
            TrimChange::TrimStart },
        ClampCase { "EndBeforeStartStopsAtStart", [](TrimSliderBar& b) { b.setTrimEndValue(10.0F, true); }, 40, 20, 20,
            TrimChange::TrimEnd },
        ClampCase { "EndPastMaximum", [](TrimSliderBar& b) { b.setTrimEndValue(130.0F, true); }, 40, 20, 100,
            TrimChange::TrimEnd },
        ClampCase { "PlayBelowZero", [](TrimSliderBar& b) { b.setValue(-1.0F, true); }, 0, 20, 60, TrimChange::Play },
        ClampCase {
            "PlayPastMaximum", [](TrimSliderBar& b) { b.setValue(101.0F, true); }, 100, 20, 60, TrimChange::Play },
        ClampCase { "PlayOutsideTheTrimIsAllowed", [](TrimSliderBar& b) { b.setValue(90.0F, true); }, 90, 20, 60,
            TrimChange::Play }),
    [](const ::testing::TestParamInfo<ClampCase>& info) { return std::string(info.param.name); });

TEST_F(TrimSliderTest, RescalingKeepsThePlacesAlongTheBar)
{
    const double before = centre(bar.trimEndKnob());
    bar.setMaxValue(1.0F);
    EXPECT_FLOAT_EQ(bar.getValue(), 0.4F);
    EXPECT_FLOAT_EQ(bar.getTrimStartValue(), 0.2F);
    EXPECT_FLOAT_EQ(bar.getTrimEndValue(), 0.6F);
    EXPECT_NEAR(centre(bar.trimEndKnob()), before, 1.0);
}

TEST_F(TrimSliderTest, DraggingThePlayKnobPostsStartMovesAndEnd)
{
    recorded.posted.clear();
    const double x = centre(bar.sliderKnob());
    mouse(QEvent::MouseButtonPress, x);
    mouse(QEvent::MouseMove, x + 38.8);
    mouse(QEvent::MouseButtonRelease, x + 38.8, Qt::NoButton);
    EXPECT_EQ(recorded.names(),
        (QStringList { TrimNote::StartDraggingSliderKnob, TrimNote::ChangeValue, TrimNote::EndDraggingSliderKnob }));
    EXPECT_NEAR(bar.getValue(), 50.0F, 0.3F);
    EXPECT_TRUE(changes().front().userInfo.value(TrimKey::IsDraging).toBool());
}

TEST_F(TrimSliderTest, DraggingTheStartKnobPastTheEndStopsThere)
{
    bar.setValue(90.0F, false); // out of the way
    const double x = centre(bar.trimStartKnob());
    mouse(QEvent::MouseButtonPress, x);
    mouse(QEvent::MouseMove, x + 200.0);
    mouse(QEvent::MouseButtonRelease, x + 200.0, Qt::NoButton);
    EXPECT_FLOAT_EQ(bar.getTrimStartValue(), 60.0F);
    EXPECT_EQ(changes().back().userInfo.value(TrimKey::ChangeTag).toInt(), static_cast<int>(TrimChange::TrimStart));
    EXPECT_FALSE(recorded.names().contains(TrimNote::EndDraggingSliderKnob)) << "only the play knob's drag ends so";
}

TEST_F(TrimSliderTest, DoubleClickOnATrimKnobMovesThePlayKnobThere)
{
    bar.setValue(90.0F, false);
    mouse(QEvent::MouseButtonDblClick, centre(bar.trimEndKnob()));
    EXPECT_FLOAT_EQ(bar.getValue(), 60.0F);
    EXPECT_EQ(changes().back().userInfo.value(TrimKey::ChangeTag).toInt(), static_cast<int>(TrimChange::Play));
}

TEST_F(TrimSliderTest, LockedOrHiddenKnobsDoNotMove)
{
    bar.setEnableDragTrim(false);
    mouse(QEvent::MouseButtonPress, centre(bar.sliderKnob()));
    mouse(QEvent::MouseMove, centre(bar.sliderKnob()) + 50.0);
    EXPECT_FLOAT_EQ(bar.getValue(), 40.0F);

    bar.setEnableDragTrim(true);
    bar.setHideTrim(true);
    EXPECT_FALSE(bar.trimEndKnob()->isVisibleTo(&bar));
    const double x = centre(bar.trimEndKnob());
    mouse(QEvent::MouseButtonPress, x);
    mouse(QEvent::MouseMove, x + 50.0);
    EXPECT_FLOAT_EQ(bar.getTrimEndValue(), 60.0F);
}

} // namespace
