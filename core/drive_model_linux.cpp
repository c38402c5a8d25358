#include "core/drive_model_linux.h"

#include <fstream>
#include <system_error>

#include "core/drive_model_text.h"

namespace fan {
namespace {

// "major:minor" and nothing else, so the text cannot lead out of dev/block.
bool isDeviceNumber(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i != colon && (text[i] < '0' || text[i] > '9')) return false;
    }
    return true;
}

// A sysfs attribute, up to its first NUL, trimmed; empty when unreadable.
std::string readAttribute(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string text(4096, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return trimDriveText(text);
}

// A vendor that is only a bus id ("0x1af4", as virtio disks give) names no
// maker: the model line would show a number instead of the next part.
bool isBusId(const std::string& vendor) {
    if (vendor.size() < 3 || vendor[0] != '0' || (vendor[1] != 'x' && vendor[1] != 'X')) return false;
    return vendor.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
}

}  // namespace

std::string queryPhysicalDriveModel(const std::string& deviceNumber, std::string& diskName,
                                    const std::filesystem::path& sysRoot) {
    if (!isDeviceNumber(deviceNumber)) return {};
    std::error_code ec;
    // dev/block/MAJ:MIN is a link into the device tree, where a partition's
    // folder sits inside its disk's folder.
    std::filesystem::path disk = std::filesystem::canonical(sysRoot / "dev" / "block" / deviceNumber, ec);
    if (ec || !std::filesystem::is_directory(disk, ec)) return {};
    if (std::filesystem::exists(disk / "partition", ec)) disk = disk.parent_path();
    if (disk.filename().empty()) return {};
    diskName = disk.filename().string();
    const std::filesystem::path device = disk / "device";
    std::string vendor = readAttribute(device / "vendor");
    if (isBusId(vendor)) vendor.clear();
    return composeDriveModel(vendor, readAttribute(device / "model"), readAttribute(device / "rev"));
}

}  // namespace fan
