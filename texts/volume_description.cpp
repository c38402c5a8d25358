// Network kind and one-line description of a mounted file system.
#include "texts/volume_description.h"

#include "texts/ui_texts.h"

namespace fan {

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Only ASCII letters are folded: the other bytes may be parts of UTF-8
// sequences and must stay as they are.
std::string asciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string textBetween(const std::string& text, std::size_t begin, std::size_t end) {
    return end == std::string::npos ? text.substr(begin) : text.substr(begin, end - begin);
}

// The host named by a mount source: "//host/share" and "\\host\share",
// "scheme://host:port/path", or "host:/path". Empty when there is none.
std::string sourceHost(const std::string& source) {
    if (startsWith(source, "//") || startsWith(source, "\\\\"))
        return textBetween(source, 2, source.find_first_of("/\\", 2));
    const std::size_t scheme = source.find("://");
    if (scheme != std::string::npos) return textBetween(source, scheme + 3, source.find_first_of("/:\\", scheme + 3));
    // A drive letter ("C:\") has a colon too, but never a forward slash; a
    // device path may hold a colon in its name.
    const std::size_t colon = source.find(':');
    if (colon != std::string::npos && colon > 0 && contains(source, "/") && !startsWith(source, "/dev/"))
        return source.substr(0, colon);
    return {};
}

// The order matters: WebDAV is told apart before the host names, since a
// WebDAV folder can be reached through the RDP or WSL host names too.
const char* networkKind(const std::string& source, const std::string& fsType, const std::string& host) {
    if (contains(source, "davwwwroot") || contains(source, "@ssl") || contains(fsType, "davfs")) return "WebDAV";
    if (host == "tsclient") return "RDP";
    if (host == "wsl$" || host == "wsl.localhost") return "WSL";
    if (fsType == "nfs" || fsType == "nfs4") return "NFS";
    if (contains(fsType, "sshfs")) return "SSHFS";
    if (fsType == "cifs" || fsType == "smb3") return "SMB";
    if (startsWith(source, "\\\\") || startsWith(source, "//")) return "SMB";
    return uiText(txtNetwork);
}

}  // namespace

std::string networkSourceLabel(const MountEntry& entry) {
    const std::string host = sourceHost(entry.source);
    if (host.empty()) return {};
    const char* kind = networkKind(asciiLower(entry.source), asciiLower(entry.fsType), asciiLower(host));
    return std::string(kind) + " " + host;
}

std::string describeVolume(const MountEntry& entry) {
    std::string origin = networkSourceLabel(entry);
    if (origin.empty()) {
        if (!entry.model.empty())
            origin = entry.model;
        else if (!entry.device.empty())
            origin = std::string(uiText(txtDisk)) + ": " + entry.device;
        else if (!entry.source.empty() && entry.source != entry.mountPoint)
            origin = std::string(uiText(txtSource)) + ": " + entry.source;
    }

    std::string space;
    if (entry.spaceKnown) {
        // Some volumes report no per-user figure; the free count is then the
        // best answer to "how much can I still write".
        const uint64_t shown = entry.availableBytes != 0 ? entry.availableBytes : entry.freeBytes;
        space = std::string(uiText(txtVolumeFree)) + ": " + formatSize(shown, uiLanguage) + " / " +
                formatSize(entry.totalBytes, uiLanguage);
        if (entry.availableBytes != 0 && entry.availableBytes != entry.freeBytes)
            space += std::string(" (") + uiText(txtTotalFree) + " " + formatSize(entry.freeBytes, uiLanguage) + ")";
    } else {
        space = uiText(txtFreeSpaceUnknown);
    }

    std::string line;
    const std::string* const parts[] = {&entry.fsType, &origin, &space};
    for (const std::string* part : parts) {
        if (part->empty()) continue;
        if (!line.empty()) line += "   \u00b7   ";
        line += *part;
    }
    return line;
}

}  // namespace fan
