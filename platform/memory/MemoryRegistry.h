#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegistryApi.h"

// An in-memory registry that behaves like advapi32 (as Wine runs it) wherever RegStringHandler
// can observe it: predefined roots, case-insensitive names, key classes on every key a create
// makes, the terminator RegSetValueExA adds to a string whose count leaves it out, size queries,
// ERROR_MORE_DATA with the buffer untouched, access rights per handle and per key, keys with
// subkeys that cannot be deleted, handles to deleted keys. Code page 1252 for the ANSI texts.
// Single-threaded; not a security boundary.
namespace reg {

inline constexpr Status kKeyDeleted = 1018;  // the handle's key was deleted meanwhile
inline constexpr Status kNoAccess = 998;     // a null data pointer with a nonzero count

inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000U;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002U;
inline constexpr std::uint32_t kHkeyUsers = 0x80000003U;

// What the user may do with a key, whatever the handle asks for.
enum class KeyAccess {
    Full,      // everything
    ReadOnly,  // opens only for reading, so its values cannot be changed through a handle
    None,      // does not open at all (a deeper key can still be reached through it)
    // Either way a create can still add subkeys below it and RegDeleteKeyA can still remove it,
    // as under Wine (Windows itself would refuse both).
};

// The seven calls, for the hook that runs after each of them.
enum class Operation { OpenKey, CreateKey, QueryValue, SetValue, DeleteValue, DeleteKey, CloseKey };

struct RawValue {
    std::uint32_t type = kRegNone;
    std::string bytes;

    friend bool operator==(const RawValue&, const RawValue&) = default;
};

class MemoryRegistry final : public RegistryApi {
  public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

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

    std::string ToAnsi(TextView text) override;
    Text FromAnsi(std::string_view bytes) override;

    // RegQueryInfoKeyA, as far as the key's class string goes.
    Status QueryKeyClass(Hkey key, std::string* keyClass) const;

    // Direct access for tests, by root and path (backslash-separated, no leading backslash),
    // bypassing access rights and the hook. Setters create missing keys with an empty class.
    void PutKey(Hkey root, std::string_view path, std::string_view keyClass = {});
    void PutValue(Hkey root, std::string_view path, std::string_view name, std::uint32_t type,
                  std::string_view bytes);
    void SetKeyAccess(Hkey root, std::string_view path, KeyAccess access);
    bool KeyExists(Hkey root, std::string_view path) const;
    std::optional<std::string> KeyClass(Hkey root, std::string_view path) const;
    std::optional<RawValue> GetValue(Hkey root, std::string_view path, std::string_view name) const;
    // Removes a value without a handle, as another process would; false when it is missing.
    bool RemoveValue(Hkey root, std::string_view path, std::string_view name);

    // Handles opened and not yet closed (predefined roots never count).
    std::size_t OpenHandleCount() const { return handles_.size(); }
    // Every key under every root, one line per key and per value, values as hex bytes.
    std::string Dump() const;

    // Runs after each of the seven calls, before it returns (not for the calls the hook makes
    // itself). Lets a test change the registry between two calls, as another process would.
    void SetHook(std::function<void(Operation)> hook) { hook_ = std::move(hook); }

  private:
    struct Node;
    struct Handle {
        std::shared_ptr<Node> node;
        std::uint32_t granted = 0;
    };

    Status Open(Hkey key, const char* subKey, std::uint32_t samDesired, Hkey* result);
    Status Create(Hkey key, const char* subKey, const char* keyClass, std::uint32_t samDesired,
                  Hkey* result, std::uint32_t* disposition);
    Status Query(Hkey key, const char* valueName, const std::uint32_t* reserved,
                 std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize);
    Status Set(Hkey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
               const std::uint8_t* data, std::uint32_t dataSize);
    Status DeleteValue(Hkey key, const char* valueName);
    Status DeleteKey(Hkey key, const char* subKey);
    Status Close(Hkey key);

    // The key and rights behind a handle or predefined root; nullptr when neither.
    const Handle* Lookup(Hkey key) const;
    Hkey NewHandle(std::shared_ptr<Node> node, std::uint32_t granted);
    Node* FindPath(Hkey root, std::string_view path) const;
    Node& MakePath(Hkey root, std::string_view path);
    Status Finish(Operation op, Status status);

    std::map<Hkey, Handle> roots_;
    std::map<Hkey, Handle> handles_;
    Hkey nextHandle_ = 0x1000;
    std::function<void(Operation)> hook_;
    bool inHook_ = false;
};

}  // namespace reg

using reg::MemoryRegistry;
