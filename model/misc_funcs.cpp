#include "model/misc_funcs.h"

namespace thrustlet {

namespace {

std::string TrimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string TakeField(std::string& sText, const std::string& sDelim, int16_t iCount) {
    const int count = iCount == 0 ? 1 : iCount;
    std::string field;
    for (int n = 0; n < count; ++n) {
        if (sText.empty()) {
            field.clear();
            continue;
        }
        const size_t position = sText.find(sDelim);
        if (position != std::string::npos) {
            field = sText.substr(0, position);
            sText.erase(0, position + sDelim.size());
        } else {
            field = TrimSpaces(sText);
            sText.clear();
        }
    }
    return field;
}

}  // namespace thrustlet
