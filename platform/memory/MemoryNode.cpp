#include "platform/memory/MemoryNode.h"

#include <algorithm>

namespace reg {
namespace {

unsigned char FoldCase(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') return static_cast<unsigned char>(byte - 0x20);
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)
        return static_cast<unsigned char>(byte - 0x20);
    switch (byte) {
        case 0x9A:
            return 0x8A;  // š
        case 0x9C:
            return 0x8C;  // œ
        case 0x9E:
            return 0x8E;  // ž
        case 0xFF:
            return 0x9F;  // ÿ
        default:
            return byte;
    }
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

std::optional<std::vector<std::string_view>> SplitKeyPath(std::string_view path) {
    if (!path.empty() && path.front() == '\\') return std::nullopt;
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Node::Subkey(
    std::string_view subkeyName) const {
    for (const auto& subkey : subkeys) {
        if (SameName(subkey->name, subkeyName)) return subkey;
    }
    return nullptr;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Node::Descendant(
    std::shared_ptr<Node> from, const std::vector<std::string_view>& parts) {
    for (const std::string_view part : parts) {
        if (from == nullptr) break;
        from = from->Subkey(part);
    }
    return from;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Node::AddSubkey(
    std::string_view subkeyName, std::string_view subkeyClass) {
    auto subkey = std::make_shared<Node>();
    subkey->name = subkeyName;
    subkey->keyClass = subkeyClass;
    subkey->parent = this;
    subkeys.push_back(subkey);
    return subkey;
}

void MemoryRegistry::Node::RemoveSubkey(const Node& subkey) {
    std::erase_if(subkeys,
                  [&](const std::shared_ptr<Node>& each) { return each.get() == &subkey; });
}

RawValue* MemoryRegistry::Node::Value(std::string_view valueName) {
    for (auto& [valueKey, value] : values) {
        if (SameName(valueKey, valueName)) return &value;
    }
    return nullptr;
}

void MemoryRegistry::Node::SetValue(std::string_view valueName, RawValue value) {
    if (RawValue* existing = Value(valueName)) {
        *existing = std::move(value);
    } else {
        values.emplace_back(std::string(valueName), std::move(value));
    }
}

bool MemoryRegistry::Node::RemoveValue(std::string_view valueName) {
    return std::erase_if(values,
                         [&](const auto& each) { return SameName(each.first, valueName); }) > 0;
}

}  // namespace reg
