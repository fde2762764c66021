#include "registry/RegStringHandler.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>

#include "common/Fault.h"
#include "registry/ScopedKey.h"

namespace {

// The class string of every key a write creates.
constexpr char kCreatedKeyClass[] = "REG_DWORD";

// A value that another process keeps growing between our size query and our data query is
// given up on after this many rounds.
constexpr int kReadAttempts = 4;

// A key path or value name as the ANSI calls take it. Refused (thrown) when it cannot cross them
// as it is, since they would act on a key or value other than the one named: with a NUL, on the
// part before it; with a character the code page lacks (the conversion refuses it), on its
// nearest spelling.
std::string AnsiName(reg::RegistryApi& api, TextView name) {
    if (name.find(u'\0') != TextView::npos) throw Fault("a NUL in a key path or value name");
    return api.ToAnsi(name);
}

// The key path without the backslashes at either end; those inside stay as they are.
Text TrimKeySlashes(TextView path) {
    const std::size_t first = path.find_first_not_of(u'\\');
    if (first == TextView::npos) return {};
    const std::size_t last = path.find_last_not_of(u'\\');
    return Text(path.substr(first, last - first + 1));
}

// The open call takes no subkey at all for the root itself.
const char* SubKeyOrNull(const std::string& path) {
    return path.empty() ? nullptr : path.c_str();
}

// Opens the key at `path` below the root into `key`. The status is not looked at: the handle
// tells whether the key opened.
void OpenKey(reg::RegistryApi& api, std::uint32_t hive, const std::string& path,
             std::uint32_t access, reg::ScopedKey& key) {
    static_cast<void>(
        api.RegOpenKeyExA(reg::RootKey(hive), SubKeyOrNull(path), 0, access, key.Out()));
}

std::uint8_t* Bytes(std::string& buffer) {
    return reinterpret_cast<std::uint8_t*>(buffer.data());
}

const std::uint8_t* Bytes(const std::string& buffer) {
    return reinterpret_cast<const std::uint8_t*>(buffer.c_str());
}

}  // namespace

Text RegStringHandler::ReadString(std::uint32_t MyHive, TextView strMyKey,
                                  TextView strMyValueName) const noexcept {
    try {
        const std::string path = AnsiName(api_, TrimKeySlashes(strMyKey));
        const std::string name = AnsiName(api_, strMyValueName);
        reg::ScopedKey key(api_);
        // Reading asks for read access only, so a key the user may not modify still reads.
        OpenKey(api_, MyHive, path, reg::kKeyRead, key);
        if (!key.IsOpen()) return {};

        for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
            std::uint32_t type = 0;
            std::uint32_t size = 0;
            static_cast<void>(
                api_.RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size));
            if (type != reg::kRegSz) return {};  // missing, or not a string

            // One byte more than the value needs, all spaces; the query is offered only `size`.
            std::string buffer(std::size_t{size} + 1, ' ');
            std::uint32_t delivered = size;
            const reg::Status status = api_.RegQueryValueExA(key.Get(), name.c_str(), nullptr,
                                                             &type, Bytes(buffer), &delivered);
            if (status == reg::kMoreData) continue;  // it grew after the size query: ask again
            // A value replaced by one of another type in between is no string either.
            if (status != reg::kSuccess || type != reg::kRegSz) return {};

            const Text text = api_.FromAnsi(buffer);
            const std::size_t nul = text.find(u'\0');
            if (nul != Text::npos) return text.substr(0, nul);
            // Stored without a terminator: the delivered bytes are the whole text.
            return api_.FromAnsi(std::string_view(buffer).substr(0, std::min(delivered, size)));
        }
        return {};
    } catch (...) {
        return {};
    }
}

Truth RegStringHandler::WriteString(std::uint32_t MyHive, TextView strMyKey,
                                    TextView strMyValueName, TextView strMyData) const noexcept {
    try {
        // Every text converted first: one that is refused leaves the registry as it was.
        const std::string path = AnsiName(api_, TrimKeySlashes(strMyKey));
        const std::string name = AnsiName(api_, strMyValueName);
        const std::string data = api_.ToAnsi(strMyData);
        if (data.size() >= std::numeric_limits<std::uint32_t>::max()) return kFalse;
        reg::ScopedKey key(api_);
        OpenKey(api_, MyHive, path, reg::kKeyAllAccess, key);
        if (!key.IsOpen()) {
            // Creates every missing key along the path.
            std::uint32_t disposition = 0;
            static_cast<void>(api_.RegCreateKeyExA(
                reg::RootKey(MyHive), path.c_str(), 0, kCreatedKeyClass, reg::kOptionNonVolatile,
                reg::kKeyAllAccess, nullptr, key.Out(), &disposition));
        }
        if (!key.IsOpen()) return kFalse;
        // The count leaves the terminator out; the NUL that std::string keeps right after the
        // data is what the registry stores with a string counted that way.
        const reg::Status status =
            api_.RegSetValueExA(key.Get(), name.c_str(), 0, reg::kRegSz, Bytes(data),
                                static_cast<std::uint32_t>(data.size()));
        return ToTruth(status == reg::kSuccess);
    } catch (...) {
        return kFalse;
    }
}

Truth RegStringHandler::DeleteValue(std::uint32_t MyHive, TextView strMyKey,
                                    TextView strMyValueName) const noexcept {
    try {
        const std::string path = AnsiName(api_, TrimKeySlashes(strMyKey));
        const std::string name = AnsiName(api_, strMyValueName);
        reg::ScopedKey key(api_);
        OpenKey(api_, MyHive, path, reg::kKeyAllAccess, key);
        if (!key.IsOpen()) return kFalse;
        return ToTruth(api_.RegDeleteValueA(key.Get(), name.c_str()) == reg::kSuccess);
    } catch (...) {
        return kFalse;
    }
}

Truth RegStringHandler::DeleteKey(std::uint32_t MyHive, TextView strMyKey) const noexcept {
    try {
        const std::string path = AnsiName(api_, TrimKeySlashes(strMyKey));
        reg::ScopedKey key(api_);
        OpenKey(api_, MyHive, path, reg::kKeyAllAccess, key);
        if (!key.IsOpen()) return kFalse;
        // An empty subkey name deletes the opened key itself; its subkeys are not touched, so a
        // key that has any stays (the registry refuses it).
        return ToTruth(api_.RegDeleteKeyA(key.Get(), "") == reg::kSuccess);
    } catch (...) {
        return kFalse;
    }
}
