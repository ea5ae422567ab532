#include "core/notification/notificationcenter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
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
    // An observer recording each delivery, the thread it ran on and its tag.
    NotificationCenter::ObserverId record(
        const QString& name, const QObject* context = nullptr, const void* sender = nullptr, int tag = 0)
    {
        return m_center.addObserver(context, name, sender, [this, tag](const Notification& n) {
            m_received.push_back(n);
            m_threads.push_back(QThread::currentThread());
            m_tags.push_back(tag);
        });
    }

    NotificationCenter m_center;
    std::vector<Notification> m_received;
    std::vector<QThread*> m_threads;
    std::vector<int> m_tags;
    const int m_a = 0;
    const int m_b = 0;
};

TEST_F(NotificationCenterTest, DeliversAtOnceToMatchingObserversInOrderUntilRemovedByIdContextOrDestruction)
{
    QObject kept;
    auto destroyed = std::make_unique<QObject>();
    const auto id = record(u"A"_s, nullptr, nullptr, 1);
    record(QString(), &kept, nullptr, 2);
    record(u"A"_s, &kept, &m_a, 3);
    record(u"A"_s, destroyed.get(), nullptr, 4);
    record(QString(), destroyed.get(), nullptr, 5);
    m_center.post(u"A"_s, &m_b, { { u"FilePath"_s, u"/x.mp3"_s } });
    ASSERT_EQ(m_tags, (std::vector<int> { 1, 2, 4, 5 }));
    EXPECT_EQ(m_received[0].object, &m_b);
    EXPECT_EQ(m_received[0].userInfo.value(u"FilePath"_s).toString(), u"/x.mp3"_s);
    m_tags.clear();
    m_center.post(u"B"_s, &m_a);
    m_center.post(u"A"_s, &m_a);
    EXPECT_EQ(m_tags, (std::vector<int> { 2, 5, 1, 2, 3, 4, 5 }));

    m_tags.clear();
    m_center.removeObserver(id);
    m_center.removeObserver(id + 1000); // unknown ids and null contexts are harmless
    m_center.removeObserver(static_cast<const QObject*>(nullptr));
    EXPECT_EQ(m_center.observerCount(), 4);
    destroyed.reset();
    EXPECT_EQ(m_center.observerCount(), 2);
    m_center.post(u"A"_s, &m_a);
    EXPECT_EQ(m_tags, (std::vector<int> { 2, 3 }));
    m_center.removeObserver(&kept);
    m_center.post(u"A"_s, &m_a);
    EXPECT_EQ(m_center.observerCount(), 0);
    EXPECT_EQ(m_tags, (std::vector<int> { 2, 3 }));
}

TEST_F(NotificationCenterTest, ChangesDuringDeliveryTakeEffectAtOnce)
{
    auto laterContext = std::make_unique<QObject>();
    int firstCalls = 0;
    NotificationCenter::ObserverId first = 0, later = 0;
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

TEST_F(NotificationCenterTest, PostFromWorkerArrivesLaterOnTheMainThreadInOrderAndAWaitingPostBlocksUntilDelivered)
{
    record(QString());
    std::atomic<int> deliveries { 0 };
    m_center.addObserver(nullptr, QString(), nullptr, [&](const Notification&) { ++deliveries; });
    m_center.postOnMainThread(u"Zero"_s, nullptr, {}, true); // on the main thread: direct, never a deadlock
    EXPECT_EQ(deliveries, 1);

    std::atomic<int> beforeWait { -1 };
    std::atomic<int> afterWait { -1 };
    std::thread worker([&] {
        m_center.post(u"One"_s, &m_a, { { u"n"_s, 7 } });
        m_center.postOnMainThread(u"Two"_s, nullptr, {}, false);
        beforeWait = deliveries.load();
        m_center.postOnMainThread(u"Three"_s, nullptr, {}, true);
        afterWait = deliveries.load();
    });
    // No events run until the worker's first two posts have returned, nor for a while after:
    // a waiting post that wrongly returns early gets the chance to show it. A correct centre
    // passes however long this takes.
    for (const QDeadlineTimer posted(10000); beforeWait == -1 && !posted.hasExpired();)
        std::this_thread::yield();
    for (const QDeadlineTimer grace(100); afterWait == -1 && !grace.hasExpired();)
        std::this_thread::yield();
    const bool finished = processUntil([&] { return afterWait != -1; });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(beforeWait, 1) << "posts from another thread return before delivery";
    EXPECT_EQ(afterWait, 4) << "a waiting post returns after delivery";
    ASSERT_EQ(m_received.size(), 4u);
    EXPECT_EQ(m_received[1].name, u"One"_s);
    EXPECT_EQ(m_received[1].userInfo.value(u"n"_s).toInt(), 7);
    EXPECT_EQ(m_received[2].name, u"Two"_s);
    EXPECT_EQ(m_received[3].name, u"Three"_s);
    EXPECT_EQ(m_threads, std::vector<QThread*>(4, QThread::currentThread()));
}

TEST_F(NotificationCenterTest, EnqueueCoalescesByNameAndSenderUntilIdleAndHandlersEnqueueIntoALaterFlush)
{
    record(QString());
    int yCalls = 0;
    m_center.addObserver(nullptr, u"Y"_s, nullptr, [&](const Notification&) {
        if (++yCalls == 1)
            m_center.enqueue(u"Y"_s, &m_a); // not absorbed by the one being delivered
    });
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
    ASSERT_TRUE(processUntil([&] { return m_received.size() >= 4; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(queuedRan);
    ASSERT_EQ(m_received.size(), 4u);
    EXPECT_EQ(m_received[0].userInfo.value(u"n"_s).toInt(), 1);
    EXPECT_EQ(m_received[1].object, &m_b);
    EXPECT_EQ(m_received[2].name, u"Y"_s);
    EXPECT_EQ(m_received[3].name, u"Y"_s);
}

TEST_F(NotificationCenterTest, ConcurrentAddRemoveAndPost)
{
    int delivered = 0;
    m_center.addObserver(nullptr, u"Tick"_s, nullptr, [&](const Notification&) { ++delivered; });
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([this] {
            for (int i = 0; i < 100; ++i) {
                const auto id = m_center.addObserver(nullptr, u"Tick"_s, &m_a, [](const Notification&) {});
                m_center.post(u"Tick"_s);
                m_center.removeObserver(id);
            }
        });
    const bool all = processUntil([&] { return delivered == 400; });
    for (auto& worker : workers)
        worker.join();
    EXPECT_TRUE(all);
    EXPECT_EQ(m_center.observerCount(), 1);
}

TEST(NotificationCenterLifetime, PendingPostsDieWithACenter)
{
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
