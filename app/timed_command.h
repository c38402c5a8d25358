// Asking a helper program for a short answer without ever waiting long on
// it: the system queries use it, so a hung or missing program costs start-up
// at most the time limit.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace fan {

// Starts argv[0], looked up in PATH, with the arguments as given (never
// through a shell), stdin and stderr on /dev/null, and collects its standard
// output (the first 64 KiB). Returns that output when the program exits with
// status 0 within `limit`; nullopt when it cannot be started, fails, or is
// still running at the limit, in which case it and the processes it started
// in its group are killed and reaped before the call returns.
// Any thread may call it; it blocks the caller for at most about `limit`.
std::optional<std::string> runWithTimeLimit(const std::vector<std::string>& argv,
                                            std::chrono::milliseconds limit);

}  // namespace fan
