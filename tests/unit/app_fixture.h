#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/frmOptions.h"
#include "app/modMain.h"
#include "registry/RegistryProvider.h"
#include "tests/fakes/FakeRegistry.h"
#include "ui/Toolkit.h"

using Log = std::vector<std::string>;
using ui::ControlId;
inline constexpr char kKey[] = "Software\\Vendrakel\\Quillmarrow 2004";
inline constexpr char kUnexpectedErrorBox[] =
    "MsgBox 16 Unexpected Error | Quillmarrow Default Settings";
// The three pairs of option buttons, the upper one first, as the layout describes them.
inline constexpr std::pair<ControlId, ControlId> kPairs[] = {
    {ControlId::optAllFolders, ControlId::optSubfoldersOnly},
    {ControlId::optTwoPane, ControlId::optFolderWindow},
    {ControlId::optSideMenu, ControlId::optStartMenu}};

// The entries of a log that start with one of the prefixes, in order.
inline Log Entries(const Log& log, std::initializer_list<std::string_view> prefixes) {
    Log found;
    for (const std::string& entry : log)
        if (std::ranges::any_of(prefixes, [&](auto prefix) { return entry.starts_with(prefix); }))
            found.push_back(entry);
    return found;
}

// A toolkit without windows: keeps the option buttons of the realised form, logs every call
// ("SetChecked", "MsgBox 16 Unexpected Error | Quillmarrow Default Settings") and throws for the
// operations named in `failing`.
class TestToolkit : public ui::Toolkit {
  public:
    bool previousInstance = false;
    Log log;
    std::set<std::string> failing;
    std::map<ControlId, bool> checked;

    bool PrevInstance() override { return Record("PrevInstance"), previousInstance; }
    void MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) override {
        Record("MsgBox " + std::to_string(static_cast<int>(style)) + " " + Ascii(prompt) + " | " +
               Ascii(title));
    }
    void Realise(ui::Form&) override {  // the upper button of each pair selected, as designed
        Record("Realise");
        for (const auto& [upper, lower] : kPairs) checked[upper] = true, checked[lower] = false;
    }
    void Display(ui::Form&) override { Record("Display"); }
    void Destroy(ui::Form&) override { Record("Destroy"), checked.clear(); }
    bool IsChecked(const ui::Form&, ControlId id) override {
        return Record("IsChecked"), checked.at(id);
    }
    void SetChecked(ui::Form&, ControlId id, bool on) override {
        Record("SetChecked"), checked.at(id) = on;
    }
    void DoEvents() override { Record("DoEvents"); }

    // A click on an option button, as a real window's group takes it.
    void UserSelects(ControlId id) {
        for (const auto& [upper, lower] : kPairs)
            if (id == upper || id == lower)
                checked.at(upper) = id == upper, checked[lower] = id == lower;
    }

  private:
    void Record(const std::string& entry) {
        const bool fails = failing.count(entry.substr(0, entry.find(' '))) != 0;
        log.push_back(fails ? "FAILED " + entry : entry);
        if (fails) throw std::runtime_error("injected failure: " + entry);
    }
    static std::string Ascii(TextView text) { return {text.begin(), text.end()}; }  // ASCII only
};

// A fresh process state per test: the test toolkit and the fake registry installed, no form
// loaded. Every test must end with no key handle open.
class AppTest : public ::testing::Test {
  protected:
    TestToolkit toolkit;
    FakeRegistry registry;

    void SetUp() override {
        ui::InstallToolkit(&toolkit);
        reg::InstallRegistry(&registry);
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
    // The three stored values up to a NUL, "-" for a missing one.
    std::string AllStored() const {
        std::string all;
        for (const char* name : {"AllFolders", "TwoPane", "SideMenu"}) {
            const auto* value = registry.Get(kKey, name);
            all += std::string(all.empty() ? "" : " ") + (value ? value->bytes.c_str() : "-");
        }
        return all;
    }
    // Each pair's upper and lower button as the form shows them, 1 for selected: "10 01 00".
    static std::string Pairs(const ui::Form& form) {
        std::string pairs;
        for (const auto& [upper, lower] : kPairs)
            pairs += std::string(pairs.empty() ? "" : " ") + (form.Value(upper) ? "1" : "0") +
                     (form.Value(lower) ? "1" : "0");
        return pairs;
    }
    std::shared_ptr<FrmOptions> Start() {
        modMain::Main();
        return frmOptions();
    }
};
