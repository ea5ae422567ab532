#pragma once
// The manager's one worker thread: reading the lists, the orphan sweep, moves and drops,
// deletes and the eject all block on the file system (a phone link can stall), so they run
// here, one job after another in the order they were asked for. A job hands results to the
// main thread through `post`; what it posts runs there in order, and is dropped when the
// worker is gone.
//
// Main thread: every call. Jobs run on the worker and must not touch widgets.

#include <QObject>

#include <deque>
#include <functional>
#include <stop_token>
#include <thread>

class ManagerWorker : public QObject {
    Q_OBJECT

public:
    using Post = std::function<void(std::function<void()>)>;
    using Job = std::function<void(std::stop_token, const Post& post)>;

    explicit ManagerWorker(QObject* parent = nullptr);
    // Asks the running job to stop and waits for it; queued jobs never run.
    ~ManagerWorker() override;

    // Runs `job` when the jobs asked for before it have ended.
    void enqueue(Job job);
    // A job is running or waiting.
    [[nodiscard]] bool busy() const { return m_running || !m_queue.empty(); }

private:
    void startNext();

    std::deque<Job> m_queue;
    std::jthread m_thread;
    bool m_running = false;
};
