#include "core/editing/chosenpart.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <vector>

// Readable failures: "{x, width}".
void PrintTo(const PartFrame& part, std::ostream* os)
{
    *os << "{" << part.x << ", " << part.width << "}";
}

namespace {

// The initial zoom: 0.01 pixels per millisecond, 10 pixels per second.
constexpr double kSecond = 10.0;
constexpr double kFiveSeconds = 50.0;
constexpr double kSixtySeconds = 600.0;
constexpr double kPartHeight = 197.0;

ChosenPart fileOfSeconds(double seconds)
{
    return ChosenPart(0.01, seconds * kSecond);
}

void expectFrame(PartFrame actual, double x, double width)
{
    EXPECT_DOUBLE_EQ(actual.x, x) << testing::PrintToString(actual);
    EXPECT_DOUBLE_EQ(actual.width, width) << testing::PrintToString(actual);
}

struct FrameCase {
    const char* what;
    PartFrame actual;
    double x;
    double width;
};

void expectFrames(std::initializer_list<FrameCase> cases)
{
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.what);
        expectFrame(c.actual, c.x, c.width);
    }
}

void expectInsideRules(const ChosenPart& rules, PartFrame part)
{
    EXPECT_GE(part.x, 0.0) << testing::PrintToString(part);
    EXPECT_LE(part.right(), rules.waveformWidth() + 1e-9) << testing::PrintToString(part);
    EXPECT_GE(part.width, kFiveSeconds - 1e-9) << testing::PrintToString(part);
    EXPECT_LE(part.width, kSixtySeconds + 1e-9) << testing::PrintToString(part);
}

// Times and pixels at the scale are the tables' to check; here the scale's edge cases.
TEST(ChosenPartScale, NoScaleDividesNothingAndZoomKeepsTheTimes)
{
    // Nothing loaded yet: no scale, and no division by it.
    EXPECT_DOUBLE_EQ(ChosenPart(0.0, 682.0).toMs(100.0), 0.0);
    EXPECT_DOUBLE_EQ(ChosenPart::rescale(123.0, 0.0, 0.1), 123.0);
    // Zooming from 0.01 to 0.1 pixels per millisecond: ten times the pixels, the same times.
    EXPECT_NEAR(ChosenPart::rescale(400.0, 0.01, 0.1), 4000.0, 1e-9);
}

TEST(ChosenPartInitial, ShortFileIsTakenWholeLongFileGetsFortySeconds)
{
    bool whole = false;
    expectFrame(fileOfSeconds(30).initialPart(&whole), 0.0, 300.0);
    EXPECT_TRUE(whole);
    expectFrame(fileOfSeconds(120).initialPart(&whole), 0.0, 400.0);
    EXPECT_FALSE(whole);
    // Exactly 40 s is not "narrower than 40 s"; either way the part is 0-40 s.
    whole = true;
    expectFrame(fileOfSeconds(40).initialPart(&whole), 0.0, 400.0);
    EXPECT_FALSE(whole);
    expectFrame(fileOfSeconds(120).initialPart(), 0.0, 400.0); // the out parameter is optional
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

    std::vector<PartFrame> results { part, rules.move(part, -kSecond), rules.move(part, kSecond),
        rules.clamp({ 12.0, 200.0 }) };
    for (int direction : { 1, 2 }) {
        results.push_back(rules.enlarge(part, kSecond, direction));
        results.push_back(rules.narrow(part, kSecond, direction));
    }
    for (const auto& [down, pointer] : { std::pair { 5.0, 25.0 }, { 25.0, 5.0 }, { 10.0, 80.0 }, { 10.0, -80.0 } })
        results.push_back(rules.build(part, down, pointer));
    for (int direction : { 0, 1 }) {
        for (double pointer : { -40.0, 10.0, 20.0, 90.0 }) {
            ChosenPart::ResizeDrag drag { direction, direction == 0 ? part.x : part.right() };
            results.push_back(rules.resize(part, drag, pointer));
        }
    }
    for (const PartFrame& result : results)
        expectFrame(result, 0.0, file);
}

