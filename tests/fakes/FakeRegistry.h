#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

// The registry seam in memory, below HKEY_CURRENT_USER only: keys by their full path (exact
// case), values as stored bytes with their type. Logs every call with its arguments, counts open
// handles, and fails calls on demand. Texts cross as Latin-1.
class FakeRegistry final : public reg::RegistryApi {
  public:
    struct Value {
        std::uint32_t type = reg::kRegSz;
        std::string bytes;
        friend bool operator==(const Value&, const Value&) = default;
    };
    struct Key {
        std::string keyClass;
        bool readOnly = false;  // opens for KEY_READ only
        std::map<std::string, Value> values;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct Call {
        std::string op;  // Open, Create, Query, Set, DeleteValue, DeleteKey, Close
        reg::Hkey key = 0;
        std::optional<std::string> name{};  // subkey or value name; nullopt for a null pointer
        std::uint32_t access = 0;
        std::optional<std::string> keyClass{};
        std::uint32_t size = 0;  // the size given; for a query, the capacity (0: size query)
        std::string data{};      // Set: the counted bytes and the one after them
    };

    std::map<std::string, Key> keys;  // "" is HKEY_CURRENT_USER itself
    std::vector<Call> calls;
    std::map<std::string, reg::Status> failing;   // op -> status returned instead of acting
    std::function<void(const Call&)> beforeCall;  // another process acting between calls

    FakeRegistry() { keys[""]; }
    void Put(const std::string& path, const std::string& name, std::string bytes,
             std::uint32_t type = reg::kRegSz);
    std::optional<Value> Get(const std::string& path, const std::string& name) const;
    std::size_t OpenHandles() const { return handles_.size(); }
    std::vector<std::string> Ops() const;

    reg::Status RegOpenKeyExA(reg::Hkey key, const char* subKey, std::uint32_t options,
                              std::uint32_t samDesired, reg::Hkey* result) override;
    reg::Status RegCreateKeyExA(reg::Hkey key, const char* subKey, std::uint32_t reserved,
                                const char* keyClass, std::uint32_t options,
                                std::uint32_t samDesired, const void* securityAttributes,
                                reg::Hkey* result, std::uint32_t* disposition) override;
    reg::Status RegQueryValueExA(reg::Hkey key, const char* valueName, std::uint32_t* reserved,
                                 std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* dataSize) override;
    reg::Status RegSetValueExA(reg::Hkey key, const char* valueName, std::uint32_t reserved,
                               std::uint32_t type, const std::uint8_t* data,
                               std::uint32_t dataSize) override;
    reg::Status RegDeleteValueA(reg::Hkey key, const char* valueName) override;
    reg::Status RegDeleteKeyA(reg::Hkey key, const char* subKey) override;
    reg::Status RegCloseKey(reg::Hkey key) override;
    std::string ToAnsi(TextView text) override;
    Text FromAnsi(std::string_view bytes) override;

  private:
    struct Handle {
        std::string path;
        bool write;
    };
    // Logs the call and runs the hook; the injected status for its op, if any.
    std::optional<reg::Status> Enter(const Call& call);
    reg::Status Open(reg::Hkey root, const std::string& path, std::uint32_t access,
                     reg::Hkey* result);
    const Handle* Find(reg::Hkey key) const;
    void MakePath(const std::string& path, const char* keyClass);

    std::map<reg::Hkey, Handle> handles_;
    reg::Hkey next_ = 0x100;
};
