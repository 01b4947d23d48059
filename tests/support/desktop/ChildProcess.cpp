#include "support/desktop/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vorlix::test {

namespace {

std::string findOnPath(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return program;
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    throw std::runtime_error(program + " is not installed (scripts/install-deps installs it)");
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Options& options)
{
    // Everything the child needs is prepared here: after fork only async-signal-safe
    // calls are allowed, as other threads of the test program may hold locks.
    const std::string path = findOnPath(program);
    std::vector<std::string> argStrings{path};
    argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& extra : options.environment)
            replaced = replaced || extra.substr(0, extra.find('=')) == name;
        if (!replaced)
            envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> envp;
    for (std::string& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127); // the test program died before the line above took effect
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(options.standardError >= 0 ? options.standardError : null, STDERR_FILENO);
        if (options.passAsFd3 >= 0) {
            if (options.passAsFd3 == 3)
                fcntl(3, F_SETFD, 0);
            else
                dup2(options.passAsFd3, 3);
        }
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    // Also from this side, so that a stop right after the start reaches the group.
    setpgid(pid, pid);
    m_pid = pid;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : m_pid(other.m_pid) { other.m_pid = -1; }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        stop();
        m_pid = other.m_pid;
        other.m_pid = -1;
    }
    return *this;
}

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::isRunning()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    return waitpid(m_pid, &status, WNOHANG) == 0;
}

void ChildProcess::stop(std::chrono::milliseconds grace)
{
    if (m_pid <= 0)
        return;
    const pid_t pid = m_pid;
    m_pid = -1;
    kill(-pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Whatever else of the group is left (helpers the child started).
    kill(-pid, SIGKILL);
}

bool processAlive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    // The state follows the command name in parentheses, which may itself hold spaces.
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z' && line[close + 2] != 'X';
}

} // namespace vorlix::test
