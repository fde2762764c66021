#include <cstdio>
#include <stdexcept>

#include "platform/memory/MemoryNode.h"
#include "platform/memory/MemoryRegistry.h"

// The model's direct access for tests: no handles, no access checks, no hook.
namespace reg {
namespace {

const char* AccessName(KeyAccess access) {
    switch (access) {
        case KeyAccess::ReadOnly:
            return " [read-only]";
        case KeyAccess::None:
            return " [no access]";
        case KeyAccess::Full:
            break;
    }
    return "";
}

std::string Hex(std::string_view bytes) {
    std::string hex;
    for (const char byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(byte));
        if (!hex.empty()) hex += ' ';
        hex += digits;
    }
    return hex;
}

template <typename Node>
void DumpKey(const Node& key, const std::string& path, std::string& out) {
    out += path;
    if (!key.keyClass.empty()) out += " (class \"" + key.keyClass + "\")";
    out += AccessName(key.access);
    out += '\n';
    for (const auto& [name, value] : key.values) {
        out += "  \"" + name + "\" type " + std::to_string(value.type) + ": " + Hex(value.bytes) +
               '\n';
    }
    for (const auto& subkey : key.subkeys) DumpKey(*subkey, path + '\\' + subkey->name, out);
}

}  // namespace

MemoryRegistry::Node* MemoryRegistry::FindPath(Hkey root, std::string_view path) const {
    const auto found = roots_.find(root);
    if (found == roots_.end()) throw std::invalid_argument("not a predefined root");
    const auto parts = SplitKeyPath(path);
    if (!parts) return nullptr;
    return Node::Descendant(found->second.node, *parts).get();
}

MemoryRegistry::Node& MemoryRegistry::MakePath(Hkey root, std::string_view path) {
    const auto found = roots_.find(root);
    if (found == roots_.end()) throw std::invalid_argument("not a predefined root");
    const auto parts = SplitKeyPath(path);
    if (!parts) throw std::invalid_argument("key path starts with a backslash");
    Node* node = found->second.node.get();
    for (const std::string_view part : *parts) {
        auto subkey = node->Subkey(part);
        node = subkey != nullptr ? subkey.get() : node->AddSubkey(part, "").get();
    }
    return *node;
}

void MemoryRegistry::PutKey(Hkey root, std::string_view path, std::string_view keyClass) {
    MakePath(root, path).keyClass = keyClass;
}

void MemoryRegistry::PutValue(Hkey root, std::string_view path, std::string_view name,
                              std::uint32_t type, std::string_view bytes) {
    MakePath(root, path).SetValue(name, RawValue{type, std::string(bytes)});
}

void MemoryRegistry::SetKeyAccess(Hkey root, std::string_view path, KeyAccess access) {
    MakePath(root, path).access = access;
}

bool MemoryRegistry::KeyExists(Hkey root, std::string_view path) const {
    return FindPath(root, path) != nullptr;
}

std::optional<std::string> MemoryRegistry::KeyClass(Hkey root, std::string_view path) const {
    const Node* node = FindPath(root, path);
    if (node == nullptr) return std::nullopt;
    return node->keyClass;
}

std::optional<RawValue> MemoryRegistry::GetValue(Hkey root, std::string_view path,
                                                 std::string_view name) const {
    Node* node = FindPath(root, path);
    if (node == nullptr) return std::nullopt;
    const RawValue* value = node->Value(name);
    if (value == nullptr) return std::nullopt;
    return *value;
}

bool MemoryRegistry::RemoveValue(Hkey root, std::string_view path, std::string_view name) {
    Node* node = FindPath(root, path);
    return node != nullptr && node->RemoveValue(name);
}

std::string MemoryRegistry::Dump() const {
    static constexpr std::pair<std::uint32_t, const char*> kRootNames[] = {
        {kHkeyClassesRoot, "HKCR"},
        {kHkeyCurrentUser, "HKCU"},
        {kHkeyLocalMachine, "HKLM"},
        {kHkeyUsers, "HKU"}};
    std::string out;
    for (const auto& [hive, name] : kRootNames) {
        DumpKey(*roots_.at(RootKey(hive)).node, name, out);
    }
    return out;
}

}  // namespace reg
