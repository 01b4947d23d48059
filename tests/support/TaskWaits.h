#pragma once
// Coroutine tasks in tests: start one, drive the desktop or the event loop while it runs,
// then take its result.

#include "support/EventLoopWaits.h"

#include <QCoro/QCoroTask>

#include <chrono>
#include <memory>
#include <optional>

namespace vorlix::test {

template <class T>
class Running {
public:
    // `then` awaits the task in place, so the task keeps one address for its whole run.
    explicit Running(QCoro::Task<T>&& task)
        : m_result(std::make_shared<std::optional<T>>()),
          m_task(std::make_unique<QCoro::Task<T>>(std::move(task))),
          m_continuation(m_task->then([result = m_result](T value) { *result = std::move(value); }))
    {
    }

    bool isDone() const { return m_result->has_value(); }

    // The task's result once it is done; nothing when it is not done within `timeout`.
    std::optional<T> wait(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        waitUntil([&] { return isDone(); }, timeout);
        return *m_result;
    }

private:
    std::shared_ptr<std::optional<T>> m_result;
    std::unique_ptr<QCoro::Task<T>> m_task;
    QCoro::Task<void> m_continuation;
};

template <class T>
Running<T> start(QCoro::Task<T>&& task)
{
    return Running<T>(std::move(task));
}

} // namespace vorlix::test
