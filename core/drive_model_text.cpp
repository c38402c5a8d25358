#include "core/drive_model_text.h"

namespace fan {

std::string trimDriveText(const std::string& text) {
    static const char kSpace[] = "\t\n\r ";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::string composeDriveModel(const std::string& vendor, const std::string& product, const std::string& revision) {
    std::string model = vendor;
    if (!product.empty()) model = model.empty() ? product : model + " " + product;
    if (model.empty()) model = revision;
    return model;
}

}  // namespace fan
