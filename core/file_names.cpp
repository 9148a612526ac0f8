#include "file_names.h"

namespace velmora {

bool HasJpgExtension(std::string_view name) {
    constexpr std::string_view kExtension = ".jpg";
    if (name.size() < kExtension.size()) {
        return false;
    }
    const std::string_view ending = name.substr(name.size() - kExtension.size());
    for (size_t i = 0; i < kExtension.size(); ++i) {
        // Only a..z fold: a locale's case rules must not change which files are pictures.
        char c = ending[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != kExtension[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace velmora
