#pragma once
// Opens web links in the user's default browser. With SONABEL_NO_EXTERNAL_OPEN=1 (the
// tests) nothing is started; the link is only logged and remembered.
//
// Main thread only.

#include <QUrl>

class LinkOpener {
public:
    // False for an empty or invalid link, or when the desktop refuses it.
    static bool open(const QUrl& url);
    // The link opened last (for tests and diagnostics).
    [[nodiscard]] static QUrl lastOpened();
};
