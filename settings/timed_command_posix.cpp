// The child runs in a process group of its own, so that a shell script that
// hangs in a grandchild is stopped as a whole rather than leaving the
// grandchild behind holding the pipe open.
#include "settings/timed_command.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fan {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxOutput = size_t{64} * 1024;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// Reads the pipe until end of file or the deadline; true at end of file.
bool readUntil(int fd, Clock::time_point deadline, std::string& output) {
    char buffer[4096];
    for (;;) {
        pollfd ready = {fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, millisecondsLeft(deadline));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return true;
        }
        if (output.size() < kMaxOutput) output.append(buffer, std::min(size_t(n), kMaxOutput - output.size()));
    }
}

// The exit status once the child has ended by the deadline; -1 otherwise.
int waitUntil(pid_t pid, Clock::time_point deadline) {
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return status;
        if (done < 0 && errno != EINTR) return -1;
        if (Clock::now() >= deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void killAndReap(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// The absolute entries of the colon-separated list in the variable `name`.
std::vector<std::string> absoluteEntries(const char* name) {
    const char* list = std::getenv(name);
    const std::string entries = list ? list : "";
    std::vector<std::string> kept;
    for (size_t start = 0; start <= entries.size();) {
        const size_t end = std::min(entries.find(':', start), entries.size());
        std::string folder = entries.substr(start, end - start);
        start = end + 1;
        if (!folder.empty() && folder[0] == '/') kept.push_back(std::move(folder));
    }
    return kept;
}

std::string joined(const std::vector<std::string>& folders) {
    std::string list;
    for (const std::string& folder : folders) {
        if (!list.empty()) list += ':';
        list += folder;
    }
    return list;
}

// The absolute entries of PATH (/bin and /usr/bin when there are none). An
// empty or relative entry would mean the current folder, which for a
// terminal is the folder being opened: such entries are dropped, both where
// a program is looked for and from the PATH it receives, so that a wrapper
// that starts another program by name cannot run one planted there.
std::vector<std::string> searchPath() {
    std::vector<std::string> kept = absoluteEntries("PATH");
    if (kept.empty()) kept = {"/bin", "/usr/bin"};
    return kept;
}

// The program file that `name` stands for: a name with a slash as it is
// (made absolute here, as the child may change folder first), else the first
// executable regular file of that name in `folders` (a searchPath()). Empty
// with `error` set when there is none (EACCES when only files that cannot
// run were found).
std::string programFile(const std::string& name, const std::vector<std::string>& folders, int& error) {
    error = ENOENT;
    if (name.find('/') != std::string::npos) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(name, ec);
        return ec ? name : absolute.string();
    }
    for (const std::string& folder : folders) {
        std::string file = folder;
        file += '/';
        file += name;
        struct stat status;
        if (::stat(file.c_str(), &status) != 0) continue;
        if (S_ISREG(status.st_mode) && ::access(file.c_str(), X_OK) == 0) return file;
        error = EACCES;
    }
    return {};
}

// Our environment with PATH replaced by `path`, and LD_LIBRARY_PATH by its
// absolute entries (left out when it has none): the dynamic loader, too,
// reads an empty or relative entry as the folder the program starts in. The
// pointers stay valid as long as `entries` and the environment do.
std::vector<char*> childEnvironment(const std::vector<std::string>& path, std::vector<std::string>& entries) {
    entries = {"PATH=" + joined(path)};
    if (const std::string libraries = joined(absoluteEntries("LD_LIBRARY_PATH")); !libraries.empty())
        entries.push_back("LD_LIBRARY_PATH=" + libraries);
    std::vector<char*> variables;
    for (char** variable = environ; *variable != nullptr; ++variable)
        if (std::strncmp(*variable, "PATH=", 5) != 0 && std::strncmp(*variable, "LD_LIBRARY_PATH=", 16) != 0)
            variables.push_back(*variable);
    for (std::string& entry : entries)
        variables.push_back(entry.data());
    variables.push_back(nullptr);
    return variables;
}

// Starts argv with stdin on /dev/null and no other descriptor of ours. A
// helper gets stdout on `outputFd` (or /dev/null when it is -1), stderr on
// /dev/null and a process group of its own; a program meant to stay gets a
// session of its own, `workingDirectory` and our stdout and stderr. The pid,
// or -errno when it could not be started (glibc reports a failed chdir or
// exec in the child as the error of posix_spawn).
pid_t spawn(const std::vector<std::string>& argv, int outputFd, const std::string* workingDirectory) {
    int error = 0;
    const std::vector<std::string> path = searchPath();
    const std::string program = programFile(argv[0], path, error);
    if (program.empty()) return -error;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (workingDirectory) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory->c_str());
        flags |= POSIX_SPAWN_SETSID;
    } else {
        if (outputFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
        else
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);  // an ignored SIGPIPE or SIGINT is not handed on
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, flags);

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    std::vector<std::string> entries;
    const std::vector<char*> environment = childEnvironment(path, entries);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, args.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return spawned == 0 ? pid : -spawned;
}

}  // namespace

bool CommandOutcome::succeeded() const {
    return startError == 0 && !timedOut && WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
}

CommandOutcome runCommand(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                          const CommandOptions& options) {
    CommandOutcome outcome;
    if (argv.empty() || argv[0].empty()) {
        outcome.startError = ENOENT;
        return outcome;
    }
    const Clock::time_point deadline = Clock::now() + limit;

    int pipeEnds[2] = {-1, -1};
    if (options.captureOutput && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        outcome.startError = errno;
        return outcome;
    }
    const pid_t pid = spawn(argv, pipeEnds[1], nullptr);
    if (pipeEnds[1] >= 0) ::close(pipeEnds[1]);
    if (pid < 0) {
        if (pipeEnds[0] >= 0) ::close(pipeEnds[0]);
        outcome.startError = -pid;
        return outcome;
    }

    bool ended = true;
    if (pipeEnds[0] >= 0) {
        ended = readUntil(pipeEnds[0], deadline, outcome.output);
        ::close(pipeEnds[0]);
    }
    const int status = ended ? waitUntil(pid, deadline) : -1;
    if (status >= 0) {
        outcome.waitStatus = status;
        return outcome;
    }
    outcome.timedOut = true;
    if (options.killAtLimit)
        killAndReap(pid);
    else
        reapInBackground(pid);
    return outcome;
}

std::optional<std::string> runWithTimeLimit(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
    CommandOutcome outcome = runCommand(argv, limit, CommandOptions{});
    if (!outcome.succeeded()) return std::nullopt;
    return std::move(outcome.output);
}

int startProgram(const std::vector<std::string>& argv, const std::string& workingDirectory) {
    if (argv.empty() || argv[0].empty()) return ENOENT;
    const pid_t pid = spawn(argv, -1, &workingDirectory);
    if (pid < 0) return -pid;
    reapInBackground(pid);
    return 0;
}

void reapInBackground(int pid) {
    try {
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: a zombie until we exit is better than a crash.
    }
}

std::string describeFailure(const CommandOutcome& outcome) {
    if (outcome.startError != 0) return std::strerror(outcome.startError);
    if (outcome.timedOut) return "timed out";
    if (WIFSIGNALED(outcome.waitStatus)) return "killed by signal " + std::to_string(WTERMSIG(outcome.waitStatus));
    return "exit status " + std::to_string(WEXITSTATUS(outcome.waitStatus));
}

}  // namespace fan
