#include "app/file_systems_menu.h"

#include "texts/display_text.h"
#include "texts/volume_description.h"

namespace fan {
namespace {

size_t sequenceLength(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

std::string origin(const MountEntry& entry) {
    std::string network = networkSourceLabel(entry);
    if (!network.empty()) return network;
    if (!entry.model.empty()) return entry.model;
    if (!entry.device.empty()) return entry.device;
    if (entry.source != entry.mountPoint) return entry.source;
    return {};
}

}  // namespace

std::string cutToCharacters(const std::string& text, size_t limit) {
    size_t at = 0;
    for (size_t count = 0; count < limit && at < text.size(); ++count)
        at += sequenceLength(static_cast<unsigned char>(text[at]));
    if (at >= text.size()) return text;
    return text.substr(0, at) + "\u2026";
}

std::string fileSystemLabel(const MountEntry& entry) {
    std::string label;
    for (const std::string& part : {entry.mountPoint, entry.fsType, origin(entry)}) {
        if (part.empty()) continue;
        if (!label.empty()) label += " \u00B7 ";
        label += part;
    }
    // A mount point is a name on disk like any other: shown readably.
    return cutToCharacters(displayText(label), kFileSystemLabelLimit);
}

std::vector<FileSystemItem> fileSystemItems(const std::vector<MountEntry>& mounts) {
    std::vector<FileSystemItem> items;
    for (const MountEntry& entry : mounts)
        if (!entry.pseudo) items.push_back({fileSystemLabel(entry), entry.mountPoint});
    return items;
}

std::string menuLiteral(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&' || c == '@') out += c;
        out += c;
    }
    return out;
}

}  // namespace fan
