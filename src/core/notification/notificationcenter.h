#pragma once
// The process-wide notification centre: named notifications carrying a sender and a
// user-info map, delivered to the observers registered for that name and/or sender.
//
// Thread contract:
// - addObserver, removeObserver, post, postOnMainThread and enqueue may be called from
//   any thread.
// - Handlers always run on the main thread: the thread of QCoreApplication::instance(),
//   or, while there is no application object, the thread that posts (there is no event
//   loop to hand over to then). The centre moves itself to the application's thread when
//   it is created after the application object.
// - post() on the main thread delivers before it returns; from another thread it hands
//   the notification to the main thread's event loop and returns at once.
//   Notifications handed over from one thread arrive in the order they were posted.
//   postOnMainThread(wait = true) from another thread blocks until the handlers have run
//   (or the centre is destroyed), so its caller must not hold anything the main thread
//   may be waiting for.
// - The observer table is guarded by a mutex that is never held while a handler runs,
//   so handlers may post, add and remove observers freely.
// - Delivery takes a snapshot of the matching observers; an observer removed during a
//   delivery (by a handler, or by its context being destroyed) is not called after its
//   removal, and one added during a delivery is first called for the next notification.
//   This is exact for removals made on the main thread; a removal made on another thread
//   races with a delivery already under way, which may still call the handler once.
// - A context object is meant to live on the main thread (windows and controllers do);
//   its observers go away when it is destroyed.

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct Notification {
    QString name;
    const void* object = nullptr; // the sender; only ever compared, never dereferenced
    QVariantMap userInfo;
};

class NotificationCenter : public QObject {
    Q_OBJECT

public:
    using ObserverId = quint64;
    using Handler = std::function<void(const Notification&)>;

    // The process's own centre, created on first use.
    static NotificationCenter& defaultCenter();

    NotificationCenter();
    ~NotificationCenter() override;

    // Calls `handler` for every notification named `name` (empty: any name) sent by
    // `sender` (null: any sender). The observer is removed when `context` is destroyed;
    // with a null context it stays until removed by its id. Ids are never 0.
    ObserverId addObserver(const QObject* context, const QString& name, const void* sender, Handler handler);
    void removeObserver(ObserverId id);
    // Removes every observer added with `context`; a null context removes nothing.
    void removeObserver(const QObject* context);

    void post(const QString& name, const void* object = nullptr, const QVariantMap& userInfo = {});
    void post(const Notification& notification);

    // As post(), and with `wait` blocks until the handlers have run. On the main thread
    // the notification is delivered directly either way.
    void postOnMainThread(const QString& name, const void* object, const QVariantMap& userInfo, bool wait);

    // Queues the notification to be posted on the main thread once the event loop has
    // dealt with the events already waiting (a low-priority posted event: every normal
    // event queued before the flush runs first). While one is pending, a notification
    // with the same name and the same sender is absorbed by it; the pending one keeps
    // its user info and its place. Without an application object there is no event loop
    // and the notification is posted at once.
    void enqueue(const QString& name, const void* object = nullptr, const QVariantMap& userInfo = {});

    // Observers currently registered; for tests and diagnostics.
    [[nodiscard]] int observerCount() const;

protected:
    bool event(QEvent* event) override;

private:
    struct Observer;
    struct Waiter;
    struct HandOver {
        Notification notification;
        std::shared_ptr<Waiter> waiter; // set when the poster waits for delivery
    };

    [[nodiscard]] static bool isMainThread();
    void handOver(const Notification& notification, const std::shared_ptr<Waiter>& waiter);
    void deliver(const Notification& notification);
    void removeWhere(const std::function<bool(const Observer&)>& predicate);

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Observer>> m_observers; // in the order they were added
    ObserverId m_nextId = 1;
    std::vector<HandOver> m_handOvers; // posted from other threads, not yet delivered
    bool m_handOverScheduled = false;
    std::vector<Notification> m_queue; // enqueued, not yet posted
    bool m_flushScheduled = false;
};
