// Starting other programs, always from an argument vector and never through a
// shell: helpers are waited for only up to a time limit, so a hung or missing
// one costs the caller at most that limit, and a program meant to stay (a
// terminal) is not waited for at all.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace fan {

struct CommandOptions {
    // Collect standard output (the first 64 KiB); otherwise it goes to
    // /dev/null, so that a program the helper leaves running (a file manager
    // started by xdg-open) holds no pipe of ours open.
    bool captureOutput = true;
    // At the limit, kill the helper and the processes of its group; otherwise
    // leave it running and reap it from a background thread when it ends.
    bool killAtLimit = true;
};

struct CommandOutcome {
    int startError = 0;     // errno of a failed start (not found, not executable); 0 once started
    bool timedOut = false;  // still running at the limit
    int waitStatus = 0;     // waitpid status when it ended within the limit
    std::string output;     // standard output when captured

    bool succeeded() const;  // started, ended in time with exit status 0
};

// The programs below are looked up in the absolute entries of PATH
// ("/bin:/usr/bin" when it has none), and receive those entries alone as
// their PATH, and only the absolute entries of LD_LIBRARY_PATH: empty and
// relative ones would name their working folder.

// Starts argv[0], looked up as above, with the
// arguments as given (never through a shell), in a process group of its own,
// stdin and stderr on /dev/null and no other descriptor of ours inherited. Returns once it has
// ended or the limit has passed; no child is left unreaped.
// Any thread may call it; it blocks the caller for at most about `limit`.
CommandOutcome runCommand(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                          const CommandOptions& options);

// runCommand with the output captured and the helper killed at the limit:
// its output when it exits with status 0 in time, otherwise nullopt.
std::optional<std::string> runWithTimeLimit(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

// Starts argv[0], looked up as above, in
// `workingDirectory` (set in the child) and in a session of its own, stdin on
// /dev/null, and does not wait for it: it is reaped in the background when it
// ends. Returns 0 once the program
// runs, else the errno of the failed start (the folder or the program
// missing, the program not executable).
int startProgram(const std::vector<std::string>& argv, const std::string& workingDirectory);

// Waits for the child `pid` on a detached thread, so that a program left
// running leaves no zombie behind when it ends.
void reapInBackground(int pid);

// One short English phrase for why a helper did not succeed: the errno text
// of a failed start, "timed out", "exit status N" or "killed by signal N".
std::string describeFailure(const CommandOutcome& outcome);

}  // namespace fan
