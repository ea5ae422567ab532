#include "core/notification/notificationcenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <utility>

// Cross-thread traffic goes through our own queues under m_mutex; the posted QEvent only
// wakes the main thread. The event is allocated before the lock is taken and event()
// takes the lock before looking at it, so the hand-over is ordered by a mutex that race
// detectors see (Qt's own event-queue locks are invisible to an uninstrumented build).

struct NotificationCenter::Observer {
    ObserverId id = 0;
    const QObject* context = nullptr;
    QString name;
    const void* sender = nullptr;
    Handler handler;
    QMetaObject::Connection contextWatch;
    // Cleared on removal: a delivery holding a snapshot checks it before each call.
    std::atomic<bool> active { true };

    [[nodiscard]] bool matches(const Notification& n) const
    {
        return (name.isEmpty() || name == n.name) && (!sender || sender == n.object);
    }
};

struct NotificationCenter::Waiter {
    std::mutex mutex;
    std::condition_variable condition;
    bool done = false;

    void release()
    {
        const std::lock_guard lock(mutex);
        done = true;
        condition.notify_all();
    }
};

namespace {

QEvent::Type handOverEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type flushEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace

NotificationCenter& NotificationCenter::defaultCenter()
{
    // Deliberately never destroyed: objects torn down during static destruction may
    // still remove their observers, and must not find the centre gone.
    static auto* center = new NotificationCenter;
    return *center;
}

NotificationCenter::NotificationCenter()
{
    // The wake-up events go to this object, so it has to live where the handlers run.
    if (const QCoreApplication* app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());
}

NotificationCenter::~NotificationCenter()
{
    // QObject's destructor drops the context watches and our pending events. Posters
    // still waiting are let go: nothing will deliver their notifications now.
    const std::lock_guard lock(m_mutex);
    for (const auto& observer : m_observers)
        observer->active.store(false, std::memory_order_release);
    m_observers.clear();
    for (const HandOver& pending : m_handOvers) {
        if (pending.waiter)
            pending.waiter->release();
    }
}

NotificationCenter::ObserverId NotificationCenter::addObserver(
    const QObject* context, const QString& name, const void* sender, Handler handler)
{
    auto observer = std::make_shared<Observer>();
    observer->context = context;
    observer->name = name;
    observer->sender = sender;
    observer->handler = std::move(handler);
    if (context) {
        // Direct, so the observers are gone before the destroyed object's memory is,
        // whichever thread destroys it.
        observer->contextWatch = connect(
            context, &QObject::destroyed, this, [this, context] { removeObserver(context); }, Qt::DirectConnection);
    }
    const std::lock_guard lock(m_mutex);
    observer->id = m_nextId++;
    m_observers.push_back(observer);
    return observer->id;
}

void NotificationCenter::removeObserver(ObserverId id)
{
    removeWhere([id](const Observer& o) { return o.id == id; });
}

void NotificationCenter::removeObserver(const QObject* context)
{
    if (context)
        removeWhere([context](const Observer& o) { return o.context == context; });
}

void NotificationCenter::removeWhere(const std::function<bool(const Observer&)>& predicate)
{
    std::vector<QMetaObject::Connection> watches;
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_observers, [&](const std::shared_ptr<Observer>& o) {
            if (!predicate(*o))
                return false;
            o->active.store(false, std::memory_order_release);
            watches.push_back(o->contextWatch);
            return true;
        });
    }
    // Outside the lock: disconnecting takes Qt's own locks.
    for (const auto& watch : watches)
        disconnect(watch);
}

int NotificationCenter::observerCount() const
{
    const std::lock_guard lock(m_mutex);
    return int(m_observers.size());
}

bool NotificationCenter::isMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void NotificationCenter::post(const QString& name, const void* object, const QVariantMap& userInfo)
{
    post(Notification { name, object, userInfo });
}

void NotificationCenter::post(const Notification& notification)
{
    if (isMainThread())
        deliver(notification);
    else
        handOver(notification, nullptr);
}

void NotificationCenter::postOnMainThread(
    const QString& name, const void* object, const QVariantMap& userInfo, bool wait)
{
    const Notification notification { name, object, userInfo };
    if (isMainThread()) {
        // Waiting here would wait for ourselves.
        deliver(notification);
        return;
    }
    if (!wait) {
        handOver(notification, nullptr);
        return;
    }
    const auto waiter = std::make_shared<Waiter>();
    handOver(notification, waiter);
    std::unique_lock lock(waiter->mutex);
    waiter->condition.wait(lock, [&waiter] { return waiter->done; });
}

void NotificationCenter::handOver(const Notification& notification, const std::shared_ptr<Waiter>& waiter)
{
    auto wake = std::make_unique<QEvent>(handOverEventType());
    {
        const std::lock_guard lock(m_mutex);
        m_handOvers.push_back(HandOver { notification, waiter });
        if (m_handOverScheduled)
            return; // the wake-up already on its way takes this one too
        m_handOverScheduled = true;
    }
    QCoreApplication::postEvent(this, wake.release());
}

void NotificationCenter::enqueue(const QString& name, const void* object, const QVariantMap& userInfo)
{
    if (!QCoreApplication::instance()) {
        post(name, object, userInfo);
        return;
    }
    auto wake = std::make_unique<QEvent>(flushEventType());
    {
        const std::lock_guard lock(m_mutex);
        for (const Notification& pending : m_queue) {
            if (pending.name == name && pending.object == object)
                return;
        }
        m_queue.push_back(Notification { name, object, userInfo });
        if (m_flushScheduled)
            return;
        m_flushScheduled = true;
    }
    // Low priority: the posted-event queue is ordered by priority, so everything already
    // waiting (and anything posted at normal priority before the loop gets here) is
    // handled first, and notifications enqueued meanwhile coalesce into this one flush.
    // A zero timer would not give that ordering.
    QCoreApplication::postEvent(this, wake.release(), Qt::LowEventPriority);
}

bool NotificationCenter::event(QEvent* event)
{
    std::unique_lock lock(m_mutex); // before reading the event: see the top of this file
    const QEvent::Type type = event->type();
    if (type == handOverEventType()) {
        const std::vector<HandOver> handOvers = std::exchange(m_handOvers, {});
        m_handOverScheduled = false;
        lock.unlock();
        for (const HandOver& h : handOvers) {
            deliver(h.notification);
            if (h.waiter)
                h.waiter->release();
        }
        return true;
    }
    if (type == flushEventType()) {
        // Anything enqueued by these handlers goes into a fresh queue and a later flush.
        const std::vector<Notification> queue = std::exchange(m_queue, {});
        m_flushScheduled = false;
        lock.unlock();
        for (const Notification& notification : queue)
            deliver(notification);
        return true;
    }
    lock.unlock();
    return QObject::event(event);
}

void NotificationCenter::deliver(const Notification& notification)
{
    std::vector<std::shared_ptr<Observer>> targets;
    {
        const std::lock_guard lock(m_mutex);
        for (const auto& observer : m_observers) {
            if (observer->matches(notification))
                targets.push_back(observer);
        }
    }
    for (const auto& observer : targets) {
        if (observer->active.load(std::memory_order_acquire))
            observer->handler(notification);
    }
}
