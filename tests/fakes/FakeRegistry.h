#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/Fault.h"
#include "registry/RegistryApi.h"

// The registry seam in memory, below HKEY_CURRENT_USER only: keys by their full path (exact
// case; "" is the root), values as stored bytes with their type. Logs every call with its
// arguments, counts open handles and fails calls on demand. Texts cross as Latin-1: one with a
// character beyond it is refused, as the real binding refuses one its code page lacks.
class FakeRegistry : public reg::RegistryApi {
  public:
    struct Value {
        std::uint32_t type = reg::kRegSz;
        std::string bytes;
    };
    struct Call {
        std::string op;  // Open, Create, Query, Set, DeleteValue, DeleteKey, Close
        reg::Hkey key = 0;
        std::optional<std::string> name{};  // subkey or value name; nullopt for a null pointer
        std::uint32_t access = 0;
        std::optional<std::string> keyClass{};
        std::uint32_t size = 0;  // Set: the count; Query: the capacity (0 for the size query)
        std::string data{};      // Set: the counted bytes and the one after them
    };

    std::map<std::string, std::map<std::string, Value>> keys{{"", {}}};
    std::vector<Call> calls;
    std::map<std::string, reg::Status> failing;   // op -> status returned instead of acting
    std::function<void(const Call&)> beforeCall;  // another process acting between calls

    void Put(const std::string& path, const std::string& name, std::string bytes,
             std::uint32_t type = reg::kRegSz) {
        MakePath(path);
        keys[path][name] = Value{type, std::move(bytes)};
    }
    std::optional<Value> Get(const std::string& path, const std::string& name) const {
        if (keys.count(path) == 0 || keys.at(path).count(name) == 0) return std::nullopt;
        return keys.at(path).at(name);
    }
    std::size_t OpenHandles() const { return handles_.size(); }
    std::vector<std::string> Ops() const {
        std::vector<std::string> ops;
        for (const Call& call : calls) ops.push_back(call.op);
        return ops;
    }

    reg::Status RegOpenKeyExA(reg::Hkey root, const char* subKey, std::uint32_t,
                              std::uint32_t access, reg::Hkey* result) override {
        if (auto status = Enter({"Open", root, Str(subKey), access})) return *status;
        return Open(root, subKey == nullptr ? "" : subKey, result);
    }
    reg::Status RegCreateKeyExA(reg::Hkey root, const char* subKey, std::uint32_t,
                                const char* keyClass, std::uint32_t, std::uint32_t access,
                                const void*, reg::Hkey* result, std::uint32_t*) override {
        if (auto status = Enter({"Create", root, Str(subKey), access, Str(keyClass)}))
            return *status;
        const std::string path = subKey == nullptr ? "" : subKey;
        if (root == kRoot && !path.starts_with('\\')) MakePath(path);
        return Open(root, path, result);
    }
    reg::Status RegQueryValueExA(reg::Hkey key, const char* name, std::uint32_t*,
                                 std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* size) override {
        const std::uint32_t capacity = data == nullptr ? 0 : *size;
        if (auto status = Enter({"Query", key, Str(name), 0, {}, capacity})) return *status;
        if (handles_.count(key) == 0) return reg::kInvalidHandle;
        const auto value = Get(handles_.at(key), name == nullptr ? "" : name);
        *type = value ? value->type : reg::kRegNone;
        if (!value) return reg::kFileNotFound;
        *size = static_cast<std::uint32_t>(value->bytes.size());
        if (data == nullptr) return reg::kSuccess;
        if (capacity < *size) return reg::kMoreData;
        std::memcpy(data, value->bytes.data(), *size);
        if (value->type == reg::kRegSz && capacity > *size) data[*size] = 0;  // room for a NUL
        return reg::kSuccess;
    }
    reg::Status RegSetValueExA(reg::Hkey key, const char* name, std::uint32_t, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) override {
        std::string bytes(reinterpret_cast<const char*>(data), size + std::size_t{1});
        if (auto status = Enter({"Set", key, Str(name), 0, {}, size, bytes})) return *status;
        if (handles_.count(key) == 0) return reg::kInvalidHandle;
        // A string counted without its terminator keeps the NUL that follows it.
        if (type != reg::kRegSz || size == 0 || bytes[size - 1] == '\0' || bytes[size] != '\0')
            bytes.pop_back();
        Put(handles_.at(key), name == nullptr ? "" : name, bytes, type);
        return reg::kSuccess;
    }
    reg::Status RegDeleteValueA(reg::Hkey key, const char* name) override {
        if (auto status = Enter({"DeleteValue", key, Str(name)})) return *status;
        return keys[handles_.at(key)].erase(Str(name).value_or("")) == 1 ? reg::kSuccess
                                                                         : reg::kFileNotFound;
    }
    // Only what the store asks for: the opened key itself, when it has no subkeys.
    reg::Status RegDeleteKeyA(reg::Hkey key, const char* subKey) override {
        if (auto status = Enter({"DeleteKey", key, Str(subKey)})) return *status;
        if (Str(subKey) != "") return reg::kInvalidParameter;
        const std::string path = handles_.at(key);
        const auto next = keys.lower_bound(path + "\\");  // its first subkey, if any
        if (path.empty() || (next != keys.end() && next->first.starts_with(path + "\\")))
            return reg::kAccessDenied;
        keys.erase(path);
        return reg::kSuccess;
    }
    reg::Status RegCloseKey(reg::Hkey key) override {
        if (auto status = Enter({"Close", key})) return *status;
        return handles_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
    }
    std::string ToAnsi(TextView text) override {
        std::string bytes;
        for (const char16_t c : text) {
            if (c >= 0x100) throw Fault("not in Latin-1");
            bytes += static_cast<char>(c);
        }
        return bytes;
    }
    Text FromAnsi(std::string_view bytes) override {
        Text text;
        for (const char c : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
        return text;
    }

  private:
    static constexpr reg::Hkey kRoot = reg::RootKey(reg::kHkeyCurrentUser);

    static std::optional<std::string> Str(const char* text) {
        return text == nullptr ? std::nullopt : std::optional<std::string>(text);
    }
    // Logs the call and lets the hook act; the injected status for the call, if any.
    std::optional<reg::Status> Enter(const Call& call) {
        calls.push_back(call);
        if (beforeCall) beforeCall(call);
        if (failing.count(call.op) == 0) return std::nullopt;
        return failing.at(call.op);
    }
    void MakePath(const std::string& path) {
        for (std::size_t end = 0; end != std::string::npos;) {
            end = path.find('\\', end + 1);
            keys.try_emplace(path.substr(0, end));
        }
    }
    reg::Status Open(reg::Hkey root, const std::string& path, reg::Hkey* result) {
        if (root != kRoot) return reg::kInvalidHandle;
        if (keys.count(path) == 0) return reg::kFileNotFound;
        handles_[next_] = path;
        *result = next_++;
        return reg::kSuccess;
    }

    std::map<reg::Hkey, std::string> handles_;  // the open keys' paths
    reg::Hkey next_ = 0x100;
};
