#include "registry/RegistryProvider.h"

#include "common/Fault.h"

namespace reg {
namespace {
RegistryApi* g_installed = nullptr;
}

void InstallRegistry(RegistryApi* api) {
    g_installed = api;
}

RegistryApi& InstalledRegistry() {
    if (g_installed == nullptr) throw NotInstalledFault("no registry provider installed");
    return *g_installed;
}

}  // namespace reg
