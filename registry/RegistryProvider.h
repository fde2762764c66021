#pragma once

#include "registry/RegistryApi.h"

// The registry provider installed at start-up (advapi32 on Windows, the model in tests).
namespace reg {

void InstallRegistry(RegistryApi* api);
// Throws NotInstalledFault when no provider is installed.
RegistryApi& InstalledRegistry();

}  // namespace reg
