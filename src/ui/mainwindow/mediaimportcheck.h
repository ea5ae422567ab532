#pragma once
// Checks a file for the main window's loading path off the main thread: the decoder
// opens the whole container, which can take a while for a large file or a slow disk.
// One check runs at a time; the verdict comes back to the main thread through
// finished().
//
// Threads: start(), cancel() and the destructor on the main thread; the worker only
// reads its own copy of the path and hands its result over through a queued call.

#include "core/mediacheck/mediafilecheck.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

struct MediaImportVerdict {
    QString path;
    MediaFileCheck::Verdict verdict = MediaFileCheck::Verdict::CannotImport;
    QString message; // the alert text when refused
    double duration = 0.0; // seconds, when accepted
    bool hasPicture = false; // a video, or a sound file with a cover picture
};

class MediaImportCheck : public QObject {
    Q_OBJECT

public:
    explicit MediaImportCheck(QObject* parent = nullptr);
    ~MediaImportCheck() override;

    // Starts checking `path`; a check still running is abandoned (its verdict dropped).
    void start(const QString& path);
    // Drops the running check's verdict and waits for its thread.
    void cancel();
    [[nodiscard]] bool isRunning() const { return m_running; }

    // Blocking: the same verdict, computed on the calling thread.
    [[nodiscard]] static MediaImportVerdict checkNow(const QString& path);

Q_SIGNALS:
    void finished(const MediaImportVerdict& verdict);

private:
    void deliver(int job, const MediaImportVerdict& verdict);

    std::thread m_worker;
    std::atomic<int> m_job { 0 };
    bool m_running = false; // main thread only
};
