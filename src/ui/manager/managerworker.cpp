#include "ui/manager/managerworker.h"

#include <QMetaObject>

ManagerWorker::ManagerWorker(QObject* parent)
    : QObject(parent)
{
}

ManagerWorker::~ManagerWorker()
{
    m_queue.clear();
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

void ManagerWorker::enqueue(Job job)
{
    m_queue.push_back(std::move(job));
    if (!m_running)
        startNext();
}

void ManagerWorker::startNext()
{
    if (m_queue.empty())
        return;
    Job job = std::move(m_queue.front());
    m_queue.pop_front();
    if (m_thread.joinable())
        m_thread.join(); // the previous job has ended: it posted its end last
    m_running = true;
    // Posted to this object, so results still queued when it is destroyed are dropped; it
    // joins the thread first, so the object outlives every post.
    const Post post = [this](std::function<void()> work) {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    };
    m_thread = std::jthread([this, job = std::move(job), post](std::stop_token stop) {
        job(stop, post);
        post([this] {
            m_running = false;
            startNext();
        });
    });
}
