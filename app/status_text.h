// The text of the main window's status line, built from plain values.
//
// Called on the GUI thread by App::updateStatus and by the language switch.
// Reads uiLanguage for every word it picks, so a rebuild after a switch
// shows the same state in the other language. Never fails.
#pragma once

#include <cstdint>
#include <string>

#include "core/tree.h"

namespace fan {

// What the status line reports, gathered by the main window.
struct StatusFacts {
    bool scanning = false;
    bool stopRequested = false;      // ScanProgress::stop, read at the tick
    uint64_t liveFiles = 0;          // ScanProgress::files
    uint64_t liveBytes = 0;          // ScanProgress::bytes
    const Tree* result = nullptr;    // the adopted result, if any
    std::string lastError;           // the last failure in its stored wording
    bool mountTableMissing = false;  // the system's mount table could not be read
};

// The scanning, result or idle/error line, as the facts select.
std::string statusText(const StatusFacts& facts);

// A stored failure text as the current language shows it: the core's
// Russian messages are translated by their prefix, and so is the message of
// a scan thread that could not be started.
std::string localizedError(const std::string& stored);

// The stored (Russian) wording of a scan thread that could not be started;
// `reason` is the system's own explanation.
std::string workerStartFailure(const std::string& reason);

// Seconds with exactly one decimal and a full stop, whatever the locale.
std::string formatSeconds(double seconds);

}  // namespace fan
