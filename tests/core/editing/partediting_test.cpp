#include "core/editing/partediting.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// The initial zoom: 0.01 pixels per millisecond, 10 pixels per second.
constexpr double kMoveDx = 0.01;
constexpr double kSecond = 10.0;
constexpr double kFiveSeconds = 50.0;
constexpr double kSixtySeconds = 600.0;

using StartAction = PartEditing::StartResult::Action;
using EndAction = PartEditing::EndResult::Action;
using Key = PartEditing::Key;

PartEditing fileOfSeconds(double seconds)
{
    return PartEditing(ChosenPart(kMoveDx, seconds * kSecond), seconds);
}

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

void expectInsideFile(const PartEditing& editing, PartFrame part)
{
    EXPECT_GE(part.x, 0.0) << describe(part);
    EXPECT_LE(part.right(), editing.fileEnd() + 1e-9) << describe(part);
}

QString alertFor(int seconds)
{
    return QStringLiteral("The output file duration should be %1 s at least.It will be adjusted to %1 s automatically.")
        .arg(seconds);
}

TEST(PartEditingEnd, TooShortShowsTheAlertAndTheAlertMakesFiveSecondsFromTheStart)
{
    const PartEditing editing = fileOfSeconds(120);
    const PartFrame part = seconds(10, 40);

    const auto typed = editing.typedEnd(part, QStringLiteral("00:00:12"));
    EXPECT_EQ(typed.action, EndAction::ShowLengthAlert);
    EXPECT_FALSE(typed.beep);
    expectFrame(typed.part, seconds(10, 15));
    EXPECT_EQ(typed.endText, QStringLiteral("00:00:15"));
    EXPECT_EQ(editing.lengthAlertText(), alertFor(5));

    const auto after = editing.afterLengthAlert(typed.part);
    expectFrame(after.part, seconds(10, 15));
    EXPECT_DOUBLE_EQ(after.part.width, kFiveSeconds);
    EXPECT_EQ(after.startText, QStringLiteral("00:00:10"));
    EXPECT_EQ(after.endText, QStringLiteral("00:00:15"));

    // The alert's end also works from the untouched part.
    expectFrame(editing.afterLengthAlert(part).part, seconds(10, 15));
}

TEST(PartEditingEnd, BeforeTheStartShowsTheAlertWithTheEndFiveSecondsOnAtOnce)
{
    const PartEditing editing = fileOfSeconds(120);
    const PartFrame part = seconds(10, 40);
    const auto typed = editing.typedEnd(part, QStringLiteral("00:00:04"));
    EXPECT_EQ(typed.action, EndAction::ShowLengthAlert);
    EXPECT_FALSE(typed.beep);
    expectFrame(typed.part, part); // the part waits for the alert
    EXPECT_EQ(typed.endText, QStringLiteral("00:00:15"));

    // Near the file's end the field shows where the part will really end.
    const auto nearEnd = editing.typedEnd(seconds(118, 120), QStringLiteral("00:00:04"));
    EXPECT_EQ(nearEnd.action, EndAction::ShowLengthAlert);
    EXPECT_EQ(nearEnd.endText, QStringLiteral("00:02:00"));
    expectFrame(editing.afterLengthAlert(seconds(118, 120)).part, seconds(115, 120));
}

