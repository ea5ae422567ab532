#pragma once
// The rules of the two formatters that guard typed values, as plain functions so
// that any widget (and the tests) can apply them:
//
// VyMediaTimeFormatter guards the editor's "HH:MM:SS" time fields: while typing, an edit
// is refused unless the text is still three small digit fields (the caller then beeps);
// on commit the text is normalised and always accepted.
//
// PlayTimeFormatter shows a number as "$12.34" and reads back text of that form.
//
// Stateless; safe from any thread.

class QString;
class QVariant;

class VyMediaTimeFormatter {
public:
    VyMediaTimeFormatter() = delete;

    // A string is shown as it is; anything else shows nothing.
    [[nodiscard]] static QString stringForObjectValue(const QVariant& value);

    // The committed value of the typed text; never fails. The text is split at ":";
    // each of the first three pieces shorter than two characters gets one "0" in front,
    // minutes above 59 become "59", and the result is "H:M:S" of those three pieces.
    // Pieces after the third are dropped; pieces the text lacks (at the end: "12:30"
    // lacks the seconds) read as "00", so the result always has three fields.
    [[nodiscard]] static QString normalizedString(const QString& text);

    // Whether an edit leaving `text` in the field is accepted: exactly three pieces
    // separated by ":", each of ASCII digits only and at most two characters (an empty
    // piece is allowed, so a field can be cleared while typing), seconds at most 59 and
    // minutes at most 60 (60 is let through here and capped on commit).
    [[nodiscard]] static bool isPartialStringValid(const QString& text);
};

class PlayTimeFormatter {
public:
    PlayTimeFormatter() = delete;

    // "$%.2f" of the value as a float when it is a number (integer or floating type;
    // a bool or a numeric string is not a number); nothing otherwise.
    [[nodiscard]] static QString stringForObjectValue(const QVariant& value);

    // Reads text of the form [$]float. White space around the "$" and the number is
    // skipped, anything else after the number is refused. On success stores the value
    // (read as a float, as the field holds it) and answers true; otherwise leaves
    // `value` alone, stores the error text "Couldn’t convert  to float" and answers
    // false. Either pointer may be null.
    static bool getObjectValue(const QString& text, double* value, QString* errorDescription);
};
