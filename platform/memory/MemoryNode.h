#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/memory/MemoryRegistry.h"

// The model's keys. Shared by the registry calls and the test helpers; not part of the model's
// interface.
namespace reg {

// Key and value names compare without regard to case, as the registry does (code page 1252
// letters folded, so "ÄRGER" and "ärger" are one name).
bool SameName(std::string_view a, std::string_view b);

// The components of a key path; nullopt when it starts with a backslash. Runs of backslashes
// separate like one, and a trailing one is ignored.
std::optional<std::vector<std::string_view>> SplitKeyPath(std::string_view path);

struct MemoryRegistry::Node {
    std::string name;
    std::string keyClass;
    KeyAccess access = KeyAccess::Full;
    bool deleted = false;
    bool root = false;
    Node* parent = nullptr;  // valid while the key is not deleted: a parent outlives its subkeys
    std::vector<std::shared_ptr<Node>> subkeys;
    std::vector<std::pair<std::string, RawValue>> values;

    std::shared_ptr<Node> Subkey(std::string_view subkeyName) const;
    // The key that the path components name below `from` (`from` itself for none); nullptr
    // when one of them does not exist.
    static std::shared_ptr<Node> Descendant(std::shared_ptr<Node> from,
                                            const std::vector<std::string_view>& parts);
    std::shared_ptr<Node> AddSubkey(std::string_view subkeyName, std::string_view subkeyClass);
    void RemoveSubkey(const Node& subkey);
    RawValue* Value(std::string_view valueName);
    void SetValue(std::string_view valueName, RawValue value);
    bool RemoveValue(std::string_view valueName);
};

}  // namespace reg