TEST(PartEditingEnd, BeyondTheFileBeepsAndEndsAtTheFilesEnd)
{
    const PartEditing editing = fileOfSeconds(120);

    const auto near = editing.typedEnd(seconds(100, 110), QStringLiteral("00:05:00"));
    EXPECT_EQ(near.action, EndAction::Apply);
    EXPECT_TRUE(near.beep);
    expectFrame(near.part, seconds(100, 120));
    EXPECT_EQ(near.endText, QStringLiteral("00:02:00"));

    // Far from the end the 60 s cap wins.
    const auto far = editing.typedEnd(seconds(10, 40), QStringLiteral("00:05:00"));
    EXPECT_EQ(far.action, EndAction::Apply);
    EXPECT_TRUE(far.beep);
    expectFrame(far.part, seconds(10, 70));
    EXPECT_DOUBLE_EQ(far.part.width, kSixtySeconds);
    EXPECT_EQ(far.endText, QStringLiteral("00:01:10"));

    // Less than 5 s before the end: the part keeps 5 s and stays inside the file.
    const auto tight = editing.typedEnd(seconds(118, 119), QStringLiteral("00:03:00"));
    EXPECT_EQ(tight.action, EndAction::ShowLengthAlert);
    EXPECT_TRUE(tight.beep);
    expectFrame(tight.part, seconds(115, 120));
    expectInsideFile(editing, tight.part);

    // The file's own end is not beyond it.
    const auto exact = editing.typedEnd(seconds(100, 110), QStringLiteral("00:02:00"));
    EXPECT_FALSE(exact.beep);
    expectFrame(exact.part, seconds(100, 120));
}

TEST(PartEditingEnd, FilesEndIsTheShorterOfWaveformAndLength)
{
    // A waveform drawn a little longer than the file: the part may not run into the padding.
    const PartEditing longWaveform(ChosenPart(kMoveDx, 1205.0), 120.0);
    EXPECT_DOUBLE_EQ(longWaveform.fileEnd(), 1200.0);
    const auto typed = longWaveform.typedEnd(seconds(100, 110), QStringLiteral("00:02:30"));
    EXPECT_TRUE(typed.beep);
    expectFrame(typed.part, seconds(100, 120));

    // A waveform a little shorter than the file: the part stays on the drawn waveform.
    const PartEditing shortWaveform(ChosenPart(kMoveDx, 1195.0), 120.0);
    EXPECT_DOUBLE_EQ(shortWaveform.fileEnd(), 1195.0);
    EXPECT_EQ(shortWaveform.arrowKey({ 990.0, 200.0 }, Key::Right, false, 1.0f).part.right(), 1195.0);
}

TEST(PartEditingEnd, LongerThanSixtySecondsIsCutWithoutBeeping)
{
    const PartEditing editing = fileOfSeconds(300);
    const auto typed = editing.typedEnd(seconds(10, 40), QStringLiteral("00:01:30"));
    EXPECT_EQ(typed.action, EndAction::Apply);
    EXPECT_FALSE(typed.beep);
    expectFrame(typed.part, seconds(10, 70));
    EXPECT_EQ(typed.endText, QStringLiteral("00:01:10"));
}

TEST(PartEditingEnd, UnchangedEndDoesNothingAndAValidEndApplies)
{
    const PartEditing editing = fileOfSeconds(120);
    const PartFrame part = seconds(10, 40);
    const auto same = editing.typedEnd(part, QStringLiteral("00:00:40"));
    EXPECT_EQ(same.action, EndAction::Nothing);
    EXPECT_FALSE(same.beep);
    expectFrame(same.part, part);

    const auto shorter = editing.typedEnd(part, QStringLiteral("00:00:30"));
    EXPECT_EQ(shorter.action, EndAction::Apply);
    expectFrame(shorter.part, seconds(10, 30));
    EXPECT_EQ(shorter.endText, QStringLiteral("00:00:30"));

    // Exactly 5 s is allowed.
    const auto five = editing.typedEnd(part, QStringLiteral("00:00:15"));
    EXPECT_EQ(five.action, EndAction::Apply);
    expectFrame(five.part, seconds(10, 15));
}

