#include "core/notification/notificationcenter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Processes events until `done` holds, with a generous deadline; never a fixed sleep.
template <typename Predicate> bool processUntil(Predicate done)
{
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class NotificationCenterTest : public ::testing::Test {
protected:
    // An observer recording each delivery and the thread it ran on.
    NotificationCenter::ObserverId record(const QString& name, const QObject* context = nullptr)
    {
        return m_center.addObserver(context, name, nullptr, [this](const Notification& n) {
            m_received.push_back(n);
            m_threads.push_back(QThread::currentThread());
        });
    }

    NotificationCenter m_center;
    std::vector<Notification> m_received;
    std::vector<QThread*> m_threads;
    const int m_a = 0;
    const int m_b = 0;
};

TEST_F(NotificationCenterTest, DeliversAtOnceToMatchingObserversInOrder)
{
    std::vector<int> calls;
    const auto add = [&](const QString& name, const void* sender, int tag) {
        m_center.addObserver(nullptr, name, sender, [&calls, tag](const Notification&) { calls.push_back(tag); });
    };
    add(u"A"_s, nullptr, 1);
    add(QString(), nullptr, 2);
    add(u"A"_s, &m_a, 3);
    record(u"A"_s);
    m_center.post(u"A"_s, &m_b, { { u"FilePath"_s, u"/x.mp3"_s } });
    EXPECT_EQ(calls, (std::vector<int> { 1, 2 }));
    ASSERT_EQ(m_received.size(), 1u);
    EXPECT_EQ(m_received[0].object, &m_b);
    EXPECT_EQ(m_received[0].userInfo.value(u"FilePath"_s).toString(), u"/x.mp3"_s);
    calls.clear();
    m_center.post(u"B"_s, &m_a);
    m_center.post(u"A"_s, &m_a);
    EXPECT_EQ(calls, (std::vector<int> { 2, 1, 2, 3 }));
}

TEST_F(NotificationCenterTest, RemovalByIdContextAndDestruction)
{
    QObject kept;
    auto destroyed = std::make_unique<QObject>();
    const auto id = record(u"A"_s);
    record(u"A"_s, &kept);
    record(u"B"_s, &kept);
    record(u"A"_s, destroyed.get());
    record(QString(), destroyed.get());
    m_center.removeObserver(id);
    m_center.removeObserver(id + 1000); // unknown ids and null contexts are harmless
    m_center.removeObserver(static_cast<const QObject*>(nullptr));
    EXPECT_EQ(m_center.observerCount(), 4);
    destroyed.reset();
    EXPECT_EQ(m_center.observerCount(), 2);
    m_center.post(u"A"_s);
    EXPECT_EQ(m_received.size(), 1u);
    m_center.removeObserver(&kept);
    m_center.post(u"A"_s);
    EXPECT_EQ(m_center.observerCount(), 0);
    EXPECT_EQ(m_received.size(), 1u);
}

TEST_F(NotificationCenterTest, ChangesDuringDeliveryTakeEffectAtOnce)
{
    auto laterContext = std::make_unique<QObject>();
    int firstCalls = 0;
    NotificationCenter::ObserverId first = 0;
    NotificationCenter::ObserverId later = 0;
    first = m_center.addObserver(nullptr, u"A"_s, nullptr, [&](const Notification&) {
        if (++firstCalls > 1)
            return;
        m_center.removeObserver(first); // itself
        m_center.removeObserver(later);
        laterContext.reset(); // a destroyed context counts as removal too
        record(u"A"_s); // a new observer: not for this notification
        m_center.post(u"B"_s); // nested posting is fine
    });
    later = record(u"A"_s);
    record(u"A"_s, laterContext.get());
    m_center.post(u"A"_s);
    EXPECT_EQ(firstCalls, 1);
    EXPECT_TRUE(m_received.empty());
    m_center.post(u"A"_s);
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(m_received.size(), 1u);
}

TEST_F(NotificationCenterTest, PostFromWorkerArrivesLaterOnTheMainThreadInOrder)
{
    record(QString());
    std::thread worker([this] {
        m_center.post(u"One"_s, &m_a, { { u"n"_s, 7 } });
        m_center.postOnMainThread(u"Two"_s, nullptr, {}, false);
    });
    worker.join(); // both returned without the main thread running any event
    EXPECT_TRUE(m_received.empty());
    ASSERT_TRUE(processUntil([&] { return m_received.size() == 2; }));
    EXPECT_EQ(m_received[0].name, u"One"_s);
    EXPECT_EQ(m_received[0].userInfo.value(u"n"_s).toInt(), 7);
    EXPECT_EQ(m_received[1].name, u"Two"_s);
    EXPECT_EQ(m_threads, (std::vector<QThread*> { QThread::currentThread(), QThread::currentThread() }));
}

TEST_F(NotificationCenterTest, WaitingPostBlocksUntilDeliveredAndNeverDeadlocksOnMain)
{
    std::atomic<int> deliveries { 0 };
    m_center.addObserver(nullptr, u"A"_s, nullptr, [&](const Notification&) {
        m_threads.push_back(QThread::currentThread());
        ++deliveries;
    });
    m_center.postOnMainThread(u"A"_s, nullptr, {}, true); // on the main thread: direct
    EXPECT_EQ(deliveries, 1);

    std::atomic<int> seenByWorker { -1 };
    std::thread worker([&] {
        m_center.postOnMainThread(u"A"_s, nullptr, {}, true);
        seenByWorker = deliveries.load();
    });
    // Give a post that wrongly returns early the chance to show it before any event is
    // processed; a correct centre passes however long this takes.
    const QDeadlineTimer grace(100);
    while (seenByWorker == -1 && !grace.hasExpired())
        std::this_thread::yield();
    const bool finished = processUntil([&] { return seenByWorker != -1; });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(seenByWorker, 2); // delivered before postOnMainThread returned
    EXPECT_EQ(m_threads.at(1), QThread::currentThread());
}

TEST_F(NotificationCenterTest, EnqueueCoalescesByNameAndSenderUntilIdle)
{
    record(QString());
    m_center.enqueue(u"X"_s, &m_a, { { u"n"_s, 1 } });
    m_center.enqueue(u"X"_s, &m_a, { { u"n"_s, 2 } }); // absorbed by the pending one
    m_center.enqueue(u"X"_s, &m_b);
    m_center.enqueue(u"Y"_s, &m_a);
    std::thread worker([this] { m_center.enqueue(u"X"_s, &m_b); }); // absorbed from any thread
    worker.join();
    bool queuedRan = false;
    QObject receiver; // a normal event queued after the enqueue still runs first
    QMetaObject::invokeMethod(
        &receiver, [&] { queuedRan = m_received.empty(); }, Qt::QueuedConnection);
    EXPECT_TRUE(m_received.empty());
    ASSERT_TRUE(processUntil([&] { return m_received.size() >= 3; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(queuedRan);
    ASSERT_EQ(m_received.size(), 3u);
    EXPECT_EQ(m_received[0].userInfo.value(u"n"_s).toInt(), 1);
    EXPECT_EQ(m_received[1].object, &m_b);
    EXPECT_EQ(m_received[2].name, u"Y"_s);
}

TEST_F(NotificationCenterTest, EnqueueFromAHandlerGoesIntoALaterFlush)
{
    int calls = 0;
    m_center.addObserver(nullptr, u"Again"_s, nullptr, [&](const Notification&) {
        if (++calls == 1)
            m_center.enqueue(u"Again"_s);
    });
    m_center.enqueue(u"Again"_s);
    EXPECT_TRUE(processUntil([&] { return calls == 2; }));
}

TEST_F(NotificationCenterTest, ConcurrentAddRemoveAndPost)
{
    int delivered = 0;
    m_center.addObserver(nullptr, u"Tick"_s, nullptr, [&](const Notification&) { ++delivered; });
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([this] {
            for (int i = 0; i < 100; ++i) {
                const auto id = m_center.addObserver(nullptr, u"Tick"_s, &m_a, [](const Notification&) {});
                m_center.post(u"Tick"_s);
                m_center.removeObserver(id);
            }
        });
    }
    const bool all = processUntil([&] { return delivered == 400; });
    for (auto& worker : workers)
        worker.join();
    EXPECT_TRUE(all);
    EXPECT_EQ(m_center.observerCount(), 1);
}

TEST(NotificationCenterLifetime, DefaultCenterIsSharedAndPendingPostsDieWithACenter)
{
    EXPECT_EQ(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
    bool called = false;
    auto center = std::make_unique<NotificationCenter>();
    center->addObserver(nullptr, u"A"_s, nullptr, [&](const Notification&) { called = true; });
    std::thread worker([&] { center->post(u"A"_s); });
    worker.join();
    center->enqueue(u"A"_s);
    center.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}

} // namespace
