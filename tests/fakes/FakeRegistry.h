#pragma once

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/Fault.h"
#include "registry/RegistryApi.h"

// The registry seam in memory, below HKEY_CURRENT_USER only: keys by full path ("" the root),
// values as bytes with their type, open handles counted. Logs every call as a line: "Open A\B
// 20019" (access), "Create A\B REG_DWORD f003f", "Query V" (size query), "Query V 6" (capacity),
// "Set V 4 True\0" (count, counted bytes and the one after), "DeleteValue V", "DeleteKey ",
// "Close", "(null)" for a null name. Texts cross as Latin-1; one beyond it is refused, as the
// real binding refuses one its code page lacks.
class FakeRegistry : public reg::RegistryApi {
  public:
    struct Value {
        std::uint32_t type = reg::kRegSz;
        std::string bytes;
    };

    std::map<std::string, std::map<std::string, Value>> keys{{"", {}}};
    std::vector<std::string> log;
    // Sees each call before it acts (another process may act meanwhile); a status other than
    // success fails the call with it.
    std::function<reg::Status(const std::string&)> intercept;

    void Put(const std::string& path, const std::string& name, std::string bytes,
             std::uint32_t type = reg::kRegSz) {
        MakePath(path);
        keys[path][name] = Value{type, std::move(bytes)};
    }
    const Value* Get(const std::string& path, const std::string& name) const {
        const auto key = keys.find(path);
        return key != keys.end() && key->second.count(name) ? &key->second.at(name) : nullptr;
    }
    std::size_t OpenHandles() const { return handles_.size(); }

    // A reserved argument other than zero, or an option other than the plain one (a symbolic
    // link opened, a volatile key made), is refused as a wrong parameter.
    reg::Status RegOpenKeyExA(reg::Hkey root, const char* subKey, std::uint32_t options,
                              std::uint32_t access, reg::Hkey* result) override {
        if (options != 0) return reg::kInvalidParameter;
        if (auto status = Enter("Open " + Name(subKey) + " " + Hex(access))) return *status;
        return Open(root, subKey, result);
    }
    reg::Status RegCreateKeyExA(reg::Hkey root, const char* subKey, std::uint32_t reserved,
                                const char* keyClass, std::uint32_t options, std::uint32_t access,
                                const void*, reg::Hkey* result, std::uint32_t*) override {
        if (reserved != 0 || options != 0) return reg::kInvalidParameter;
        if (auto status =
                Enter("Create " + Name(subKey) + " " + Name(keyClass) + " " + Hex(access)))
            return *status;
        if (root == kRoot) MakePath(subKey == nullptr ? "" : subKey);
        return Open(root, subKey, result);
    }
    reg::Status RegQueryValueExA(reg::Hkey key, const char* name, std::uint32_t* reserved,
                                 std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* size) override {
        if (reserved != nullptr) return reg::kInvalidParameter;
        const std::uint32_t capacity = data == nullptr ? 0 : *size;
        if (auto status =
                Enter("Query " + Name(name) + (data ? " " + std::to_string(capacity) : "")))
            return *status;
        const Value* value = Get(handles_.at(key), Name(name));
        if (value == nullptr) return reg::kFileNotFound;  // the type left as it was
        *type = value->type;
        *size = static_cast<std::uint32_t>(value->bytes.size());
        if (data == nullptr) return reg::kSuccess;
        if (capacity < *size) return reg::kMoreData;
        std::memcpy(data, value->bytes.data(), *size);
        if (value->type == reg::kRegSz && capacity > *size) data[*size] = 0;  // room for a NUL
        return reg::kSuccess;
    }
    reg::Status RegSetValueExA(reg::Hkey key, const char* name, std::uint32_t reserved,
                               std::uint32_t type, const std::uint8_t* data,
                               std::uint32_t size) override {
        if (reserved != 0) return reg::kInvalidParameter;
        std::string bytes(reinterpret_cast<const char*>(data), size + std::size_t{1});
        if (auto status = Enter("Set " + Name(name) + " " + std::to_string(size) + " " + bytes))
            return *status;
        // A string counted without its terminator keeps the NUL that follows it.
        if (type != reg::kRegSz || size == 0 || bytes[size - 1] == '\0' || bytes[size] != '\0')
            bytes.pop_back();
        Put(handles_.at(key), Name(name), bytes, type);
        return reg::kSuccess;
    }
    reg::Status RegDeleteValueA(reg::Hkey key, const char* name) override {
        if (auto status = Enter("DeleteValue " + Name(name))) return *status;
        return keys.at(handles_.at(key)).erase(Name(name)) == 1 ? reg::kSuccess
                                                                : reg::kFileNotFound;
    }
    // Only the opened key itself, as the store asks.
    reg::Status RegDeleteKeyA(reg::Hkey key, const char* subKey) override {
        if (auto status = Enter("DeleteKey " + Name(subKey))) return *status;
        return Name(subKey).empty() && keys.erase(handles_.at(key)) == 1 ? reg::kSuccess
                                                                         : reg::kInvalidParameter;
    }
    reg::Status RegCloseKey(reg::Hkey key) override {
        if (auto status = Enter("Close")) return *status;
        return handles_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
    }
    std::string ToAnsi(TextView text) override {
        if (std::ranges::any_of(text, [](char16_t c) { return c >= 0x100; }))
            throw Fault("not in Latin-1");
        return {text.begin(), text.end()};
    }
    Text FromAnsi(std::string_view bytes) override {
        Text text;
        for (const char c : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
        return text;
    }

  private:
    static constexpr reg::Hkey kRoot = reg::RootKey(reg::kHkeyCurrentUser);

    static std::string Name(const char* text) { return text == nullptr ? "(null)" : text; }
    static std::string Hex(std::uint32_t n) {
        char digits[8];
        return {digits, std::to_chars(digits, digits + 8, n, 16).ptr};
    }
    // Logs the call and lets the hook act; the status that fails the call, if any.
    std::optional<reg::Status> Enter(const std::string& call) {
        log.push_back(call);
        const reg::Status status = intercept ? intercept(call) : reg::kSuccess;
        return status == reg::kSuccess ? std::nullopt : std::optional(status);
    }
    void MakePath(const std::string& path) {
        for (std::size_t end = 0; end != std::string::npos;) {
            end = path.find('\\', end + 1);
            keys.try_emplace(path.substr(0, end));
        }
    }
    reg::Status Open(reg::Hkey root, const char* subKey, reg::Hkey* result) {
        const std::string path = subKey == nullptr ? "" : subKey;
        if (root != kRoot || keys.count(path) == 0) return reg::kFileNotFound;
        handles_[next_] = path;
        *result = next_++;
        return reg::kSuccess;
    }

    std::map<reg::Hkey, std::string> handles_;  // the open keys' paths
    reg::Hkey next_ = 0x100;
};
