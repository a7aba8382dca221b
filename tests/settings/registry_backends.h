#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace thrustlet {

// A store the layer tests run against.
struct RegistryBackend {
    std::string name;
    std::function<std::unique_ptr<IRegistryApi>()> make;
};

// Every store this build has.
std::vector<RegistryBackend> RegistryBackends();

}  // namespace thrustlet
