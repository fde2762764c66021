#include "platform/memory/MemoryRegistry.h"

#include <cstring>
#include <utility>

#include "platform/memory/Cp1252.h"
#include "platform/memory/MemoryNode.h"

namespace reg {
namespace {

constexpr std::uint32_t kQueryValueRight = 0x1;
constexpr std::uint32_t kSetValueRight = 0x2;
constexpr std::uint32_t kCreateSubKeyRight = 0x4;
constexpr std::uint32_t kCreateLinkRight = 0x20;
constexpr std::uint32_t kWow64Flags = 0x300;
constexpr std::uint32_t kDeleteRight = 0x10000;
constexpr std::uint32_t kWriteDacRight = 0x40000;
constexpr std::uint32_t kWriteOwnerRight = 0x80000;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kWriteRights = kSetValueRight | kCreateSubKeyRight | kCreateLinkRight |
                                       kDeleteRight | kWriteDacRight | kWriteOwnerRight;

constexpr std::uint32_t kCreatedNewKey = 1;
constexpr std::uint32_t kOpenedExistingKey = 2;

std::uint32_t MapGenericRights(std::uint32_t sam) {
    std::uint32_t rights =
        sam & ~(kGenericAll | kGenericExecute | kGenericWrite | kGenericRead | kWow64Flags);
    if ((sam & (kGenericRead | kGenericExecute)) != 0) rights |= kKeyRead;
    if ((sam & kGenericWrite) != 0) rights |= kKeyWrite;
    if ((sam & kGenericAll) != 0) rights |= kKeyAllAccess;
    return rights;
}

// The rights a handle to a key with this marking gets for the request; nullopt when refused.
std::optional<std::uint32_t> Grant(KeyAccess access, std::uint32_t sam) {
    std::uint32_t rights = MapGenericRights(sam);
    if (access == KeyAccess::None) return std::nullopt;
    if ((rights & kMaximumAllowed) != 0) {
        rights &= ~kMaximumAllowed;
        rights |= access == KeyAccess::Full ? kKeyAllAccess : kKeyRead;
    }
    if (access == KeyAccess::ReadOnly && (rights & kWriteRights) != 0) return std::nullopt;
    return rights;
}

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Whether the handle's key is reachable and the handle carries the right; the first failing
// check in the order the real registry applies them.
template <typename Node>
Status Usable(const Node& node, std::uint32_t granted, std::uint32_t right) {
    if ((granted & right) != right) return kAccessDenied;
    if (node.deleted) return kKeyDeleted;
    return kSuccess;
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
    for (const std::uint32_t hive :
         {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers}) {
        auto node = std::make_shared<Node>();
        node->root = true;
        roots_.emplace(RootKey(hive), Handle{std::move(node), kKeyAllAccess});
    }
}

MemoryRegistry::~MemoryRegistry() = default;

const MemoryRegistry::Handle* MemoryRegistry::Lookup(Hkey key) const {
    if (const auto open = handles_.find(key); open != handles_.end()) return &open->second;
    // A predefined root is known by its low 32 bits, sign-extended or not.
    const std::uint64_t high = static_cast<std::uint64_t>(key) >> 32;
    if (high != 0 && high != 0xFFFFFFFFU) return nullptr;
    const auto root = roots_.find(RootKey(static_cast<std::uint32_t>(key)));
    return root == roots_.end() ? nullptr : &root->second;
}

Hkey MemoryRegistry::NewHandle(std::shared_ptr<Node> node, std::uint32_t granted) {
    const Hkey handle = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(handle, Handle{std::move(node), granted});
    return handle;
}

Status MemoryRegistry::Finish(Operation op, Status status) {
    if (hook_ && !inHook_) {
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{inHook_};
        inHook_ = true;
        hook_(op);
    }
    return status;
}

Status MemoryRegistry::RegOpenKeyExA(Hkey key, const char* subKey, std::uint32_t /*options*/,
                                     std::uint32_t samDesired, Hkey* result) {
    return Finish(Operation::OpenKey, Open(key, subKey, samDesired, result));
}

Status MemoryRegistry::RegCreateKeyExA(Hkey key, const char* subKey, std::uint32_t reserved,
                                       const char* keyClass, std::uint32_t /*options*/,
                                       std::uint32_t samDesired, const void* /*securityAttributes*/,
                                       Hkey* result, std::uint32_t* disposition) {
    const Status status = reserved != 0
                              ? kInvalidParameter
                              : Create(key, subKey, keyClass, samDesired, result, disposition);
    return Finish(Operation::CreateKey, status);
}

Status MemoryRegistry::RegQueryValueExA(Hkey key, const char* valueName, std::uint32_t* reserved,
                                        std::uint32_t* type, std::uint8_t* data,
                                        std::uint32_t* dataSize) {
    return Finish(Operation::QueryValue, Query(key, valueName, reserved, type, data, dataSize));
}

Status MemoryRegistry::RegSetValueExA(Hkey key, const char* valueName, std::uint32_t reserved,
                                      std::uint32_t type, const std::uint8_t* data,
                                      std::uint32_t dataSize) {
    return Finish(Operation::SetValue, Set(key, valueName, reserved, type, data, dataSize));
}

Status MemoryRegistry::RegDeleteValueA(Hkey key, const char* valueName) {
    return Finish(Operation::DeleteValue, DeleteValue(key, valueName));
}

Status MemoryRegistry::RegDeleteKeyA(Hkey key, const char* subKey) {
    return Finish(Operation::DeleteKey, DeleteKey(key, subKey));
}

Status MemoryRegistry::RegCloseKey(Hkey key) {
    return Finish(Operation::CloseKey, Close(key));
}

std::string MemoryRegistry::ToAnsi(TextView text) {
    return cp1252::Encode(text);
}

Text MemoryRegistry::FromAnsi(std::string_view bytes) {
    return cp1252::Decode(bytes);
}

Status MemoryRegistry::Open(Hkey key, const char* subKey, std::uint32_t samDesired, Hkey* result) {
    if (result == nullptr) return kInvalidParameter;
    *result = 0;
    const Handle* base = Lookup(key);
    if (base == nullptr) return kInvalidHandle;
    if (base->node->deleted) return kKeyDeleted;
    const std::string_view path = subKey == nullptr ? std::string_view{} : subKey;
    if (path.empty() && base->node->root) {
        *result = key;  // a predefined root opens as itself
        return kSuccess;
    }
    const auto parts = SplitKeyPath(path);
    if (!parts) return kBadPathname;
    std::shared_ptr<Node> node = Node::Descendant(base->node, *parts);
    if (node == nullptr) return kFileNotFound;
    const auto granted = Grant(node->access, samDesired);
    if (!granted) return kAccessDenied;
    *result = NewHandle(std::move(node), *granted);
    return kSuccess;
}

Status MemoryRegistry::Create(Hkey key, const char* subKey, const char* keyClass,
                              std::uint32_t samDesired, Hkey* result, std::uint32_t* disposition) {
    if (result == nullptr) return kInvalidParameter;
    *result = 0;
    const Handle* base = Lookup(key);
    if (base == nullptr) return kInvalidHandle;
    if (base->node->deleted) return kKeyDeleted;
    const auto parts = SplitKeyPath(subKey == nullptr ? std::string_view{} : subKey);
    if (!parts) return kBadPathname;
    std::shared_ptr<Node> node = base->node;
    bool created = false;
    for (const std::string_view part : *parts) {
        std::shared_ptr<Node> next = node->Subkey(part);
        if (next == nullptr) {
            // Every key the call makes carries the class, not only the last one. The parent's
            // rights are not checked: Wine lets a subkey appear under any key it can reach.
            next = node->AddSubkey(part, keyClass == nullptr ? "" : keyClass);
            created = true;
        }
        node = std::move(next);
    }
    const auto granted = Grant(node->access, samDesired);
    if (!granted) return kAccessDenied;
    *result = NewHandle(node, *granted);
    if (disposition != nullptr) *disposition = created ? kCreatedNewKey : kOpenedExistingKey;
    return kSuccess;
}

Status MemoryRegistry::Query(Hkey key, const char* valueName, const std::uint32_t* reserved,
                             std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
    if ((data != nullptr && dataSize == nullptr) || reserved != nullptr) return kInvalidParameter;
    // Cleared up front, so a failed query leaves no stale type (nor a stale size from a size
    // query).
    if (type != nullptr) *type = kRegNone;
    if (data == nullptr && dataSize != nullptr) *dataSize = 0;
    const Handle* handle = Lookup(key);
    if (handle == nullptr) return kInvalidHandle;
    if (const Status status = Usable(*handle->node, handle->granted, kQueryValueRight)) {
        return status;
    }
    const RawValue* value = handle->node->Value(valueName == nullptr ? "" : valueName);
    if (value == nullptr) return kFileNotFound;
    const auto length = static_cast<std::uint32_t>(value->bytes.size());
    Status status = kSuccess;
    if (data != nullptr && length != 0) {
        if (length > *dataSize) {
            status = kMoreData;  // the buffer is left as it was
        } else {
            std::memcpy(data, value->bytes.data(), length);
            // A string stored without its terminator gets one when the buffer has room.
            if (IsStringType(value->type) && length < *dataSize && data[length - 1] != 0) {
                data[length] = 0;
            }
        }
    }
    if (type != nullptr) *type = value->type;
    if (dataSize != nullptr) *dataSize = length;
    return status;
}

Status MemoryRegistry::Set(Hkey key, const char* valueName, std::uint32_t reserved,
                           std::uint32_t type, const std::uint8_t* data, std::uint32_t dataSize) {
    if (reserved != 0) return kInvalidParameter;
    const Handle* handle = Lookup(key);
    if (handle == nullptr) return kInvalidHandle;
    if (data == nullptr && dataSize != 0) return kNoAccess;
    // A string whose count leaves out its terminator gets it stored when the byte after the
    // counted data is a NUL (that byte is read, as the real call reads it).
    if (dataSize != 0 && IsStringType(type) && data[dataSize - 1] != 0 && data[dataSize] == 0) {
        ++dataSize;
    }
    if (const Status status = Usable(*handle->node, handle->granted, kSetValueRight)) {
        return status;
    }
    RawValue value{type, dataSize == 0
                             ? std::string{}
                             : std::string(reinterpret_cast<const char*>(data), dataSize)};
    handle->node->SetValue(valueName == nullptr ? "" : valueName, std::move(value));
    return kSuccess;
}

Status MemoryRegistry::DeleteValue(Hkey key, const char* valueName) {
    const Handle* handle = Lookup(key);
    if (handle == nullptr) return kInvalidHandle;
    if (const Status status = Usable(*handle->node, handle->granted, kSetValueRight)) {
        return status;
    }
    return handle->node->RemoveValue(valueName == nullptr ? "" : valueName) ? kSuccess
                                                                            : kFileNotFound;
}

Status MemoryRegistry::DeleteKey(Hkey key, const char* subKey) {
    if (subKey == nullptr) return kInvalidParameter;
    const Handle* base = Lookup(key);
    if (base == nullptr) return kInvalidHandle;
    if (base->node->deleted) return kKeyDeleted;
    const auto parts = SplitKeyPath(subKey);
    if (!parts) return kBadPathname;
    const std::shared_ptr<Node> node = Node::Descendant(base->node, *parts);
    if (node == nullptr) return kFileNotFound;
    // Neither the handle's rights nor the key's own are checked: Wine deletes a key the user may
    // not even open. Only a root or a key with subkeys stays.
    if (node->root || !node->subkeys.empty()) return kAccessDenied;
    node->deleted = true;
    Node* parent = node->parent;
    node->parent = nullptr;
    parent->RemoveSubkey(*node);  // open handles keep the deleted key alive
    return kSuccess;
}

Status MemoryRegistry::Close(Hkey key) {
    if (handles_.erase(key) != 0) return kSuccess;
    return Lookup(key) != nullptr ? kSuccess : kInvalidHandle;  // closing a root does nothing
}

Status MemoryRegistry::QueryKeyClass(Hkey key, std::string* keyClass) const {
    const Handle* handle = Lookup(key);
    if (handle == nullptr) return kInvalidHandle;
    if (const Status status = Usable(*handle->node, handle->granted, kQueryValueRight)) {
        return status;
    }
    if (keyClass != nullptr) *keyClass = handle->node->keyClass;
    return kSuccess;
}

}  // namespace reg