TEST(PartEditingStart, AtOrBeyondTheFilesWholeSecondsRestoresBothFields)
{
    // 120.7 s: the last whole second is 120.
    const PartEditing editing = fileOfSeconds(120.7);
    const PartFrame part = seconds(10, 40);
    for (const QString& text : { QStringLiteral("00:02:00"), QStringLiteral("00:02:30"), QStringLiteral("01:00:00") }) {
        const auto typed = editing.typedStart(part, text);
        EXPECT_EQ(typed.action, StartAction::RestoreFields) << text.toStdString();
        expectFrame(typed.part, part);
        EXPECT_EQ(typed.startText, QStringLiteral("00:00:10"));
        EXPECT_EQ(typed.endText, QStringLiteral("00:00:40"));
    }
    // The same start also just restores the fields (a retyped or reformatted value).
    const auto same = editing.typedStart(part, QStringLiteral("0:0:10"));
    EXPECT_EQ(same.action, StartAction::RestoreFields);
    EXPECT_EQ(same.startText, QStringLiteral("00:00:10"));
    EXPECT_EQ(same.endText, QStringLiteral("00:00:40"));
}

TEST(PartEditingStart, MovedPartIsPulledBackInsideTheFile)
{
    const PartEditing editing = fileOfSeconds(120);
    const auto typed = editing.typedStart(seconds(10, 50), QStringLiteral("00:01:50"));
    EXPECT_EQ(typed.action, StartAction::Apply);
    expectFrame(typed.part, seconds(80, 120));
    expectInsideFile(editing, typed.part);
    EXPECT_EQ(typed.startText, QStringLiteral("00:01:20"));
    EXPECT_EQ(typed.endText, QStringLiteral("00:02:00"));
}

TEST(PartEditingStart, MovingLeftOrPastTheEndKeepsTheLength)
{
    const PartEditing editing = fileOfSeconds(120);
    const auto left = editing.typedStart(seconds(30, 50), QStringLiteral("00:00:10"));
    EXPECT_EQ(left.action, StartAction::Apply);
    expectFrame(left.part, seconds(10, 30));
    EXPECT_EQ(left.startText, QStringLiteral("00:00:10"));
    EXPECT_EQ(left.endText, QStringLiteral("00:00:30"));

    const auto pastEnd = editing.typedStart(seconds(10, 20), QStringLiteral("00:01:00"));
    EXPECT_EQ(pastEnd.action, StartAction::Apply);
    expectFrame(pastEnd.part, seconds(60, 70));

    // Onto the old end exactly: still a move, not a zero-length part.
    const auto onEnd = editing.typedStart(seconds(10, 20), QStringLiteral("00:00:20"));
    EXPECT_EQ(onEnd.action, StartAction::Apply);
    expectFrame(onEnd.part, seconds(20, 30));

    // A negative time reads as the file's start.
    const auto negative = editing.typedStart(seconds(10, 20), QStringLiteral("-1:00:00"));
    EXPECT_EQ(negative.action, StartAction::Apply);
    expectFrame(negative.part, seconds(0, 10));
}

TEST(PartEditingStart, MovingIntoThePartKeepsItsEndOrAlertsBelowFiveSeconds)
{
    const PartEditing editing = fileOfSeconds(120);
    const PartFrame part = seconds(10, 50);

    const auto inside = editing.typedStart(part, QStringLiteral("00:00:30"));
    EXPECT_EQ(inside.action, StartAction::Apply);
    expectFrame(inside.part, seconds(30, 50));
    EXPECT_EQ(inside.startText, QStringLiteral("00:00:30"));
    EXPECT_EQ(inside.endText, QStringLiteral("00:00:50"));

    const auto exactlyFive = editing.typedStart(part, QStringLiteral("00:00:45"));
    EXPECT_EQ(exactlyFive.action, StartAction::Apply);
    expectFrame(exactlyFive.part, seconds(45, 50));

    const auto tooShort = editing.typedStart(part, QStringLiteral("00:00:47"));
    EXPECT_EQ(tooShort.action, StartAction::ShowLengthAlert);
    expectFrame(tooShort.part, part);
    expectFrame(editing.afterLengthAlert(tooShort.part).part, seconds(10, 15));
}

