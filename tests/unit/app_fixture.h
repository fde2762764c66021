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
inline constexpr char kKey[] = "Software\\Vendrakel\\Quillmarrow 2004";
inline constexpr char kUnexpectedErrorBox[] =
    "MsgBox 16 Unexpected Error | Quillmarrow Default Settings";

// The entries of a log that start with one of the prefixes, in order.
inline Log Entries(const Log& log, std::initializer_list<std::string_view> prefixes) {
    Log found;
    std::ranges::copy_if(log, std::back_inserter(found), [&](const std::string& entry) {
        return std::ranges::any_of(prefixes,
                                   [&](auto prefix) { return entry.starts_with(prefix); });
    });
    return found;
}
// The three pairs of option buttons, upper then lower, as the layout describes them.
inline constexpr std::pair<ui::ControlId, ui::ControlId> kPairs[] = {
    {ui::ControlId::optAllFolders, ui::ControlId::optSubfoldersOnly},
    {ui::ControlId::optTwoPane, ui::ControlId::optFolderWindow},
    {ui::ControlId::optSideMenu, ui::ControlId::optStartMenu}};
// The other button of an option button's pair.
inline ui::ControlId Partner(ui::ControlId id) {
    for (const auto& [upper, lower] : kPairs)
        if (id == upper || id == lower) return id == upper ? lower : upper;
    throw std::invalid_argument("not an option button");
}
// Index of the first entry starting with `prefix`; a failed test when there is none.
inline std::size_t Position(const Log& log, std::string_view prefix) {
    const auto found =
        std::ranges::find_if(log, [&](auto& entry) { return entry.starts_with(prefix); });
    if (found == log.end()) ADD_FAILURE() << "nothing logged as " << prefix;
    return static_cast<std::size_t>(found - log.begin());
}

// A toolkit without windows: keeps the option buttons of realised forms in memory, logs every
// call ("Realise frmOptions", "SetChecked optTwoPane 1", "MsgBox 16 Unexpected Error | Quillmarrow
// Default Settings") and throws for the operations named in `failing`.
class TestToolkit : public ui::Toolkit {
  public:
    bool previousInstance = false;
    Log log;
    std::set<std::string> failing;

    bool PrevInstance() override { return Record("PrevInstance"), previousInstance; }
    void MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) override {
        Record("MsgBox " + std::to_string(static_cast<int>(style)) + " " + Ascii(prompt) + " | " +
               Ascii(title));
    }
    void Realise(ui::Form& form) override {
        Record("Realise " + std::string(form.Window().name));
        for (const ui::ControlSpec& control : form.Controls())
            if (control.kind == ui::ControlKind::OptionButton)
                windows_[&form][control.id] = control.initiallySelected;
    }
    void Display(ui::Form& form) override { Record("Display " + std::string(form.Window().name)); }
    void Destroy(ui::Form& form) override {
        Record("Destroy " + std::string(form.Window().name));
        windows_.erase(&form);
    }
    bool IsChecked(const ui::Form& form, ui::ControlId id) override {
        return Record("IsChecked " + Name(id)), windows_.at(&form).at(id);
    }
    void SetChecked(ui::Form& form, ui::ControlId id, bool checked) override {
        Record("SetChecked " + Name(id) + (checked ? " 1" : " 0"));
        windows_.at(&form).at(id) = checked;
    }
    void DoEvents() override { Record("DoEvents"); }

    // What a click on an option button does in a real window.
    void UserSelects(const ui::Form& form, ui::ControlId id) {
        windows_.at(&form).at(id) = true;
        windows_.at(&form).at(Partner(id)) = false;
    }
    Log MessageBoxes() const { return Entries(log, {"MsgBox"}); }

  private:
    void Record(const std::string& entry) {
        const bool fails = failing.count(entry.substr(0, entry.find(' '))) != 0;
        log.push_back(fails ? "FAILED " + entry : entry);
        if (fails) throw std::runtime_error("injected failure: " + entry);
    }
    static std::string Name(ui::ControlId id) { return std::string(ui::ControlSpecOf(id).name); }
    static std::string Ascii(TextView text) { return {text.begin(), text.end()}; }  // ASCII only

    std::map<const ui::Form*, std::map<ui::ControlId, bool>> windows_;
};

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
            const auto* value = registry.Get(kKey, name);
            const bool text = value != nullptr && value->type == reg::kRegSz;
            all += (all.empty() ? "" : " ") +
                   (text ? value->bytes.substr(0, value->bytes.find('\0')) : "-");
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
