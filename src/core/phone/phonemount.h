#pragma once
// The phone's mount folder: whether something is mounted there, unmounting it, and
// removing the folder. The folder is only ever removed as an empty directory: after a
// failed unmount it still shows the phone's media, and a recursive delete would wipe it.
// Blocking (the unmount commands run to completion); safe from any thread.

#include <QString>

#include <atomic>
#include <thread>

namespace PhoneMount {

// True when `path` is the root of a mount (its device differs from its parent's), or
// when it cannot be looked at because the file system behind it has gone away.
[[nodiscard]] bool isMounted(const QString& path);

// Runs `fusermount3 -u`, `fusermount -u` and `umount` in turn (argument lists, each with
// a time limit) until the folder is no longer a mount. True when nothing is mounted there
// afterwards.
bool unmount(const QString& path, int timeoutMs = 5000);

// Removes the folder when it is empty. True when no folder is left at `path`.
bool removeEmptyFolder(const QString& path);

// unmount() when something is mounted there, then removeEmptyFolder(). Logs what it does.
bool unmountAndRemove(const QString& path);

// Runs unmountAndRemove() on a worker thread, so that the blocking unmount commands never
// hold up the window; one clean-up at a time.
class BackgroundUnmount {
public:
    BackgroundUnmount() = default;
    BackgroundUnmount(const BackgroundUnmount&) = delete;
    BackgroundUnmount& operator=(const BackgroundUnmount&) = delete;
    ~BackgroundUnmount() { wait(); }

    // Starts the clean-up of `path`; false, doing nothing, while one is still running.
    bool start(const QString& path);
    [[nodiscard]] bool busy() const { return m_busy.load(); }
    void wait();

private:
    std::thread m_worker;
    std::atomic<bool> m_busy { false };
};

} // namespace PhoneMount
