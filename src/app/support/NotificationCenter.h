#pragma once
// Named application-wide notifications without payload ("VorlixPaletteDidChange" ...).
// Posting emits `posted(name)` at once, on the calling (main) thread; `postLater`
// emits it on the next turn of the event loop, after the caller has returned.
// Observers connect to `posted` and compare the name.

#include <QObject>
#include <QString>

namespace vorlix {

class NotificationCenter : public QObject {
    Q_OBJECT

public:
    explicit NotificationCenter(QObject* parent = nullptr);

    // The default center of the application, made on first use.
    static NotificationCenter& shared();

    void post(const QString& name);
    void postLater(const QString& name);

signals:
    void posted(const QString& name);
};

} // namespace vorlix
