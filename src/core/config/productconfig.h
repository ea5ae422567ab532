#pragma once
// The product configuration: the shipped "ProductConfig.xml" (edition switches, links,
// version) beside the executable, read-only, and the user's own copy of the same format
// in $XDG_CONFIG_HOME/corvane-sonabel/ holding the user's preferences. The user's keys
// are read from the copy when it has them (else from the shipped defaults) and written
// only there; every other key is always read from the shipped file, so an upgrade's
// version and links are never hidden behind an old copy.
//
// Threads: any; calls are serialised.

#include <QString>
#include <QStringList>

#include <optional>

class ProductConfig {
public:
    static constexpr auto kRootName = "config_root";

    // The shared reader's lookup; logs "productconfig didn't exist!" and gives none
    // when the shipped file is missing.
    [[nodiscard]] static std::optional<QString> getValueForKey(const QString& key);
    // Writes one of the user's keys to the user's copy (made on the first write).
    // False, logged, for other keys or when the write fails.
    static bool setValue(const QString& value, const QString& key);

    // True when the key reads exactly "YES" (a missing key reads as "NO").
    [[nodiscard]] static bool isYes(const QString& key);
    // True when an edition switch reads exactly "1".
    [[nodiscard]] static bool isSwitchOn(const QString& key);

    [[nodiscard]] static QString shippedPath();
    [[nodiscard]] static QString userPath();
    [[nodiscard]] static const QStringList& userKeys();

    // Forgets the readers so the next call opens the files afresh (tests, and after
    // the files were changed behind our back).
    static void reload();
};
