#include "core/scan_progress.h"

namespace fan {

void ScanProgress::reset() {
    stop.exchange(false);
    files.exchange(0);
    bytes.exchange(0);
    ScanSnapshot empty;
    std::lock_guard<std::mutex> lock(mutex);
    latest = std::move(empty);
}

void ScanProgress::store(ScanSnapshot&& snapshot) {
    std::lock_guard<std::mutex> lock(mutex);
    latest = std::move(snapshot);
}

ScanSnapshot ScanProgress::snapshot() const {
    std::lock_guard<std::mutex> lock(mutex);
    return latest;
}

}  // namespace fan
