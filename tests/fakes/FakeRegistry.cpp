#include "tests/fakes/FakeRegistry.h"

#include <algorithm>
#include <cstring>

namespace {

std::optional<std::string> Str(const char* text) {
    return text == nullptr ? std::nullopt : std::optional<std::string>(text);
}

bool IsParentOf(const std::string& parent, const std::string& path) {
    return path.size() > parent.size() && path.compare(0, parent.size(), parent) == 0 &&
           (parent.empty() || path[parent.size()] == '\\');
}

}  // namespace

void FakeRegistry::Put(const std::string& path, const std::string& name, std::string bytes,
                       std::uint32_t type) {
    MakePath(path, "");
    keys[path].values[name] = Value{type, std::move(bytes)};
}

void FakeRegistry::MakePath(const std::string& path, const char* keyClass) {
    for (std::size_t end = 0; end != std::string::npos;) {
        end = path.find('\\', end + 1);
        const auto [key, isNew] = keys.try_emplace(path.substr(0, end));
        if (isNew) key->second.keyClass = keyClass == nullptr ? "" : keyClass;
    }
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(const std::string& path,
                                                     const std::string& name) const {
    const auto key = keys.find(path);
    if (key == keys.end() || key->second.values.count(name) == 0) return std::nullopt;
    return key->second.values.at(name);
}

std::vector<std::string> FakeRegistry::Ops() const {
    std::vector<std::string> ops;
    for (const Call& call : calls) ops.push_back(call.op);
    return ops;
}

std::optional<reg::Status> FakeRegistry::Enter(const Call& call) {
    calls.push_back(call);
    if (beforeCall) beforeCall(call);
    const auto injected = failing.find(call.op);
    if (injected == failing.end()) return std::nullopt;
    return injected->second;
}

const FakeRegistry::Handle* FakeRegistry::Find(reg::Hkey key) const {
    const auto found = handles_.find(key);
    if (found == handles_.end() || keys.count(found->second.path) == 0) return nullptr;
    return &found->second;
}

reg::Status FakeRegistry::Open(reg::Hkey root, const std::string& path, std::uint32_t access,
                               reg::Hkey* result) {
    if (root != reg::RootKey(reg::kHkeyCurrentUser)) return reg::kInvalidHandle;
    if (!path.empty() && path.front() == '\\') return reg::kBadPathname;
    const auto key = keys.find(path);
    if (key == keys.end()) return reg::kFileNotFound;
    const bool write = (access & ~reg::kKeyRead) != 0;
    if (write && key->second.readOnly) return reg::kAccessDenied;
    handles_[next_] = Handle{path, write};
    *result = next_++;
    return reg::kSuccess;
}

reg::Status FakeRegistry::RegOpenKeyExA(reg::Hkey key, const char* subKey, std::uint32_t,
                                        std::uint32_t samDesired, reg::Hkey* result) {
    if (auto status = Enter({.op = "Open", .key = key, .name = Str(subKey), .access = samDesired}))
        return *status;
    return Open(key, subKey == nullptr ? "" : subKey, samDesired, result);
}

reg::Status FakeRegistry::RegCreateKeyExA(reg::Hkey key, const char* subKey, std::uint32_t,
                                          const char* keyClass, std::uint32_t,
                                          std::uint32_t samDesired, const void*, reg::Hkey* result,
                                          std::uint32_t*) {
    if (auto status = Enter({.op = "Create",
                             .key = key,
                             .name = Str(subKey),
                             .access = samDesired,
                             .keyClass = Str(keyClass)}))
        return *status;
    const std::string path = subKey == nullptr ? "" : subKey;
    if (key == reg::RootKey(reg::kHkeyCurrentUser) && (path.empty() || path.front() != '\\'))
        MakePath(path, keyClass);
    return Open(key, path, samDesired, result);
}

reg::Status FakeRegistry::RegQueryValueExA(reg::Hkey key, const char* valueName, std::uint32_t*,
                                           std::uint32_t* type, std::uint8_t* data,
                                           std::uint32_t* dataSize) {
    if (auto status = Enter(
            {.op = "Query", .key = key, .name = Str(valueName), .size = data ? *dataSize : 0}))
        return *status;
    const Handle* handle = Find(key);
    if (handle == nullptr) return reg::kInvalidHandle;
    const auto value = Get(handle->path, valueName == nullptr ? "" : valueName);
    if (!value) {
        *type = reg::kRegNone;
        return reg::kFileNotFound;
    }
    *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->bytes.size());
    if (data == nullptr) {
        *dataSize = needed;
        return reg::kSuccess;
    }
    const std::uint32_t capacity = *dataSize;
    *dataSize = needed;
    if (capacity < needed) return reg::kMoreData;
    std::memcpy(data, value->bytes.data(), needed);
    if (value->type == reg::kRegSz && capacity > needed) data[needed] = 0;  // room: terminated
    return reg::kSuccess;
}

