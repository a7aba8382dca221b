#include "platform/registry_api.h"

#include <cstring>

namespace thrustlet {

std::string CommonRegistryMessage(int32_t code) {
    switch (code) {
        case reg::kSuccess:
            return "The operation completed successfully.\r\n";
        case reg::kFileNotFound:
            return "The system cannot find the file specified.\r\n";
        case reg::kAccessDenied:
            return "Access is denied.\r\n";
        case reg::kInvalidHandle:
            return "The handle is invalid.\r\n";
        case reg::kInvalidParameter:
            return "The parameter is incorrect.\r\n";
        case reg::kMoreData:
            return "More data is available.\r\n";
        case 1009:
            return "The configuration registry database is corrupt.\r\n";
        case 1010:
            return "The configuration registry key is invalid.\r\n";
        case 1011:
            return "The configuration registry key could not be opened.\r\n";
        case 1013:
            return "The configuration registry key could not be written.\r\n";
        default:
            return std::string();
    }
}

uint32_t CopyMessage(const std::string& message, char* buffer, uint32_t size) {
    if (message.empty() || message.size() >= size || !buffer) return 0;
    std::memcpy(buffer, message.data(), message.size());
    buffer[message.size()] = '\0';
    return static_cast<uint32_t>(message.size());
}

}  // namespace thrustlet
