#pragma once
// Turning the event loop in tests, so timers, animations, deferred deletes and the
// desktop's answers arrive.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <chrono>
#include <functional>
#include <thread>

namespace vorlix::test {

// Turns the event loop for `duration`: for waiting that nothing happens.
inline void processEventsFor(std::chrono::milliseconds duration)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < duration.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Turns the loop until `condition` holds or `timeout` passes; the last answer.
inline bool waitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeout.count())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Deletes the objects whose deleteLater() has been called.
inline void runDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace vorlix::test
