#pragma once
// Collects the names posted on a notification center.

#include "app/support/NotificationCenter.h"

#include <QStringList>

namespace vorlix::test {

class NotificationRecorder {
public:
    explicit NotificationRecorder(NotificationCenter& center)
    {
        m_connection =
            QObject::connect(&center, &NotificationCenter::posted, [this](const QString& name) { names << name; });
    }
    ~NotificationRecorder() { QObject::disconnect(m_connection); }

    QStringList names;

private:
    QMetaObject::Connection m_connection;
};

} // namespace vorlix::test
