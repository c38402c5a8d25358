#include "app/status_text.h"

#include <charconv>
#include <cmath>

#include "core/core_messages.h"
#include "texts/ui_texts.h"

namespace fan {
namespace {

// Between the parts of the status line: three spaces, a middle dot, three spaces.
constexpr const char* kSeparator = "   \u00B7   ";

constexpr const char* kWorkerStartRussian = "Не удалось запустить поток сканирования: ";
constexpr const char* kWorkerStartEnglish = "Could not start the scan thread: ";

std::string countWith(uint64_t count, UiTextKey word) {
    return std::to_string(count) + " " + uiText(word);
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::string resultLine(const Tree& tree) {
    uint64_t files = tree.nodes.empty() ? 0 : tree.nodes.front().fileCount;
    std::string text = uiText(tree.stopped ? txtStoppedPartial : txtReady);
    text += kSeparator + countWith(files, txtFiles);
    text += kSeparator + countWith(tree.errorCount, txtErrors);
    text += kSeparator + countWith(tree.mountPointCount, txtMountsSeparately);
    text += kSeparator + formatSeconds(tree.seconds) + " " + uiText(txtSeconds);
    return text;
}

}  // namespace

std::string formatSeconds(double seconds) {
    // to_chars ignores the C locale, so a decimal comma never slips in.
    if (!std::isfinite(seconds)) seconds = 0.0;
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, 1);
    if (error != std::errc()) return "0.0";
    return std::string(buffer, end);
}

std::string workerStartFailure(const std::string& reason) {
    return kWorkerStartRussian + reason;
}

std::string localizedError(const std::string& stored) {
    if (startsWith(stored, kWorkerStartRussian))
        return pickText(kWorkerStartEnglish, kWorkerStartRussian) +
               stored.substr(std::char_traits<char>::length(kWorkerStartRussian));
    return localizeMessage(stored);
}

std::string statusText(const StatusFacts& facts) {
    if (facts.scanning) {
        std::string text = uiText(facts.stopRequested ? txtStopping : txtScanning);
        text += "   " + countWith(facts.liveFiles, txtFiles);
        text += kSeparator + formatSize(facts.liveBytes, uiLanguage);
        return text;
    }
    std::string text;
    if (facts.result)
        text = resultLine(*facts.result);
    else
        text = facts.lastError.empty() ? std::string(uiText(txtIdlePrompt)) : localizedError(facts.lastError);
    // Without the mount table, other file systems inside a scan are walked
    // as if they were ordinary folders: the user should know.
    if (facts.mountTableMissing) text += kSeparator + localizeMessage(kMountTableUnreadable);
    return text;
}

}  // namespace fan
