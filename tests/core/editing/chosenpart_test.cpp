#include "core/editing/chosenpart.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// Readable failures: "{x, width}".
void PrintTo(const PartFrame& part, std::ostream* os)
{
    *os << "{" << part.x << ", " << part.width << "}";
}

namespace {

// The initial zoom: 0.01 pixels per millisecond, 10 pixels per second.
constexpr double kMoveDx = 0.01;
constexpr double kSecond = 10.0;
constexpr double kFiveSeconds = 50.0;
constexpr double kSixtySeconds = 600.0;
constexpr double kPartHeight = 197.0;

ChosenPart fileOfSeconds(double seconds)
{
    return ChosenPart(kMoveDx, seconds * kSecond);
}

void expectInsideFile(const ChosenPart& rules, PartFrame part)
{
    EXPECT_GE(part.x, 0.0) << testing::PrintToString(part);
    EXPECT_LE(part.right(), rules.waveformWidth() + 1e-9) << testing::PrintToString(part);
}

void expectFrame(PartFrame actual, double x, double width)
{
    EXPECT_DOUBLE_EQ(actual.x, x) << testing::PrintToString(actual);
    EXPECT_DOUBLE_EQ(actual.width, width) << testing::PrintToString(actual);
}

TEST(ChosenPartScale, TimesAndPixels)
{
    const ChosenPart rules = fileOfSeconds(120);
    EXPECT_DOUBLE_EQ(rules.toX(40000.0), 400.0);
    EXPECT_DOUBLE_EQ(rules.toMs(50.0), 5000.0);
    EXPECT_DOUBLE_EQ(rules.minimumWidth(), kFiveSeconds);
    EXPECT_DOUBLE_EQ(rules.maximumWidth(), kSixtySeconds);
    // Nothing loaded yet: no scale, and no division by it.
    EXPECT_DOUBLE_EQ(ChosenPart(0.0, 682.0).toMs(100.0), 0.0);
}

TEST(ChosenPartInitial, ShortFileIsTakenWholeLongFileGetsFortySeconds)
{
    bool whole = false;
    expectFrame(fileOfSeconds(30).initialPart(&whole), 0.0, 300.0);
    EXPECT_TRUE(whole);

    whole = true;
    expectFrame(fileOfSeconds(120).initialPart(&whole), 0.0, 400.0);
    EXPECT_FALSE(whole);

    // Exactly 40 s is not "narrower than 40 s"; either way the part is 0-40 s.
    whole = true;
    expectFrame(fileOfSeconds(40).initialPart(&whole), 0.0, 400.0);
    EXPECT_FALSE(whole);
    // The out parameter is optional.
    expectFrame(fileOfSeconds(120).initialPart(), 0.0, 400.0);
}

// A file shorter than 5 s: the floor would reach past its end, so the part is the whole file
// and no gesture can move it or make it longer.
TEST(ChosenPartTinyFile, EveryGestureKeepsTheWholeFile)
{
    const ChosenPart rules = fileOfSeconds(3);
    const double file = 30.0;
    EXPECT_DOUBLE_EQ(rules.minimumWidth(), file);
    EXPECT_DOUBLE_EQ(rules.maximumWidth(), file);
    bool whole = false;
    const PartFrame part = rules.initialPart(&whole);
    EXPECT_TRUE(whole);
    expectFrame(part, 0.0, file);

    std::vector<PartFrame> results;
    for (int direction : { 1, 2 }) {
        results.push_back(rules.enlarge(part, kSecond, direction));
        results.push_back(rules.narrow(part, kSecond, direction));
    }
    results.push_back(rules.build(part, 5.0, 25.0));
    results.push_back(rules.build(part, 25.0, 5.0));
    results.push_back(rules.build(part, 10.0, 80.0));
    results.push_back(rules.build(part, 10.0, -80.0));
    for (int direction : { 0, 1 }) {
        for (double pointer : { -40.0, 10.0, 20.0, 90.0 }) {
            ChosenPart::ResizeDrag drag;
            drag.direction = direction;
            drag.downX = direction == 0 ? part.x : part.right();
            results.push_back(rules.resize(part, drag, pointer));
        }
    }
    results.push_back(rules.move(part, -kSecond));
    results.push_back(rules.move(part, kSecond));
    results.push_back(rules.clamp({ 12.0, 200.0 }));
    for (const PartFrame& result : results)
        expectFrame(result, 0.0, file);
}

TEST(ChosenPartKeyboard, RightEdgeAtTheFilesEndStays)
{
    const ChosenPart rules = fileOfSeconds(120);
    const PartFrame atEnd { 800.0, 400.0 };
    expectFrame(rules.enlarge(atEnd, 2 * kSecond, 2), 800.0, 400.0);
    // Short of the end it only goes as far as the end.
    expectFrame(rules.enlarge({ 780.0, 400.0 }, 5 * kSecond, 2), 780.0, 420.0);
}

TEST(ChosenPartKeyboard, NarrowingStopsAtFiveSeconds)
{
    const ChosenPart rules = fileOfSeconds(120);
    const PartFrame sixSeconds { 100.0, 60.0 };
    // Right edge in: the start stays.
    expectFrame(rules.narrow(sixSeconds, kSecond, 2), 100.0, kFiveSeconds);
    expectFrame(rules.narrow(sixSeconds, 3 * kSecond, 2), 100.0, kFiveSeconds);
    // Left edge in: the end stays.
    expectFrame(rules.narrow(sixSeconds, kSecond, 1), 110.0, kFiveSeconds);
    expectFrame(rules.narrow(sixSeconds, 3 * kSecond, 1), 110.0, kFiveSeconds);
    // Already at the floor: nothing changes.
    expectFrame(rules.narrow({ 100.0, kFiveSeconds }, kSecond, 2), 100.0, kFiveSeconds);
    expectFrame(rules.narrow({ 100.0, kFiveSeconds }, kSecond, 1), 100.0, kFiveSeconds);
}

TEST(ChosenPartKeyboard, EnlargingStopsAtTheStartAndAtSixtySeconds)
{
    const ChosenPart rules = fileOfSeconds(120);
    // Left edge out takes only what reaches 0; the end stays.
    expectFrame(rules.enlarge({ 20.0, 100.0 }, 5 * kSecond, 1), 0.0, 120.0);
    expectFrame(rules.enlarge({ 0.0, 100.0 }, 5 * kSecond, 1), 0.0, 100.0);
    expectFrame(rules.enlarge({ 200.0, 100.0 }, 2 * kSecond, 1), 180.0, 120.0);
    // 60 s cap, keeping the edge that did not move.
    expectFrame(rules.enlarge({ 500.0, 580.0 }, 5 * kSecond, 1), 480.0, kSixtySeconds);
    expectFrame(rules.enlarge({ 100.0, 580.0 }, 5 * kSecond, 2), 100.0, kSixtySeconds);
    expectFrame(rules.enlarge({ 100.0, kSixtySeconds }, kSecond, 2), 100.0, kSixtySeconds);
    expectFrame(rules.enlarge({ 100.0, kSixtySeconds }, kSecond, 1), 100.0, kSixtySeconds);
}

TEST(ChosenPartPointer, GrabZonesAreFivePixelsJustOutsideTheEdges)
{
    const PartFrame part { 100.0, 200.0 }; // L = 100, R = 300
    const double mid = kPartHeight / 2;
    struct Case {
        double x;
        double y;
        int zone;
    };
    const Case cases[] = {
        { 95.0, mid, -1 }, // L - 5: outside
        { 95.1, mid, 0 },
        { 98.0, mid, 0 },
        { 100.0, mid, 0 }, // L itself
        { 100.1, mid, -1 }, // inside the part
        { 200.0, mid, -1 },
        { 299.9, mid, -1 },
        { 300.0, mid, 1 }, // R itself
        { 304.9, mid, 1 },
        { 305.0, mid, -1 }, // R + 5: outside
        { 300.0, 0.0, 1 },
        { 300.0, kPartHeight, 1 },
        { 302.0, -1.0, -1 }, // the right zone is only within the part's height
        { 302.0, kPartHeight + 1.0, -1 },
        { 50.0, mid, -1 },
        { 400.0, mid, -1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChosenPart::grabZone(part, c.x, c.y, kPartHeight), c.zone) << "x " << c.x << ", y " << c.y;
}

// A resize drag as the view runs it: one call per pointer position.
PartFrame dragEdge(
    const ChosenPart& rules, PartFrame part, ChosenPart::ResizeDrag& drag, std::initializer_list<double> pointer)
{
    for (double x : pointer)
        part = rules.resize(part, drag, x);
    return part;
}

ChosenPart::ResizeDrag dragFrom(int direction, double downX)
{
    ChosenPart::ResizeDrag drag;
    drag.direction = direction;
    drag.downX = downX;
    return drag;
}

TEST(ChosenPartResize, RightEdgeStopsAtFiveAndSixtySeconds)
{
    const ChosenPart rules = fileOfSeconds(200);
    {
        // Inward: 10 s part, pointer 7 s left of the edge: exactly 5 s and the drag stops.
        auto drag = dragFrom(1, 200.0);
        PartFrame part = dragEdge(rules, { 100.0, 100.0 }, drag, { 190.0, 180.0 });
        expectFrame(part, 100.0, 80.0);
        EXPECT_TRUE(drag.following);
        part = dragEdge(rules, part, drag, { 130.0 });
        expectFrame(part, 100.0, kFiveSeconds);
        EXPECT_FALSE(drag.following);
        // Later pointer moves change nothing until the view takes the drag back.
        expectFrame(dragEdge(rules, part, drag, { 100.0, 250.0, 140.0 }), 100.0, kFiveSeconds);
        EXPECT_FALSE(drag.following);
    }
    {
        // Reaching exactly 5 s also stops it.
        auto drag = dragFrom(1, 200.0);
        expectFrame(dragEdge(rules, { 100.0, 100.0 }, drag, { 150.0 }), 100.0, kFiveSeconds);
        EXPECT_FALSE(drag.following);
    }
    {
        // Outward past 60 s.
        auto drag = dragFrom(1, 600.0);
        PartFrame part = dragEdge(rules, { 100.0, 500.0 }, drag, { 650.0, 800.0 });
        expectFrame(part, 100.0, kSixtySeconds);
        EXPECT_FALSE(drag.following);
        expectFrame(dragEdge(rules, part, drag, { 620.0, 900.0 }), 100.0, kSixtySeconds);
    }
    {
        // Outward past the file's end, short of 60 s: the part ends at the file's end.
        auto drag = dragFrom(1, 1900.0);
        expectFrame(dragEdge(rules, { 1800.0, 100.0 }, drag, { 1950.0, 2100.0 }), 1800.0, 200.0);
    }
}

TEST(ChosenPartResize, LeftEdgeStopsAtFiveAndSixtySecondsAndAtTheStart)
{
    const ChosenPart rules = fileOfSeconds(200);
    {
        // Inward: the end stays where it was.
        auto drag = dragFrom(0, 300.0);
        PartFrame part = dragEdge(rules, { 300.0, 100.0 }, drag, { 320.0, 340.0 });
        expectFrame(part, 340.0, 60.0);
        EXPECT_TRUE(drag.following);
        part = dragEdge(rules, part, drag, { 370.0 });
        expectFrame(part, 350.0, kFiveSeconds);
        EXPECT_FALSE(drag.following);
        expectFrame(dragEdge(rules, part, drag, { 200.0, 380.0 }), 350.0, kFiveSeconds);
    }
    {
        // Outward past 60 s before reaching the start.
        auto drag = dragFrom(0, 800.0);
        PartFrame part = dragEdge(rules, { 800.0, 100.0 }, drag, { 500.0, 200.0 });
        expectFrame(part, 300.0, kSixtySeconds);
        EXPECT_FALSE(drag.following);
    }
    {
        // Outward past the file's start: the part starts at 0 and keeps its end.
        auto drag = dragFrom(0, 100.0);
        PartFrame part = dragEdge(rules, { 100.0, 100.0 }, drag, { 40.0, -50.0 });
        expectFrame(part, 0.0, 200.0);
        EXPECT_TRUE(drag.following);
    }
}

TEST(ChosenPartResize, NeverLeavesTheFile)
{
    const ChosenPart rules = fileOfSeconds(30);
    for (int direction : { 0, 1 }) {
        for (double pointer : { -500.0, -1.0, 0.0, 150.0, 299.0, 300.0, 301.0, 900.0 }) {
            const PartFrame start { 50.0, 200.0 };
            auto drag = dragFrom(direction, direction == 0 ? start.x : start.right());
            const PartFrame part = rules.resize(start, drag, pointer);
            expectInsideFile(rules, part);
            EXPECT_GE(part.width, kFiveSeconds - 1e-9);
            EXPECT_LE(part.width, kSixtySeconds + 1e-9);
        }
    }
}

TEST(ChosenPartBuild, DragsAcrossSeventySecondsMakeSixty)
{
    const ChosenPart rules = fileOfSeconds(200);
    const PartFrame current { 0.0, 400.0 };
    // Dragging left: the part ends at the press point.
    expectFrame(rules.build(current, 1500.0, 800.0), 900.0, kSixtySeconds);
    // Dragging right: the part starts at the press point.
    expectFrame(rules.build(current, 500.0, 1200.0), 500.0, kSixtySeconds);
    // Shorter drags make parts of their own length, in whole pixels.
    expectFrame(rules.build(current, 500.0, 700.7), 500.0, 200.0);
    expectFrame(rules.build(current, 700.0, 500.0), 500.0, 200.0);
    // Too short a drag still gives 5 s from its start.
    expectFrame(rules.build(current, 500.0, 510.0), 500.0, kFiveSeconds);
}

TEST(ChosenPartBuild, StaysInsideTheFile)
{
    const ChosenPart rules = fileOfSeconds(120); // 1200 px
    const PartFrame current { 0.0, 400.0 };
    // A short drag near the end: the 5 s floor, moved back inside the file.
    const PartFrame nearEnd = rules.build(current, 1190.0, 1195.0);
    expectFrame(nearEnd, 1150.0, kFiveSeconds);
    // Dragging left past the start: the part starts at 0.
    const PartFrame pastStart = rules.build(current, 300.0, -100.0);
    EXPECT_DOUBLE_EQ(pastStart.x, 0.0);
    expectInsideFile(rules, pastStart);
    // Dragging right past the end.
    const PartFrame pastEnd = rules.build(current, 1000.0, 1500.0);
    expectInsideFile(rules, pastEnd);
    EXPECT_GE(pastEnd.width, kFiveSeconds);
    EXPECT_LE(pastEnd.width, kSixtySeconds);
}

TEST(ChosenPartMove, StopsAtBothEndsOfTheFile)
{
    const ChosenPart rules = fileOfSeconds(120);
    const PartFrame part { 100.0, 400.0 };
    expectFrame(rules.move(part, 50.0), 150.0, 400.0);
    expectFrame(rules.move(part, -50.0), 50.0, 400.0);
    expectFrame(rules.move(part, -150.0), 0.0, 400.0);
    expectFrame(rules.move(part, 1000.0), 800.0, 400.0);
    expectFrame(rules.move({ 800.0, 400.0 }, 1.0), 800.0, 400.0);
}

TEST(ChosenPartClamp, BringsAnyPartInsideTheRules)
{
    const ChosenPart rules = fileOfSeconds(120);
    expectFrame(rules.clamp({ -20.0, 100.0 }), 0.0, 100.0);
    expectFrame(rules.clamp({ 100.0, 10.0 }), 100.0, kFiveSeconds);
    expectFrame(rules.clamp({ 100.0, 900.0 }), 100.0, kSixtySeconds);
    expectFrame(rules.clamp({ 1190.0, 100.0 }), 1100.0, 100.0);
}

TEST(ChosenPartZoom, RescaleKeepsTimes)
{
    // From 0.01 to 0.1 pixels per millisecond: ten times the pixels, the same times.
    const double x = ChosenPart::rescale(400.0, 0.01, 0.1);
    EXPECT_NEAR(x, 4000.0, 1e-9);
    const ChosenPart before(0.01, 1200.0);
    const ChosenPart after(0.1, 12000.0);
    EXPECT_NEAR(after.toMs(ChosenPart::rescale(before.toX(12345.0), 0.01, 0.1)), 12345.0, 1e-6);
    EXPECT_NEAR(ChosenPart::rescale(4000.0, 0.1, 0.01), 400.0, 1e-9);
    // Without a previous scale there is nothing to convert.
    EXPECT_DOUBLE_EQ(ChosenPart::rescale(123.0, 0.0, 0.1), 123.0);
}

} // namespace
