#pragma once

#include <cstdint>

#include "common/text.h"
#include "common/truth.h"
#include "registry/RegistryApi.h"

// Reads, writes and deletes string values and deletes keys. Keeps nothing between calls: each
// operation opens its key, does one thing and closes the key again. No operation throws: a read
// that fails gives the empty text, a write or deletion that fails gives kFalse.
class RegStringHandler {
  public:
    explicit RegStringHandler(reg::RegistryApi& api) : api_(api) {}

    Text ReadString(std::uint32_t MyHive, TextView strMyKey,
                    TextView strMyValueName) const noexcept;
    Truth WriteString(std::uint32_t MyHive, TextView strMyKey, TextView strMyValueName,
                      TextView strMyData) const noexcept;
    Truth DeleteValue(std::uint32_t MyHive, TextView strMyKey,
                      TextView strMyValueName) const noexcept;
    Truth DeleteKey(std::uint32_t MyHive, TextView strMyKey) const noexcept;

  private:
    reg::RegistryApi& api_;
};
