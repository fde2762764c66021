#pragma once

#include "registry/RegistryApi.h"

// The registry seam bound to advapi32's ANSI entry points, and the text conversion to and from
// the system's ANSI code page. Passes every argument and status through unchanged.
namespace reg {

class Win32Registry final : public RegistryApi {
  public:
    Status RegOpenKeyExA(Hkey key, const char* subKey, std::uint32_t options,
                         std::uint32_t samDesired, Hkey* result) override;
    Status RegCreateKeyExA(Hkey key, const char* subKey, std::uint32_t reserved,
                           const char* keyClass, std::uint32_t options, std::uint32_t samDesired,
                           const void* securityAttributes, Hkey* result,
                           std::uint32_t* disposition) override;
    Status RegQueryValueExA(Hkey key, const char* valueName, std::uint32_t* reserved,
                            std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* dataSize) override;
    Status RegSetValueExA(Hkey key, const char* valueName, std::uint32_t reserved,
                          std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t dataSize) override;
    Status RegDeleteValueA(Hkey key, const char* valueName) override;
    Status RegDeleteKeyA(Hkey key, const char* subKey) override;
    Status RegCloseKey(Hkey key) override;

    // Throw for texts beyond what one conversion call can take, that fail to convert or that hold
    // a character the code page lacks, and std::bad_alloc when there is no memory for the result.
    std::string ToAnsi(TextView text) override;
    Text FromAnsi(std::string_view bytes) override;
};

}  // namespace reg

using reg::Win32Registry;
