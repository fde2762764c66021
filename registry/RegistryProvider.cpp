#include "registry/RegistryProvider.h"

#include <stdexcept>

namespace reg {
namespace {
RegistryApi* g_installed = nullptr;
}

void InstallRegistry(RegistryApi* api) { g_installed = api; }

RegistryApi& InstalledRegistry() {
    if (g_installed == nullptr) throw std::runtime_error("no registry provider installed");
    return *g_installed;
}

}  // namespace reg