TEST(PartEditingKeys, StepIsTheKeyDistanceInPixels)
{
    const PartEditing editing = fileOfSeconds(120);
    EXPECT_DOUBLE_EQ(editing.keyStepPixels(1.0f), kSecond);
    EXPECT_DOUBLE_EQ(editing.keyStepPixels(0.5f), kSecond / 2);
    EXPECT_DOUBLE_EQ(editing.keyStepPixels(5.0f), kFiveSeconds);
}

TEST(PartEditingKeys, LeftStopsAtTheStartRightAtTheFilesEnd)
{
    const PartEditing editing = fileOfSeconds(120);

    const auto atStart = editing.arrowKey(seconds(0, 20), Key::Left, false, 1.0f);
    EXPECT_FALSE(atStart.changed);
    expectFrame(atStart.part, seconds(0, 20));

    const auto left = editing.arrowKey(seconds(10, 30), Key::Left, false, 1.0f);
    EXPECT_TRUE(left.changed);
    expectFrame(left.part, seconds(9, 29));
    expectFrame(editing.arrowKey(seconds(2, 22), Key::Left, false, 3.0f).part, seconds(0, 20));

    const auto right = editing.arrowKey(seconds(10, 30), Key::Right, false, 1.0f);
    EXPECT_TRUE(right.changed);
    expectFrame(right.part, seconds(11, 31));

    const auto almost = editing.arrowKey(seconds(99.5, 119.5), Key::Right, false, 1.0f);
    EXPECT_TRUE(almost.changed);
    expectFrame(almost.part, seconds(100, 120));

    const auto atEnd = editing.arrowKey(seconds(100, 120), Key::Right, false, 1.0f);
    EXPECT_FALSE(atEnd.changed);
    expectFrame(atEnd.part, seconds(100, 120));
}

TEST(PartEditingKeys, UpAndDownWithoutOptionDoNothing)
{
    const PartEditing editing = fileOfSeconds(120);
    for (Key key : { Key::Up, Key::Down }) {
        const auto pressed = editing.arrowKey(seconds(10, 30), key, false, 1.0f);
        EXPECT_FALSE(pressed.changed);
        expectFrame(pressed.part, seconds(10, 30));
    }
}

TEST(PartEditingKeys, OptionGrowsAndShrinksWithinTheLimits)
{
    const PartEditing editing = fileOfSeconds(120);
    const PartFrame six = seconds(10, 16);

    const auto up = editing.arrowKey(six, Key::Up, true, 1.0f);
    EXPECT_TRUE(up.changed);
    expectFrame(up.part, seconds(11, 16));
    EXPECT_DOUBLE_EQ(up.part.width, kFiveSeconds);
    // At the floor nothing more happens.
    EXPECT_FALSE(editing.arrowKey(up.part, Key::Up, true, 1.0f).changed);

    const auto down = editing.arrowKey(six, Key::Down, true, 1.0f);
    EXPECT_TRUE(down.changed);
    expectFrame(down.part, seconds(10, 15));
    EXPECT_FALSE(editing.arrowKey(down.part, Key::Down, true, 1.0f).changed);

    const auto leftEdge = editing.arrowKey(six, Key::Left, true, 2.0f);
    EXPECT_TRUE(leftEdge.changed);
    expectFrame(leftEdge.part, seconds(8, 16));

    const auto rightEdge = editing.arrowKey(six, Key::Right, true, 2.0f);
    EXPECT_TRUE(rightEdge.changed);
    expectFrame(rightEdge.part, seconds(10, 18));

    const auto atEnd = editing.arrowKey(seconds(100, 120), Key::Right, true, 1.0f);
    EXPECT_FALSE(atEnd.changed);
    expectFrame(atEnd.part, seconds(100, 120));

    const auto atSixty = editing.arrowKey(seconds(10, 70), Key::Left, true, 1.0f);
    EXPECT_FALSE(atSixty.changed);
    expectFrame(atSixty.part, seconds(10, 70));
}

