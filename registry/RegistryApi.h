#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"

// The registry as RegStringHandler uses it: the seven ANSI entry points of advapi32, with the
// same argument order, plus the code-page conversion that every text crossing them goes through.
// Implemented by platform/win32 (the real advapi32) and the tests (a fake).
namespace reg {

using Hkey = std::uintptr_t;  // 0 is "no key"
using Status = std::int32_t;  // a Win32 error code; 0 is success

inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kInvalidHandle = 6;
inline constexpr Status kInvalidParameter = 87;
inline constexpr Status kBadPathname = 161;
inline constexpr Status kMoreData = 234;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kOptionNonVolatile = 0;

// A predefined root as the program passes it: a 32-bit handle value.
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001U;

// Predefined roots are sign-extended 32-bit values on 64-bit Windows.
constexpr Hkey RootKey(std::uint32_t hive) {
    return static_cast<Hkey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(hive)));
}

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    virtual Status RegOpenKeyExA(Hkey key, const char* subKey, std::uint32_t options,
                                 std::uint32_t samDesired, Hkey* result) = 0;
    virtual Status RegCreateKeyExA(Hkey key, const char* subKey, std::uint32_t reserved,
                                   const char* keyClass, std::uint32_t options,
                                   std::uint32_t samDesired, const void* securityAttributes,
                                   Hkey* result, std::uint32_t* disposition) = 0;
    virtual Status RegQueryValueExA(Hkey key, const char* valueName, std::uint32_t* reserved,
                                    std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* dataSize) = 0;
    virtual Status RegSetValueExA(Hkey key, const char* valueName, std::uint32_t reserved,
                                  std::uint32_t type, const std::uint8_t* data,
                                  std::uint32_t dataSize) = 0;
    virtual Status RegDeleteValueA(Hkey key, const char* valueName) = 0;
    virtual Status RegDeleteKeyA(Hkey key, const char* subKey) = 0;
    virtual Status RegCloseKey(Hkey key) = 0;

    // The system's ANSI code page. ToAnsi throws for a text the code page cannot hold as it is
    // (no best fit, no default character), so that the store refuses it.
    virtual std::string ToAnsi(TextView text) = 0;
    virtual Text FromAnsi(std::string_view bytes) = 0;
};

}  // namespace reg
