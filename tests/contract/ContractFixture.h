#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/contract/ContractEnv.h"

// A key handle a test opened; closed when the test is done with it.
class TestKey {
  public:
    TestKey(reg::RegistryApi& api, reg::Hkey handle) : api_(api), handle_(handle) {}
    ~TestKey() {
        if (handle_ != 0) api_.RegCloseKey(handle_);
    }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    reg::Hkey get() const { return handle_; }

  private:
    reg::RegistryApi& api_;
    reg::Hkey handle_;
};

// Every test starts with an empty scratch key below HKEY_CURRENT_USER and ends with it gone; where
// the provider counts handles, none may be left open.
class ContractTest : public ::testing::Test {
  protected:
    void SetUp() override { Env().Begin(); }
    void TearDown() override {
        if (const auto open = Env().OpenHandles()) {
            EXPECT_EQ(*open, 0U) << "handles left open";
        }
        Env().End();
    }

    static reg::RegistryApi& Api() { return Env().Api(); }
    static reg::Hkey Hkcu() { return reg::RootKey(reg::kHkeyCurrentUser); }
    // `sub` below the scratch key.
    static std::string Path(std::string_view sub) {
        return sub.empty() ? Env().Scratch() : Env().Scratch() + "\\" + std::string(sub);
    }

    static reg::Hkey Create(const std::string& path, std::uint32_t* disposition = nullptr) {
        reg::Hkey key = 0;
        EXPECT_EQ(Api().RegCreateKeyExA(Hkcu(), path.c_str(), 0, "REG_DWORD", 0, reg::kKeyAllAccess,
                                        nullptr, &key, disposition),
                  reg::kSuccess)
            << path;
        return key;
    }
    static reg::Status Open(const char* path, std::uint32_t access, reg::Hkey* key) {
        *key = 0;
        return Api().RegOpenKeyExA(Hkcu(), path, 0, access, key);
    }
    static bool Exists(const std::string& path) {
        reg::Hkey key = 0;
        const reg::Status status = Open(path.c_str(), reg::kKeyRead, &key);
        TestKey closer(Api(), key);
        return status == reg::kSuccess;
    }
    static reg::Status SetRaw(reg::Hkey key, const char* name, std::uint32_t type,
                              std::string_view buffer, std::uint32_t count) {
        return Api().RegSetValueExA(key, name, 0, type,
                                    reinterpret_cast<const std::uint8_t*>(buffer.data()), count);
    }
    // The value's size and type from a size query; size 0 and type 0 if it fails.
    struct Sized {
        reg::Status status;
        std::uint32_t type;
        std::uint32_t size;
    };
    static Sized SizeOf(reg::Hkey key, const char* name) {
        Sized sized{0, 0, 0};
        sized.status =
            Api().RegQueryValueExA(key, name, nullptr, &sized.type, nullptr, &sized.size);
        return sized;
    }
    // The value's stored bytes, read into a buffer of exactly its size.
    static std::string Stored(reg::Hkey key, const char* name) {
        const Sized sized = SizeOf(key, name);
        std::string bytes(sized.size, '\0');
        std::uint32_t size = sized.size;
        std::uint32_t type = 0;
        EXPECT_EQ(Api().RegQueryValueExA(key, name, nullptr, &type,
                                         reinterpret_cast<std::uint8_t*>(bytes.data()), &size),
                  reg::kSuccess);
        bytes.resize(size);
        return bytes;
    }
};