TEST(PartEditingShortFile, MinimumIsTheWholeFile)
{
    const PartEditing editing = fileOfSeconds(3);
    EXPECT_DOUBLE_EQ(editing.minimumWidth(), 3 * kSecond);
    EXPECT_EQ(editing.minimumSeconds(), 3);
    EXPECT_EQ(editing.lengthAlertText(), alertFor(3));
    EXPECT_EQ(fileOfSeconds(120).lengthAlertText(), alertFor(5));

    const PartFrame whole = seconds(0, 3);
    const auto typed = editing.typedEnd(whole, QStringLiteral("00:00:01"));
    EXPECT_EQ(typed.action, EndAction::ShowLengthAlert);
    expectFrame(typed.part, whole);

    const auto after = editing.afterLengthAlert(seconds(1, 2));
    expectFrame(after.part, whole);
    EXPECT_EQ(after.startText, QStringLiteral("00:00:00"));
    EXPECT_EQ(after.endText, QStringLiteral("00:00:03"));

    const auto start = editing.typedStart(whole, QStringLiteral("00:00:01"));
    EXPECT_EQ(start.action, StartAction::ShowLengthAlert);
    expectFrame(start.part, whole);

    for (Key key : { Key::Left, Key::Right, Key::Up, Key::Down }) {
        for (bool option : { false, true }) {
            const auto pressed = editing.arrowKey(whole, key, option, 1.0f);
            EXPECT_FALSE(pressed.changed);
            expectFrame(pressed.part, whole);
        }
    }
}

TEST(PartEditingFade, TitlesAndTheirSeconds)
{
    const QStringList titles = PartEditing::fadeTitles();
    EXPECT_EQ(titles,
        QStringList({ QStringLiteral("1s"), QStringLiteral("2s"), QStringLiteral("3s"), QStringLiteral("4s"),
            QStringLiteral("5s") }));
    for (qsizetype i = 0; i < titles.size(); ++i)
        EXPECT_EQ(PartEditing::fadeSeconds(titles.at(i)), i + 1);
    EXPECT_EQ(PartEditing::fadeSeconds(QStringLiteral("10s")), 10);
    EXPECT_EQ(PartEditing::fadeSeconds(QStringLiteral(" 3s")), 3);
    EXPECT_EQ(PartEditing::fadeSeconds(QString()), 0);
    EXPECT_EQ(PartEditing::fadeSeconds(QStringLiteral("s")), 0);
}

TEST(PartEditingNothingLoaded, EveryOperationLeavesThePart)
{
    const PartEditing editing(ChosenPart(0.0, 0.0), 30.0);
    EXPECT_FALSE(editing.isLoaded());
    const PartFrame part { 12.0, 34.0 };

    const auto start = editing.typedStart(part, QStringLiteral("00:00:05"));
    EXPECT_EQ(start.action, StartAction::Nothing);
    expectFrame(start.part, part);

    const auto end = editing.typedEnd(part, QStringLiteral("00:00:05"));
    EXPECT_EQ(end.action, EndAction::Nothing);
    EXPECT_FALSE(end.beep);
    expectFrame(end.part, part);

    expectFrame(editing.afterLengthAlert(part).part, part);
    EXPECT_EQ(editing.lengthAlertText(), alertFor(5));
    EXPECT_DOUBLE_EQ(editing.keyStepPixels(1.0f), 0.0);
    for (Key key : { Key::Left, Key::Right, Key::Up, Key::Down }) {
        for (bool option : { false, true }) {
            const auto pressed = editing.arrowKey(part, key, option, 1.0f);
            EXPECT_FALSE(pressed.changed);
            expectFrame(pressed.part, part);
        }
    }

    // A waveform width left over from the last file does not count while the scale is 0.
    const PartEditing stale(ChosenPart(0.0, 682.0), 30.0);
    EXPECT_EQ(stale.typedEnd(part, QStringLiteral("00:00:05")).action, EndAction::Nothing);
    EXPECT_FALSE(stale.arrowKey(part, Key::Right, false, 1.0f).changed);
}

} // namespace
