#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "platform/win32/registry/Win32Registry.h"
#include "tests/contract/ContractEnv.h"

namespace {

HKEY CurrentUser() {
    return reinterpret_cast<HKEY>(reg::RootKey(reg::kHkeyCurrentUser));
}

// Replaces the key's access list with the one given in SDDL; the owner keeps WRITE_DAC.
bool SetKeyAcl(const std::string& path, const char* sddl) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(CurrentUser(), path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) {
        return false;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool done = false;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                               nullptr)) {
        done = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        ::LocalFree(descriptor);
    }
    ::RegCloseKey(key);
    return done;
}

// A scratch key under HKEY_CURRENT_USER with a name of its own per run, removed after each test.
class Win32Env final : public ContractEnv {
  public:
    Win32Env()
        : scratch_("Software\\QuillmarrowContract-" + std::to_string(::GetCurrentProcessId()) +
                   "-" + std::to_string(::GetTickCount64())) {}

    void Begin() override {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(CurrentUser(), scratch_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
        }
    }
    void End() override {
        // Restricted keys would stop the tree from going.
        for (const std::string& path : restricted_) SetKeyAcl(path, "D:P(A;;KA;;;WD)");
        restricted_.clear();
        ::RegDeleteTreeA(CurrentUser(), scratch_.c_str());
    }

    reg::RegistryApi& Api() override { return registry_; }
    const std::string& Scratch() const override { return scratch_; }

    std::optional<std::string> KeyClass(reg::Hkey key) override {
        char keyClass[256] = {};
        DWORD length = sizeof keyClass;
        if (::RegQueryInfoKeyA(reinterpret_cast<HKEY>(key), keyClass, &length, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::string(keyClass, length);
    }
    void MakeReadOnly(const std::string& path) override { Restrict(path, "D:P(A;;KR;;;WD)"); }
    void MakeInaccessible(const std::string& path) override { Restrict(path, "D:P"); }
    std::optional<std::size_t> OpenHandles() override { return std::nullopt; }

  private:
    void Restrict(const std::string& path, const char* sddl) {
        if (SetKeyAcl(path, sddl)) restricted_.push_back(path);
    }

    Win32Registry registry_;
    std::string scratch_;
    std::vector<std::string> restricted_;
};

}  // namespace

ContractEnv& Env() {
    static Win32Env env;
    return env;
}