reg::Status FakeRegistry::RegSetValueExA(reg::Hkey key, const char* valueName, std::uint32_t,
                                         std::uint32_t type, const std::uint8_t* data,
                                         std::uint32_t dataSize) {
    std::string bytes(reinterpret_cast<const char*>(data), dataSize + std::size_t{1});
    if (auto status = Enter(
            {.op = "Set", .key = key, .name = Str(valueName), .size = dataSize, .data = bytes}))
        return *status;
    const Handle* handle = Find(key);
    if (handle == nullptr) return reg::kInvalidHandle;
    if (!handle->write) return reg::kAccessDenied;
    // A string counted without its terminator keeps the NUL that follows it.
    const bool terminated = type == reg::kRegSz && dataSize > 0 && bytes[dataSize - 1] != '\0' &&
                            bytes[dataSize] == '\0';
    if (!terminated) bytes.pop_back();
    Put(handle->path, valueName == nullptr ? "" : valueName, bytes, type);
    return reg::kSuccess;
}

reg::Status FakeRegistry::RegDeleteValueA(reg::Hkey key, const char* valueName) {
    if (auto status = Enter({.op = "DeleteValue", .key = key, .name = Str(valueName)}))
        return *status;
    const Handle* handle = Find(key);
    if (handle == nullptr) return reg::kInvalidHandle;
    if (!handle->write) return reg::kAccessDenied;
    return keys[handle->path].values.erase(valueName == nullptr ? "" : valueName) == 1
               ? reg::kSuccess
               : reg::kFileNotFound;
}

reg::Status FakeRegistry::RegDeleteKeyA(reg::Hkey key, const char* subKey) {
    if (auto status = Enter({.op = "DeleteKey", .key = key, .name = Str(subKey)})) return *status;
    const Handle* handle = Find(key);
    if (handle == nullptr) return reg::kInvalidHandle;
    if (subKey == nullptr) return reg::kInvalidParameter;
    const std::string path = *subKey == '\0'        ? handle->path
                             : handle->path.empty() ? std::string(subKey)
                                                    : handle->path + "\\" + subKey;
    if (path.empty() || keys.count(path) == 0)
        return path.empty() ? reg::kAccessDenied : reg::kFileNotFound;
    const bool hasSubkeys = std::any_of(
        keys.begin(), keys.end(), [&](const auto& entry) { return IsParentOf(path, entry.first); });
    if (hasSubkeys) return reg::kAccessDenied;
    keys.erase(path);
    return reg::kSuccess;
}

reg::Status FakeRegistry::RegCloseKey(reg::Hkey key) {
    if (auto status = Enter({.op = "Close", .key = key})) return *status;
    return handles_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
}

std::string FakeRegistry::ToAnsi(TextView text) {
    std::string bytes;
    for (const char16_t c : text) bytes += c < 0x100 ? static_cast<char>(c) : '?';
    return bytes;
}

Text FakeRegistry::FromAnsi(std::string_view bytes) {
    Text text;
    for (const char c : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
    return text;
}
