#pragma once

#include <gtest/gtest.h>

#include "app/modMain.h"
#include "registry/RegistryProvider.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/unit/test_toolkit.h"
#include "app/frmOptions.h"

inline constexpr char kKey[] = "Software\\Vendrakel\\Quillmarrow 2004";
inline constexpr char kUnexpectedErrorBox[] =
    "MsgBox 16 Unexpected Error | Quillmarrow Default Settings";

// A fresh process state per test: the test toolkit and the fake registry installed, no form
// loaded, the Booleans as at start-up. Every test must end with no key handle open.
class AppTest : public ::testing::Test {
  protected:
    TestToolkit toolkit;
    FakeRegistry registry;

    void SetUp() override {
        ui::InstallToolkit(&toolkit);
        reg::InstallRegistry(&registry);
        modMain::blnAllFolders = modMain::blnTwoPane = modMain::blnSideMenu = kFalse;
    }

    void TearDown() override {
        EXPECT_EQ(registry.OpenHandles(), 0U);
        // Loading and unloading the dialog drops its single instance, whatever the test left.
        toolkit.failing.clear();
        reg::InstallRegistry(&registry);
        ui::Load(*frmOptions());
        for (const auto& form : ui::LoadedForms()) ui::Unload(*form);
        ui::InstallToolkit(nullptr);
        reg::InstallRegistry(nullptr);
    }

    void Seed(const std::string& name, const std::string& text) {
        registry.Put(kKey, name, text + '\0');
    }
    // The three stored texts up to their terminators, "-" for a missing or non-string value.
    std::string AllStored() const {
        std::string all;
        for (const char* name : {"AllFolders", "TwoPane", "SideMenu"}) {
            const auto value = registry.Get(kKey, name);
            const bool text = value && value->type == reg::kRegSz;
            all += (all.empty() ? "" : " ") +
                   (text ? value->bytes.substr(0, value->bytes.find('\0')) : "-");
        }
        return all;
    }
    std::shared_ptr<FrmOptions> Start() {
        modMain::Main();
        return frmOptions();
    }
};
