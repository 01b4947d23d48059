#pragma once

// Splitting one piece of work over a few threads, for analyses whose caller waits.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

namespace vorlix {

// Calls `work(i)` for every i below `count`, the first on this thread and the others on
// threads of their own (so waiting here can never starve a shared pool, whose threads may
// be the callers), and returns when all are done. When no thread can be started the work
// runs here.
inline void runTogether(std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::vector<std::future<void>> others;
    for (std::size_t i = 1; i < count; ++i) {
        try {
            others.push_back(std::async(std::launch::async, work, i));
        } catch (const std::system_error&) {
            work(i);
        }
    }
    if (count > 0)
        work(0);
    for (std::future<void>& other : others)
        other.get();
}

// How many threads an analysis may split into: the cores, at most `limit`.
inline std::size_t analysisThreads(std::size_t limit)
{
    const std::size_t cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : std::min(cores, limit);
}

} // namespace vorlix
