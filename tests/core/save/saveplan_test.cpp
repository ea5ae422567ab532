// The rules a ringtone save follows before converting: output path, part, fades, warning.

#include "core/save/saveplan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SaveRules, OutputPathsKeepSeparatorsOutOfTypedNames)
{
    const QString temp = QStringLiteral("/tmp/x/VyRingToneTemp");
    EXPECT_EQ(SaveRules::outputPath(false, temp, QStringLiteral("a/b")), temp + QStringLiteral("/ab.m4r"));
    EXPECT_EQ(SaveRules::outputPath(false, temp, QStringLiteral("My.Tone")), temp + QStringLiteral("/My.m4r"));
    EXPECT_EQ(SaveRules::outputPath(false, temp, QStringLiteral("song.mp3")), temp + QStringLiteral("/song.m4r"));
    for (const char* unusable : { "", "/", "//", ".", ".." })
        EXPECT_TRUE(SaveRules::outputPath(false, temp, QString::fromLatin1(unusable)).isEmpty()) << unusable;

    // Save As takes the picked path as it is, with ".m4r" for its extension.
    EXPECT_EQ(SaveRules::outputPath(true, temp, QStringLiteral("/home/u/My Tones/Bell.mp3")),
        QStringLiteral("/home/u/My Tones/Bell.m4r"));
    EXPECT_EQ(SaveRules::outputPath(true, temp, QStringLiteral("/home/u/v1.2/Bell")),
        QStringLiteral("/home/u/v1.2/Bell.m4r"));
    EXPECT_EQ(
        SaveRules::outputPath(true, temp, QStringLiteral("/home/u/.hidden")), QStringLiteral("/home/u/.hidden.m4r"));
}

// The fades take the shorter of the part and the pop-up; the fade-in rises from the part's
// start and the fade-out ends at its end.
TEST(SaveRules, FadesTakeTheShorterOfPartAndPopUpAndMeetThePartsEnds)
{
    struct FadeCase {
        double start, end;
        bool fadeIn;
        const char* inTitle;
        bool fadeOut;
        const char* outTitle;
        double inStart, inLength, outStart, outLength;
    };
    for (const FadeCase& c : { // A 3.4 s part: a 5 s pop-up gives 3.4 s, a 2 s pop-up 2 s.
             FadeCase { 10.0, 13.4, true, "5s", false, "1s", 10.0, 3.4, 0.0, 0.0 },
             FadeCase { 10.0, 13.4, true, "2s", true, "2s", 10.0, 2.0, 11.4, 2.0 },
             FadeCase { 0.2, 20.2, true, "3s", true, "5s", 0.2, 3.0, 15.2, 5.0 },
             // Boxes off: no fades at all, whatever the pop-ups say.
             FadeCase { 5.0, 45.0, false, "5s", false, "5s", 0.0, 0.0, 0.0, 0.0 } }) {
        SCOPED_TRACE(std::to_string(c.start) + " s, " + c.inTitle);
        SaveChoices choices;
        choices.startSeconds = c.start;
        choices.endSeconds = c.end;
        choices.sourceFolder = QStringLiteral("/t");
        choices.saveFileName = QStringLiteral("n");
        choices.fadeIn = c.fadeIn;
        choices.fadeInTitle = QString::fromLatin1(c.inTitle);
        choices.fadeOut = c.fadeOut;
        choices.fadeOutTitle = QString::fromLatin1(c.outTitle);
        choices.soundVolume = 150;
        const SavePlan plan = SaveRules::plan(choices);
        EXPECT_DOUBLE_EQ(plan.start, c.start);
        EXPECT_DOUBLE_EQ(plan.length, c.end - c.start);
        EXPECT_DOUBLE_EQ(plan.fadeInStart, c.inStart);
        EXPECT_DOUBLE_EQ(plan.fadeInLength, c.inLength);
        EXPECT_DOUBLE_EQ(plan.fadeOutStart, c.outStart);
        EXPECT_DOUBLE_EQ(plan.fadeOutLength, c.outLength);
        EXPECT_EQ(plan.saveAttribute().value(QStringLiteral("ConverteOutputVolume")).toInt(), 150);
        EXPECT_DOUBLE_EQ(plan.fadeInOutEffect().value(QStringLiteral("FadeInLength")).toDouble(), c.inLength);
    }
}

TEST(SaveRules, TheFortySecondWarningOnlyWithoutTransferAndWhenAskedFor)
{
    EXPECT_TRUE(SaveRules::needsLengthWarning(false, true, 40.5));
    EXPECT_FALSE(SaveRules::needsLengthWarning(false, true, 40.0));
    EXPECT_FALSE(SaveRules::needsLengthWarning(true, true, 55.0));
    EXPECT_FALSE(SaveRules::needsLengthWarning(false, false, 55.0));
}

} // namespace
