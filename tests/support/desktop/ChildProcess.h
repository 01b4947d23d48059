#pragma once
// A program that a desktop test starts and must not outlive: it runs in a process group
// of its own, dies when the test program dies (crashes included), and `stop` ends the
// whole group and reaps it.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace vorlix::test {

class ChildProcess {
public:
    struct Options {
        // Extra environment entries "NAME=value", over the test program's own.
        std::vector<std::string> environment;
        // A descriptor of the test program that the child gets as descriptor 3; -1 for none.
        int passAsFd3 = -1;
        // A descriptor of the test program that takes the child's standard error; -1 for
        // none (it goes to /dev/null, as the standard output always does).
        int standardError = -1;
    };

    ChildProcess() = default;
    // Starts `program` (looked up on PATH); throws std::runtime_error when it cannot.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const Options& options);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess();

    pid_t pid() const { return m_pid; }
    bool isRunning();
    // Asks the group to end (SIGTERM), then kills it after `grace`; waits for the child.
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(1000));

private:
    pid_t m_pid = -1;
};

// True while a process with this id exists and has not ended (a zombie counts as ended).
bool processAlive(pid_t pid);

} // namespace vorlix::test
