#pragma once
// What the editor's start and end fields, the length alert, the arrow keys and the fade
// pop-ups do to the chosen part. Results only: the editor applies them to the waveform
// view, its fields and its alert, so all of this is testable without widgets.
//
// The file's end in pixels is the smaller of the drawn waveform's width and the file's
// length at the current scale: the two can differ by a point, and the part must lie inside
// both. With nothing loaded (no scale) every operation leaves the part as it is.
//
// A value class: copy it per file or per zoom; safe to use from any thread.

#include "core/editing/chosenpart.h"

#include <QString>
#include <QtCore/qcontainerfwd.h>

class PartEditing {
public:
    // The view's rules (scale and waveform width) and the file's length in seconds.
    PartEditing(const ChosenPart& rules, double movieLen);

    // The start field after editing.
    struct StartResult {
        enum class Action {
            Nothing, // nothing loaded
            RestoreFields, // start unchanged or past the file: show the current part's times again
            ShowLengthAlert, // less than the minimum would remain: part unchanged until the alert ends
            Apply, // set `part`
        };
        Action action = Action::Nothing;
        PartFrame part;
        // With ShowLengthAlert, the part once the alert ends: the minimum from the typed
        // start, or the file's last minimum when that would pass its end.
        PartFrame afterAlert;
        QString startText;
        QString endText;
    };
    [[nodiscard]] StartResult typedStart(PartFrame current, const QString& text) const;

    // The end field after editing. With ShowLengthAlert, `part` is set too (it may be the
    // unchanged part) and `endText` goes into the end field at once; `afterAlert` is the
    // part once the alert closes.
    struct EndResult {
        enum class Action {
            Nothing, // end unchanged, or nothing loaded
            ShowLengthAlert,
            Apply,
        };
        Action action = Action::Nothing;
        bool beep = false; // the end was past the file's end and was moved to it
        PartFrame part;
        PartFrame afterAlert;
        QString endText;
    };
    [[nodiscard]] EndResult typedEnd(PartFrame current, const QString& text) const;

    // The alert text, with the minimum in whole seconds.
    [[nodiscard]] QString lengthAlertText() const;

    struct PartTexts {
        PartFrame part;
        QString startText;
        QString endText;
    };
    // The part when the alert closes: exactly the minimum long from its start, moved back
    // only when that would reach past the file's end.
    [[nodiscard]] PartTexts afterLengthAlert(PartFrame current) const;

    enum class Key { Left, Right, Up, Down };
    struct KeyResult {
        PartFrame part;
        bool changed = false;
    };
    // The arrow-key step in pixels for a step of `keyMoveDist` seconds.
    [[nodiscard]] double keyStepPixels(float keyMoveDist) const;
    // With Alt the part grows (Left, Right) or shrinks (Up, Down) at one edge; without it
    // Left and Right move the whole part and Up and Down do nothing.
    [[nodiscard]] KeyResult arrowKey(PartFrame current, Key key, bool alt, float keyMoveDist) const;

    // Fade lengths: the pop-ups' titles and the seconds a title stands for ("3s" is 3).
    [[nodiscard]] static QStringList fadeTitles();
    [[nodiscard]] static int fadeSeconds(const QString& title);

    // What the start and end fields show for an edge at `ms`: whole seconds inside the
    // part (the start rounded up, the end down, after rounding to the millisecond), so
    // that times read off the fields and typed back never reach outside it.
    [[nodiscard]] static QString startFieldText(double ms);
    [[nodiscard]] static QString endFieldText(double ms);

    [[nodiscard]] bool isLoaded() const;
    // The file's end in pixels and the shortest part allowed (5 s, or the whole file).
    [[nodiscard]] double fileEnd() const { return m_rules.waveformWidth(); }
    [[nodiscard]] double minimumWidth() const { return m_rules.minimumWidth(); }
    [[nodiscard]] int minimumSeconds() const;

private:
    [[nodiscard]] PartFrame insideFile(PartFrame part) const;

    ChosenPart m_rules; // bounded by the file's end rather than the waveform's width
    double m_fileSeconds;
};
