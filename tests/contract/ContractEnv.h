#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "registry/RegistryApi.h"

// The registry provider a contract run exercises, and what the tests need beyond the seam. One
// implementation per provider: the in-memory model natively, advapi32 under Wine.
class ContractEnv {
  public:
    virtual ~ContractEnv() = default;

    // Called around every test: Begin leaves an empty scratch key, End removes it.
    virtual void Begin() = 0;
    virtual void End() = 0;

    virtual reg::RegistryApi& Api() = 0;
    // The scratch key's path below HKEY_CURRENT_USER, without slashes at either end.
    virtual const std::string& Scratch() const = 0;

    // RegQueryInfoKeyA's class string for an open key; nullopt when the query fails.
    virtual std::optional<std::string> KeyClass(reg::Hkey key) = 0;
    // Lets the user read but not modify the key at `path` (below HKEY_CURRENT_USER).
    virtual void MakeReadOnly(const std::string& path) = 0;
    // Denies the user every right on the key at `path`.
    virtual void MakeInaccessible(const std::string& path) = 0;
    // The number of open key handles, where the provider can tell.
    virtual std::optional<std::size_t> OpenHandles() = 0;
};

ContractEnv& Env();
