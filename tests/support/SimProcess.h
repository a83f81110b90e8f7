#pragma once
// SimProcess: the kvlsim executable as a child process of a test. Started with its arguments, it
// is ready once its first stdout line (the device path) is in; it is stopped by its pid, never by
// name.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <utility>
#include <vector>

namespace kvl::test {

constexpr int kSimReadyTimeoutMs = 10000;

class SimProcess {
public:
    // `program`: the path of the kvlsim executable.
    explicit SimProcess(std::string program) : m_program(std::move(program)) {}
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts kvlsim with `args`; true once its first stdout line is in (kept in FirstLine()).
    bool Start(const std::vector<std::string> &args)
    {
        int out[2];
        if (::pipe(out) != 0)
            return false;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char *> argv;
            std::string program = m_program;
            argv.push_back(program.data());
            std::vector<std::string> copy = args;
            for (auto &a : copy)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_stdout = out[0];
        return m_pid > 0 && ReadLine(&m_firstLine);
    }

    // Everything the process still writes to stdout, until it closes it.
    std::string RestOfOutput()
    {
        std::string text;
        char c;
        while (::read(m_stdout, &c, 1) == 1)
            text += c;
        return text;
    }

    // Sends `signal` (SIGTERM by default) and waits; the exit status, or -1.
    int Stop(int signal = SIGTERM)
    {
        if (m_pid <= 0)
            return -1;
        ::kill(m_pid, signal);
        return Wait();
    }

    int Wait()
    {
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        if (m_stdout >= 0)
            ::close(m_stdout);
        m_stdout = -1;
        return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string &FirstLine() const { return m_firstLine; }

private:
    bool ReadLine(std::string *line)
    {
        line->clear();
        for (;;) {
            pollfd pfd{m_stdout, POLLIN, 0};
            if (::poll(&pfd, 1, kSimReadyTimeoutMs) <= 0)
                return false;
            char c;
            if (::read(m_stdout, &c, 1) != 1)
                return !line->empty();
            if (c == '\n')
                return true;
            *line += c;
        }
    }

    std::string m_program;
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::string m_firstLine;
};

} // namespace kvl::test
