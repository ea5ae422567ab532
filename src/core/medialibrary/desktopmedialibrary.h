#pragma once
// The audio and video files under the user's music and videos folders, with their tags,
// for desktops without a library file. The program's own folders under the music folder
// (its ringtone music folder and the ringtone library) are left out: their files are
// listed as ringtones and recordings.
//
// refresh() walks on a worker thread of the object's own; music() and movies() give the
// last finished walk from any thread; walkFinished is emitted on the object's thread.

#include "core/medialibrary/mediaiteminfo.h"

#include <QObject>

#include <memory>

class DesktopMediaLibrary : public QObject {
    Q_OBJECT

public:
    explicit DesktopMediaLibrary(QObject* parent = nullptr);
    ~DesktopMediaLibrary() override; // stops and joins the walk

    // Starts a walk unless one is running (then one more follows it).
    void refresh();
    // Walks on the calling thread (the command line).
    void walkNow();

    [[nodiscard]] QList<MediaItemInfo> music() const;
    [[nodiscard]] QList<MediaItemInfo> movies() const;

Q_SIGNALS:
    // A walk ended; `changed` when its files differ from the previous walk's.
    void walkFinished(bool changed);

private:
    struct State;
    std::shared_ptr<State> m_state;
};
