#include "settings/paths.h"

namespace thrustlet {

std::string FolderOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kPathSeparators);
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string FileTitleOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kPathSeparators);
    return last == std::string::npos ? path : path.substr(last + 1);
}

}  // namespace thrustlet
