#include "app/support/NotificationCenter.h"

#include <QMetaObject>

namespace vorlix {

NotificationCenter::NotificationCenter(QObject* parent) : QObject(parent) {}

NotificationCenter& NotificationCenter::shared()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::post(const QString& name) { emit posted(name); }

void NotificationCenter::postLater(const QString& name)
{
    QMetaObject::invokeMethod(
        this, [this, name] { post(name); }, Qt::QueuedConnection);
}

} // namespace vorlix
