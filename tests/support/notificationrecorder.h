#pragma once
// The notifications posted while it lives: every one, or those of one name (empty: any)
// from one sender (null: any).

#include "core/notification/notificationcenter.h"

#include <QStringList>

#include <vector>

class NotificationRecorder {
public:
    explicit NotificationRecorder(const QString& name = {}, const void* sender = nullptr)
        : m_id(NotificationCenter::defaultCenter().addObserver(
            nullptr, name, sender, [this](const Notification& n) { posted.push_back(n); }))
    {
    }
    ~NotificationRecorder() { NotificationCenter::defaultCenter().removeObserver(m_id); }
    NotificationRecorder(const NotificationRecorder&) = delete;
    NotificationRecorder& operator=(const NotificationRecorder&) = delete;

    // The names, in order, of those whose name ends with `suffix`.
    [[nodiscard]] QStringList names(const QString& suffix = {}) const
    {
        QStringList out;
        for (const Notification& n : posted)
            if (n.name.endsWith(suffix))
                out << n.name;
        return out;
    }

    std::vector<Notification> posted;

private:
    NotificationCenter::ObserverId m_id;
};