TEST(ChosenPartPointer, GrabZonesAreFivePixelsJustOutsideTheEdges)
{
    const PartFrame part { 100.0, 200.0 }; // L = 100, R = 300
    const double xs[] = { 95.0, 95.1, 100.0, 100.1, 299.9, 300.0, 304.9, 305.0 };
    const int zones[] = { -1, 0, 0, -1, -1, 1, 1, -1 };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ChosenPart::grabZone(part, xs[i], kPartHeight / 2, kPartHeight), zones[i]) << "x " << xs[i];
    // The right zone is only within the part's height.
    EXPECT_EQ(ChosenPart::grabZone(part, 300.0, 0.0, kPartHeight), 1);
    EXPECT_EQ(ChosenPart::grabZone(part, 300.0, kPartHeight, kPartHeight), 1);
    EXPECT_EQ(ChosenPart::grabZone(part, 302.0, -1.0, kPartHeight), -1);
    EXPECT_EQ(ChosenPart::grabZone(part, 302.0, kPartHeight + 1.0, kPartHeight), -1);
}

TEST(ChosenPartResize, EdgesStopAtFiveAndSixtySecondsAndAtTheFilesEnds)
{
    const ChosenPart rules = fileOfSeconds(200);
    // Reaching 5 s or 60 s stops the drag following the pointer, and later pointer moves change
    // nothing until the view takes the drag back.
    const struct {
        const char* what;
        int direction;
        PartFrame start;
        std::initializer_list<double> pointer;
        double x;
        double width;
        bool following;
    } cases[] = {
        { "right edge in", 1, { 100.0, 100.0 }, { 190.0, 180.0 }, 100.0, 80.0, true },
        { "right edge in past 5 s", 1, { 100.0, 100.0 }, { 190.0, 180.0, 130.0 }, 100.0, kFiveSeconds, false },
        { "right edge back out after stopping", 1, { 100.0, 100.0 }, { 190.0, 180.0, 130.0, 100.0, 250.0, 140.0 },
            100.0, kFiveSeconds, false },
        { "right edge in to exactly 5 s", 1, { 100.0, 100.0 }, { 150.0 }, 100.0, kFiveSeconds, false },
        { "right edge out past 60 s", 1, { 100.0, 500.0 }, { 650.0, 800.0 }, 100.0, kSixtySeconds, false },
        { "right edge back after 60 s", 1, { 100.0, 500.0 }, { 650.0, 800.0, 620.0, 900.0 }, 100.0, kSixtySeconds,
            false },
        { "right edge past the file's end", 1, { 1800.0, 100.0 }, { 1950.0, 2100.0 }, 1800.0, 200.0, true },
        { "left edge in: the end stays", 0, { 300.0, 100.0 }, { 320.0, 340.0 }, 340.0, 60.0, true },
        { "left edge in past 5 s", 0, { 300.0, 100.0 }, { 320.0, 340.0, 370.0 }, 350.0, kFiveSeconds, false },
        { "left edge back out after stopping", 0, { 300.0, 100.0 }, { 320.0, 340.0, 370.0, 200.0, 380.0 }, 350.0,
            kFiveSeconds, false },
        { "left edge out past 60 s", 0, { 800.0, 100.0 }, { 500.0, 200.0 }, 300.0, kSixtySeconds, false },
        { "left edge past the file's start", 0, { 100.0, 100.0 }, { 40.0, -50.0 }, 0.0, 200.0, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ChosenPart::ResizeDrag drag { c.direction, c.direction == 0 ? c.start.x : c.start.right() };
        PartFrame part = c.start;
        for (double x : c.pointer)
            part = rules.resize(part, drag, x);
        expectFrame(part, c.x, c.width);
        EXPECT_EQ(drag.following, c.following);
    }
}

// Keys, drags that build a new part, moves and clamps on a 120 s file (1200 px).
TEST(ChosenPartGestures, EdgesStopAtFiveAndSixtySecondsAndAtTheFilesEnds)
{
    const ChosenPart rules = fileOfSeconds(120);
    const PartFrame sixSeconds { 100.0, 60.0 };
    const PartFrame current { 0.0, 400.0 };
    const PartFrame part { 100.0, 400.0 };
    expectFrames({
        // Narrowing the right edge keeps the start, the left edge keeps the end.
        { "narrow right to 5 s", rules.narrow(sixSeconds, kSecond, 2), 100.0, kFiveSeconds },
        { "narrow right past 5 s", rules.narrow(sixSeconds, 3 * kSecond, 2), 100.0, kFiveSeconds },
        { "narrow left to 5 s", rules.narrow(sixSeconds, kSecond, 1), 110.0, kFiveSeconds },
        { "narrow left past 5 s", rules.narrow(sixSeconds, 3 * kSecond, 1), 110.0, kFiveSeconds },
        { "enlarge left", rules.enlarge({ 200.0, 100.0 }, 2 * kSecond, 1), 180.0, 120.0 },
        { "enlarge left past the start", rules.enlarge({ 20.0, 100.0 }, 5 * kSecond, 1), 0.0, 120.0 },
        { "enlarge left past 60 s", rules.enlarge({ 500.0, 580.0 }, 5 * kSecond, 1), 480.0, kSixtySeconds },
        { "enlarge right past 60 s", rules.enlarge({ 100.0, 580.0 }, 5 * kSecond, 2), 100.0, kSixtySeconds },
        { "right edge at the file's end", rules.enlarge({ 800.0, 400.0 }, 2 * kSecond, 2), 800.0, 400.0 },
        { "enlarge right past the end", rules.enlarge({ 780.0, 400.0 }, 5 * kSecond, 2), 780.0, 420.0 },
        { "build dragging left: ends at the press point", rules.build(current, 1100.0, 400.0), 500.0, kSixtySeconds },
        { "build dragging right: starts at the press point", rules.build(current, 100.0, 800.0), 100.0, kSixtySeconds },
        { "build shorter, in whole pixels", rules.build(current, 500.0, 700.7), 500.0, 200.0 },
        { "build shorter to the left", rules.build(current, 700.0, 500.0), 500.0, 200.0 },
        { "build too short: 5 s from its start", rules.build(current, 500.0, 510.0), 500.0, kFiveSeconds },
        { "build too short near the end: moved back inside", rules.build(current, 1190.0, 1195.0), 1150.0,
            kFiveSeconds },
        { "move right", rules.move(part, 50.0), 150.0, 400.0 },
        { "move left", rules.move(part, -50.0), 50.0, 400.0 },
        { "move past the start", rules.move(part, -150.0), 0.0, 400.0 },
        { "move past the end", rules.move(part, 1000.0), 800.0, 400.0 },
        { "move at the end", rules.move({ 800.0, 400.0 }, 1.0), 800.0, 400.0 },
        { "clamp before the start", rules.clamp({ -20.0, 100.0 }), 0.0, 100.0 },
        { "clamp under 5 s", rules.clamp({ 100.0, 10.0 }), 100.0, kFiveSeconds },
        { "clamp over 60 s", rules.clamp({ 100.0, 900.0 }), 100.0, kSixtySeconds },
        { "clamp past the end", rules.clamp({ 1190.0, 100.0 }), 1100.0, 100.0 },
    });
    const PartFrame pastStart = rules.build(current, 300.0, -100.0);
    EXPECT_DOUBLE_EQ(pastStart.x, 0.0);
    expectInsideRules(rules, pastStart);
    expectInsideRules(rules, rules.build(current, 1000.0, 1500.0)); // past the end
}

} // namespace
