#pragma once

#include <optional>
#include <string>

#include "platform/memory/MemoryRegistry.h"
#include "tests/unit/app_fixture.h"

// AppTest with the in-memory registry installed. Every scenario must end with no key open.
class SettingsTest : public AppTest {
  protected:
    MemoryRegistry registry;
    const reg::Hkey hkcu = reg::RootKey(reg::kHkeyCurrentUser);
    static constexpr std::string_view kKey = "Software\\Vendrakel\\Quillmarrow 2004";

    void SetUp() override {
        AppTest::SetUp();
        reg::InstallRegistry(&registry);
    }

    void TearDown() override {
        EXPECT_EQ(registry.OpenHandleCount(), 0U) << registry.Dump();
        AppTest::TearDown();
    }

    // Stores a string value as another program would: the text and its terminator.
    void Seed(std::string_view name, std::string_view text) {
        std::string bytes(text);
        bytes += '\0';
        registry.PutValue(hkcu, kKey, name, reg::kRegSz, bytes);
    }

    // The stored text of a REG_SZ value up to its terminator; nullopt if missing or not REG_SZ.
    std::optional<std::string> Stored(std::string_view name) const {
        const auto value = registry.GetValue(hkcu, kKey, name);
        if (!value || value->type != reg::kRegSz) return std::nullopt;
        return value->bytes.substr(0, value->bytes.find('\0'));
    }

    std::array<std::optional<std::string>, 3> AllStored() const {
        return {Stored("AllFolders"), Stored("TwoPane"), Stored("SideMenu")};
    }

    // Starts the program as the platform would and returns the dialog it shows.
    std::shared_ptr<FrmOptions> Start() {
        modMain::Main();
        return frmOptions();
    }
};

using Stored3 = std::array<std::optional<std::string>, 3>;
