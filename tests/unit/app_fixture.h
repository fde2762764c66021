#pragma once

#include <gtest/gtest.h>

#include "app/modMain.h"
#include "registry/RegistryProvider.h"
#include "tests/unit/test_toolkit.h"
#include "ui/Form.h"
#include "ui/frmOptions.h"

// A fresh process state for each test: the test toolkit installed, no registry provider (tests
// that need one install it), no form loaded, the Booleans as at start-up.
class AppTest : public ::testing::Test {
  protected:
    TestToolkit toolkit;

    void SetUp() override {
        ui::InstallToolkit(&toolkit);
        reg::InstallRegistry(nullptr);
        modMain::blnAllFolders = modMain::blnTwoPane = modMain::blnSideMenu = kFalse;
    }

    void TearDown() override {
        toolkit.failing.clear();
        for (const auto& form : ui::LoadedForms()) ui::Unload(*form);
        ResetFrmOptionsForTests();
        ui::InstallToolkit(nullptr);
        reg::InstallRegistry(nullptr);
    }

    // The log entries that start with the given word, in order.
    std::vector<std::string> Entries(const std::string& operation) const {
        std::vector<std::string> found;
        for (const auto& entry : toolkit.log) {
            if (entry.rfind(operation, 0) == 0) found.push_back(entry);
        }
        return found;
    }

    // Index of the first log entry starting with the text; the log's size when there is none.
    std::size_t Position(const std::string& prefix) const {
        for (std::size_t i = 0; i < toolkit.log.size(); ++i) {
            if (toolkit.log[i].rfind(prefix, 0) == 0) return i;
        }
        return toolkit.log.size();
    }
};

inline const std::string kUnexpectedErrorBox =
    "MsgBox 16 Unexpected Error | Quillmarrow Default Settings";
