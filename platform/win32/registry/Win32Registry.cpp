#include "platform/win32/registry/Win32Registry.h"

#include <windows.h>

#include <climits>

#include "common/Fault.h"

namespace reg {
namespace {

static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
static_assert(sizeof(wchar_t) == sizeof(char16_t));
static_assert(sizeof(HKEY) == sizeof(Hkey));

HKEY ToHkey(Hkey key) {
    return reinterpret_cast<HKEY>(key);
}
Hkey FromHkey(HKEY key) {
    return reinterpret_cast<Hkey>(key);
}
Status ToStatus(LSTATUS status) {
    return static_cast<Status>(status);
}

int CheckedLength(std::size_t length) {
    if (length > static_cast<std::size_t>(INT_MAX)) throw Fault("text too long");
    return static_cast<int>(length);
}

LPDWORD AsDword(std::uint32_t* value) {
    return reinterpret_cast<LPDWORD>(value);
}

// A text that does not convert unchanged is a failure, never an empty or a changed text: an empty
// key path would name the root key itself.
[[noreturn]] void ConversionFailed() {
    throw Fault("ANSI code page conversion failed");
}

// The ANSI code page as the conversions name it. Under UTF-8 by its own number: Windows documents
// WC_ERR_INVALID_CHARS for CP_UTF8 and 54936 alone, and fails it with any other argument, CP_ACP
// included; both directions name it alike.
UINT AnsiCodePage() {
    return ::GetACP() == CP_UTF8 ? CP_UTF8 : CP_ACP;
}

}  // namespace

Status Win32Registry::RegOpenKeyExA(Hkey key, const char* subKey, std::uint32_t options,
                                    std::uint32_t samDesired, Hkey* result) {
    if (result == nullptr) {
        return ToStatus(::RegOpenKeyExA(ToHkey(key), subKey, options, samDesired, nullptr));
    }
    HKEY opened = ToHkey(*result);
    const LSTATUS status = ::RegOpenKeyExA(ToHkey(key), subKey, options, samDesired, &opened);
    *result = FromHkey(opened);
    return ToStatus(status);
}

Status Win32Registry::RegCreateKeyExA(Hkey key, const char* subKey, std::uint32_t reserved,
                                      const char* keyClass, std::uint32_t options,
                                      std::uint32_t samDesired, const void* securityAttributes,
                                      Hkey* result, std::uint32_t* disposition) {
    HKEY created = result == nullptr ? nullptr : ToHkey(*result);
    const LSTATUS status = ::RegCreateKeyExA(
        ToHkey(key), subKey, reserved, const_cast<LPSTR>(keyClass), options, samDesired,
        static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(securityAttributes)),
        result == nullptr ? nullptr : &created, AsDword(disposition));
    if (result != nullptr) *result = FromHkey(created);
    return ToStatus(status);
}

Status Win32Registry::RegQueryValueExA(Hkey key, const char* valueName, std::uint32_t* reserved,
                                       std::uint32_t* type, std::uint8_t* data,
                                       std::uint32_t* dataSize) {
    return ToStatus(::RegQueryValueExA(ToHkey(key), valueName, AsDword(reserved), AsDword(type),
                                       data, AsDword(dataSize)));
}

Status Win32Registry::RegSetValueExA(Hkey key, const char* valueName, std::uint32_t reserved,
                                     std::uint32_t type, const std::uint8_t* data,
                                     std::uint32_t dataSize) {
    return ToStatus(::RegSetValueExA(ToHkey(key), valueName, reserved, type, data, dataSize));
}

Status Win32Registry::RegDeleteValueA(Hkey key, const char* valueName) {
    return ToStatus(::RegDeleteValueA(ToHkey(key), valueName));
}

Status Win32Registry::RegDeleteKeyA(Hkey key, const char* subKey) {
    return ToStatus(::RegDeleteKeyA(ToHkey(key), subKey));
}

Status Win32Registry::RegCloseKey(Hkey key) {
    return ToStatus(::RegCloseKey(ToHkey(key)));
}

std::string Win32Registry::ToAnsi(TextView text) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = CheckedLength(text.size());
    // No best fit ("\u0100" as "A") and no default character ("?"): either would name, or store,
    // something other than the text. UTF-8 holds every text but an unpaired surrogate, and takes
    // neither of those settings, only the refusal of that one.
    const UINT page = AnsiCodePage();
    const bool utf8 = page == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL defaultUsed = FALSE;
    BOOL* const usedDefault = utf8 ? nullptr : &defaultUsed;
    const int needed =
        ::WideCharToMultiByte(page, flags, wide, length, nullptr, 0, nullptr, usedDefault);
    if (needed <= 0) ConversionFailed();
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    const int written = ::WideCharToMultiByte(page, flags, wide, length, bytes.data(), needed,
                                              nullptr, usedDefault);
    if (written <= 0 || defaultUsed) ConversionFailed();
    bytes.resize(static_cast<std::size_t>(written));
    return bytes;
}

Text Win32Registry::FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int length = CheckedLength(bytes.size());
    const UINT page = AnsiCodePage();
    const int needed = ::MultiByteToWideChar(page, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) ConversionFailed();
    Text text(static_cast<std::size_t>(needed), u'\0');
    const int written = ::MultiByteToWideChar(page, 0, bytes.data(), length,
                                              reinterpret_cast<wchar_t*>(text.data()), needed);
    if (written <= 0) ConversionFailed();
    text.resize(static_cast<std::size_t>(written));
    return text;
}

}  // namespace reg
