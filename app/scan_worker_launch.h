// How App::start launches the one scan worker thread, behind a seam so that
// a test can make the launch fail as the system would (std::system_error).
//
// Read on the GUI thread by App::start only; tests set it while no App runs
// a scan and put the default back.
#pragma once

#include <filesystem>
#include <thread>

namespace fan {

class App;

// Starts a thread that runs app.runScanWorker(path); throws what the
// std::thread constructor throws.
using ScanWorkerLauncher = std::thread (*)(App& app, std::filesystem::path path);

std::thread launchScanWorkerThread(App& app, std::filesystem::path path);

extern ScanWorkerLauncher scanWorkerLauncher;

}  // namespace fan
