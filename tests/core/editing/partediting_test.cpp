#include "core/editing/partediting.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>

namespace {

// The initial zoom: 0.01 pixels per millisecond, 10 pixels per second.
constexpr double kMoveDx = 0.01;
constexpr double kSecond = 10.0;

using Start = PartEditing::StartResult::Action;
using End = PartEditing::EndResult::Action;
using Key = PartEditing::Key;

PartEditing fileOfSeconds(double seconds)
{
    return PartEditing(ChosenPart(kMoveDx, seconds * kSecond), seconds);
}

const PartEditing twoMinutes = fileOfSeconds(120);
const PartEditing threeSeconds = fileOfSeconds(3); // shorter than the 5 s minimum
const PartEditing nothingLoaded(ChosenPart(0.0, 0.0), 30.0);
// A waveform width left over from the last file does not count while the scale is 0.
const PartEditing staleWidth(ChosenPart(0.0, 682.0), 30.0);
const PartFrame anyPart { 12.0, 34.0 };

// A part from `from` to `to` seconds.
PartFrame seconds(double from, double to)
{
    return PartFrame { from * kSecond, (to - from) * kSecond };
}

std::string describe(PartFrame part)
{
    std::ostringstream os;
    os << "{" << part.x << ", " << part.width << "}";
    return os.str();
}

void expectFrame(PartFrame actual, PartFrame expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << describe(actual) << " instead of " << describe(expected);
    EXPECT_NEAR(actual.width, expected.width, 1e-9) << describe(actual) << " instead of " << describe(expected);
}

QString alertFor(int seconds)
{
    return QStringLiteral("The output file duration should be %1 s at least.It will be adjusted to %1 s automatically.")
        .arg(seconds);
}

TEST(PartEditingEnd, TypedEndKeepsTheMinimumTheSixtySecondCapAndTheFilesEnd)
{
    const PartEditing fiveMinutes = fileOfSeconds(300);
    // A waveform drawn a little longer than the file: the part may not run into the padding.
    const PartEditing longWaveform(ChosenPart(kMoveDx, 1205.0), 120.0);
    EXPECT_DOUBLE_EQ(longWaveform.fileEnd(), 1200.0);
    using Case = std::tuple<const char*, const PartEditing*, PartFrame, const char*, End, bool, PartFrame, const char*>;
    const Case cases[] = {
        { "too short: 5 s from the start", &twoMinutes, seconds(10, 40), "00:00:12", End::ShowLengthAlert, false,
            seconds(10, 15), "00:00:15" },
        { "before the start: the part waits, the field shows its end", &twoMinutes, seconds(10, 40), "00:00:04",
            End::ShowLengthAlert, false, seconds(10, 40), "00:00:15" },
        { "before the start near the file's end", &twoMinutes, seconds(118, 120), "00:00:04", End::ShowLengthAlert,
            false, seconds(118, 120), "00:02:00" },
        { "beyond the file: beeps, ends at its end", &twoMinutes, seconds(100, 110), "00:05:00", End::Apply, true,
            seconds(100, 120), "00:02:00" },
        { "beyond the file far from its end: the 60 s cap wins", &twoMinutes, seconds(10, 40), "00:05:00", End::Apply,
            true, seconds(10, 70), "00:01:10" },
        { "beyond the file less than 5 s before its end: 5 s inside it", &twoMinutes, seconds(118, 119), "00:03:00",
            End::ShowLengthAlert, true, seconds(115, 120), "00:02:00" },
        { "the file's own end is not beyond it", &twoMinutes, seconds(100, 110), "00:02:00", End::Apply, false,
            seconds(100, 120), "00:02:00" },
        { "longer than 60 s: cut without beeping", &fiveMinutes, seconds(10, 40), "00:01:30", End::Apply, false,
            seconds(10, 70), "00:01:10" },
        { "unchanged", &twoMinutes, seconds(10, 40), "00:00:40", End::Nothing, false, seconds(10, 40), "" },
        { "valid", &twoMinutes, seconds(10, 40), "00:00:30", End::Apply, false, seconds(10, 30), "00:00:30" },
        { "exactly 5 s", &twoMinutes, seconds(10, 40), "00:00:15", End::Apply, false, seconds(10, 15), "00:00:15" },
        { "waveform longer than the file", &longWaveform, seconds(100, 110), "00:02:30", End::Apply, true,
            seconds(100, 120), "00:02:00" },
        { "a file shorter than 5 s: the whole file is the minimum", &threeSeconds, seconds(0, 3), "00:00:01",
            End::ShowLengthAlert, false, seconds(0, 3), "00:00:03" },
        { "nothing loaded", &nothingLoaded, anyPart, "00:00:05", End::Nothing, false, anyPart, "" },
        { "stale width", &staleWidth, anyPart, "00:00:05", End::Nothing, false, anyPart, "" },
    };
    for (const auto& [what, editing, part, text, action, beep, result, endText] : cases) {
        SCOPED_TRACE(what);
        const auto typed = editing->typedEnd(part, QString::fromLatin1(text));
        EXPECT_EQ(typed.action, action);
        EXPECT_EQ(typed.beep, beep);
        expectFrame(typed.part, result);
        EXPECT_EQ(typed.endText, QString::fromLatin1(endText));
    }
}

TEST(PartEditingEnd, TheAlertMakesTheMinimumFromTheStartInsideTheFile)
{
    EXPECT_EQ(twoMinutes.lengthAlertText(), alertFor(5));
    EXPECT_EQ(threeSeconds.lengthAlertText(), alertFor(3));
    EXPECT_EQ(nothingLoaded.lengthAlertText(), alertFor(5));
    EXPECT_DOUBLE_EQ(threeSeconds.minimumWidth(), 3 * kSecond);
    EXPECT_EQ(threeSeconds.minimumSeconds(), 3);
    const std::tuple<const PartEditing*, PartFrame, PartFrame, const char*, const char*> cases[] = {
        { &twoMinutes, seconds(10, 15), seconds(10, 15), "00:00:10", "00:00:15" },
        { &twoMinutes, seconds(10, 40), seconds(10, 15), "00:00:10", "00:00:15" },
        { &twoMinutes, seconds(118, 120), seconds(115, 120), "00:01:55", "00:02:00" },
        { &threeSeconds, seconds(1, 2), seconds(0, 3), "00:00:00", "00:00:03" },
        { &nothingLoaded, anyPart, anyPart, "", "" },
    };
    for (const auto& [editing, part, result, startText, endText] : cases) {
        SCOPED_TRACE(describe(part));
        const auto after = editing->afterLengthAlert(part);
        expectFrame(after.part, result);
        EXPECT_EQ(after.startText, QString::fromLatin1(startText));
        EXPECT_EQ(after.endText, QString::fromLatin1(endText));
    }
}

TEST(PartEditingStart, TypedStartRestoresMovesOrShortensThePart)
{
    // 120.7 s: the last whole second is 120.
    const PartEditing editing = fileOfSeconds(120.7);
    using Case = std::tuple<const char*, const PartEditing*, PartFrame, const char*, Start, PartFrame, const char*,
        const char*>;
    const Case cases[] = {
        { "at the file's last whole second: restores both fields", &editing, seconds(10, 40), "00:02:00",
            Start::RestoreFields, seconds(10, 40), "00:00:10", "00:00:40" },
        { "beyond the file", &editing, seconds(10, 40), "00:02:30", Start::RestoreFields, seconds(10, 40), "00:00:10",
            "00:00:40" },
        { "an hour", &editing, seconds(10, 40), "01:00:00", Start::RestoreFields, seconds(10, 40), "00:00:10",
            "00:00:40" },
        { "the same start retyped", &editing, seconds(10, 40), "0:0:10", Start::RestoreFields, seconds(10, 40),
            "00:00:10", "00:00:40" },
        { "moved past the file's end: pulled back inside", &twoMinutes, seconds(10, 50), "00:01:50", Start::Apply,
            seconds(80, 120), "00:01:20", "00:02:00" },
        { "moved left: keeps its length", &twoMinutes, seconds(30, 50), "00:00:10", Start::Apply, seconds(10, 30),
            "00:00:10", "00:00:30" },
        { "moved past its end", &twoMinutes, seconds(10, 20), "00:01:00", Start::Apply, seconds(60, 70), "00:01:00",
            "00:01:10" },
        { "onto its old end exactly: a move, not a zero-length part", &twoMinutes, seconds(10, 20), "00:00:20",
            Start::Apply, seconds(20, 30), "00:00:20", "00:00:30" },
        { "a negative time reads as the file's start", &twoMinutes, seconds(10, 20), "-1:00:00", Start::Apply,
            seconds(0, 10), "00:00:00", "00:00:10" },
        { "into the part: its end stays", &twoMinutes, seconds(10, 50), "00:00:30", Start::Apply, seconds(30, 50),
            "00:00:30", "00:00:50" },
        { "into the part leaving exactly 5 s", &twoMinutes, seconds(10, 50), "00:00:45", Start::Apply, seconds(45, 50),
            "00:00:45", "00:00:50" },
        { "into the part leaving less than 5 s: alert", &twoMinutes, seconds(10, 50), "00:00:47",
            Start::ShowLengthAlert, seconds(10, 50), "00:00:10", "00:00:50" },
        { "a file shorter than 5 s", &threeSeconds, seconds(0, 3), "00:00:01", Start::ShowLengthAlert, seconds(0, 3),
            "00:00:00", "00:00:03" },
        { "nothing loaded", &nothingLoaded, anyPart, "00:00:05", Start::Nothing, anyPart, "", "" },
    };
    for (const auto& [what, editing, part, text, action, result, startText, endText] : cases) {
        SCOPED_TRACE(what);
        const auto typed = editing->typedStart(part, QString::fromLatin1(text));
        EXPECT_EQ(typed.action, action);
        expectFrame(typed.part, result);
        EXPECT_EQ(typed.startText, QString::fromLatin1(startText));
        EXPECT_EQ(typed.endText, QString::fromLatin1(endText));
    }
    // The alert keeps the typed start: the minimum from there, or the file's last 5 s.
    const std::tuple<PartFrame, const char*, PartFrame> alerts[] = {
        { seconds(4.6, 64.6), "00:01:00", seconds(60, 65) },
        { seconds(10, 119), "00:01:57", seconds(115, 120) },
    };
    for (const auto& [part, text, after] : alerts) {
        SCOPED_TRACE(text);
        const auto typed = twoMinutes.typedStart(part, QString::fromLatin1(text));
        EXPECT_EQ(typed.action, Start::ShowLengthAlert);
        expectFrame(typed.part, part);
        expectFrame(typed.afterAlert, after);
    }
}

// The fields show whole seconds inside the part, never a time just outside an edge.
TEST(PartEditingFields, StartRoundsUpEndRoundsDown)
{
    const std::tuple<double, const char*, const char*> cases[] = {
        { 0.0, "00:00:00", "00:00:00" },
        { 4600.0, "00:00:05", "00:00:04" },
        { 64999.6, "00:01:05", "00:01:05" }, // a millisecond is the finest step
        { 65000.0000001, "00:01:05", "00:01:05" },
        { 3599400.0, "01:00:00", "00:59:59" },
    };
    for (const auto& [ms, start, end] : cases) {
        SCOPED_TRACE(ms);
        EXPECT_EQ(PartEditing::startFieldText(ms), QString::fromLatin1(start));
        EXPECT_EQ(PartEditing::endFieldText(ms), QString::fromLatin1(end));
    }
}

// Without Alt, Left and Right move the part between the file's start and end and Up and
// Down do nothing; with it the part grows or shrinks between 5 s and 60 s inside the file.
TEST(PartEditingKeys, ArrowsMoveGrowAndShrinkWithinTheLimits)
{
    // A waveform a little shorter than the file: the part stays on the drawn waveform.
    const PartEditing shortWaveform(ChosenPart(kMoveDx, 1195.0), 120.0);
    EXPECT_DOUBLE_EQ(shortWaveform.fileEnd(), 1195.0);
    EXPECT_EQ(shortWaveform.arrowKey({ 990.0, 200.0 }, Key::Right, false, 1.0f).part.right(), 1195.0);
    const std::tuple<PartFrame, Key, bool, float, PartFrame> cases[] = {
        { seconds(0, 20), Key::Left, false, 1.0f, seconds(0, 20) },
        { seconds(10, 30), Key::Left, false, 1.0f, seconds(9, 29) },
        { seconds(2, 22), Key::Left, false, 3.0f, seconds(0, 20) },
        { seconds(10, 30), Key::Right, false, 1.0f, seconds(11, 31) },
        { seconds(99.5, 119.5), Key::Right, false, 1.0f, seconds(100, 120) },
        { seconds(100, 120), Key::Right, false, 1.0f, seconds(100, 120) },
        { seconds(10, 30), Key::Up, false, 1.0f, seconds(10, 30) },
        { seconds(10, 30), Key::Down, false, 1.0f, seconds(10, 30) },
        { seconds(10, 16), Key::Up, true, 1.0f, seconds(11, 16) },
        { seconds(11, 16), Key::Up, true, 1.0f, seconds(11, 16) },
        { seconds(10, 16), Key::Down, true, 1.0f, seconds(10, 15) },
        { seconds(10, 15), Key::Down, true, 1.0f, seconds(10, 15) },
        { seconds(10, 16), Key::Left, true, 2.0f, seconds(8, 16) },
        { seconds(10, 16), Key::Right, true, 2.0f, seconds(10, 18) },
        { seconds(100, 120), Key::Right, true, 1.0f, seconds(100, 120) },
        { seconds(10, 70), Key::Left, true, 1.0f, seconds(10, 70) },
    };
    for (const auto& [part, key, option, step, result] : cases) {
        SCOPED_TRACE(describe(part) + " key " + std::to_string(int(key)) + (option ? " with Alt" : ""));
        const auto pressed = twoMinutes.arrowKey(part, key, option, step);
        expectFrame(pressed.part, result);
        EXPECT_EQ(pressed.changed, !(result == part));
    }
    // A whole file shorter than the minimum, or nothing loaded: no key changes anything.
    for (const auto& [editing, part] : { std::pair { &threeSeconds, seconds(0, 3) },
             std::pair { &nothingLoaded, anyPart }, std::pair { &staleWidth, anyPart } }) {
        for (Key key : { Key::Left, Key::Right, Key::Up, Key::Down }) {
            for (bool option : { false, true }) {
                const auto pressed = editing->arrowKey(part, key, option, 1.0f);
                EXPECT_FALSE(pressed.changed);
                expectFrame(pressed.part, part);
            }
        }
    }
    EXPECT_FALSE(nothingLoaded.isLoaded());
}

} // namespace
