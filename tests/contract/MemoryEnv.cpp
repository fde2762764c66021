#include <memory>

#include "platform/memory/MemoryRegistry.h"
#include "tests/contract/ContractEnv.h"

namespace {

class MemoryEnv final : public ContractEnv {
  public:
    void Begin() override {
        registry_ = std::make_unique<MemoryRegistry>();
        registry_->PutKey(Root(), scratch_);
    }
    void End() override { registry_.reset(); }

    reg::RegistryApi& Api() override { return *registry_; }
    const std::string& Scratch() const override { return scratch_; }

    std::optional<std::string> KeyClass(reg::Hkey key) override {
        std::string keyClass;
        if (registry_->QueryKeyClass(key, &keyClass) != reg::kSuccess) return std::nullopt;
        return keyClass;
    }
    void MakeReadOnly(const std::string& path) override {
        registry_->SetKeyAccess(Root(), path, reg::KeyAccess::ReadOnly);
    }
    void MakeInaccessible(const std::string& path) override {
        registry_->SetKeyAccess(Root(), path, reg::KeyAccess::None);
    }
    std::optional<std::size_t> OpenHandles() override { return registry_->OpenHandleCount(); }

  private:
    static reg::Hkey Root() { return reg::RootKey(reg::kHkeyCurrentUser); }

    std::unique_ptr<MemoryRegistry> registry_;
    std::string scratch_ = "Software\\QuillmarrowContract";
};

}  // namespace

ContractEnv& Env() {
    static MemoryEnv env;
    return env;
}
