// Starting programs with fork and exec. The program runs as root, so an
// elevated start is a plain start. A program not waited for is started
// through an intermediate child that exits at once, so that it never stays
// behind as a zombie of this process. A close-on-exec pipe reports whether
// exec succeeded. Between fork and exec only async-signal-safe calls are made.

#include "platform/Process.h"

#include <cerrno>
#include <sstream>
#include <vector>

#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

void WaitForChild(pid_t pid)
{
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

class LinuxProcesses : public IProcesses {
public:
    bool Start(const std::string& file, const std::string& parameters, const std::string& folder, bool,
               bool wait) override
    {
        std::vector<std::string> words{file};
        std::istringstream split(parameters);
        for (std::string w; split >> w;)
            words.push_back(w);
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        const char* dir = folder.empty() ? nullptr : folder.c_str();

        int report[2];
        if (pipe2(report, O_CLOEXEC) != 0)
            return false;
        // No signal may reach this program's handlers in the child: they are
        // blocked across fork and put back to their defaults before exec.
        sigset_t all, before;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &before);
        const pid_t pid = fork();
        if (pid != 0)
            pthread_sigmask(SIG_SETMASK, &before, nullptr);
        if (pid < 0) {
            close(report[0]);
            close(report[1]);
            return false;
        }
        if (pid == 0) {
            struct sigaction plain {};
            plain.sa_handler = SIG_DFL;
            for (int sig = 1; sig < NSIG; ++sig)
                sigaction(sig, &plain, nullptr);
            sigprocmask(SIG_SETMASK, &before, nullptr);
            if (!wait) {
                setsid();
                const pid_t grandchild = fork();
                if (grandchild != 0)
                    _exit(grandchild < 0 ? 127 : 0);
            }
            int error = 0;
            if (dir && chdir(dir) != 0)
                error = errno;
            if (!error) {
                execv(argv[0], argv.data());
                error = errno;
            }
            (void)!write(report[1], &error, sizeof error);
            _exit(127);
        }
        close(report[1]);
        int error = 0;
        ssize_t got;
        do {
            got = read(report[0], &error, sizeof error);
        } while (got < 0 && errno == EINTR);
        close(report[0]);
        // Without waiting this reaps only the intermediate child.
        WaitForChild(pid);
        return got == 0;
    }
};

} // namespace

IProcesses& DefaultProcesses()
{
    static LinuxProcesses processes;
    return processes;
}

} // namespace platform
