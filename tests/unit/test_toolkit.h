#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Toolkit.h"

// A toolkit without windows: keeps the option buttons of realised forms in memory, records every
// call in a log ("Realise frmOptions", "SetChecked optTwoPane 1", "MsgBox 16 Unexpected Error |
// Quillmarrow Default Settings") and throws for the operations named in `failing`.
class TestToolkit : public ui::Toolkit {
  public:
    bool previousInstance = false;
    std::vector<std::string> log;
    std::set<std::string> failing;

    bool PrevInstance() override {
        Record("PrevInstance");
        return previousInstance;
    }
    void MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) override {
        Record("MsgBox " + std::to_string(static_cast<int>(style)) + " " + Ascii(prompt) + " | " +
               Ascii(title));
    }
    void Realise(ui::Form& form) override {
        Record("Realise " + Name(form));
        for (const ui::ControlSpec& control : form.Controls()) {
            if (control.kind == ui::ControlKind::OptionButton)
                windows_[&form][control.id] = control.initiallySelected;
        }
    }
    void Display(ui::Form& form) override { Record("Display " + Name(form)); }
    void Destroy(ui::Form& form) override {
        Record("Destroy " + Name(form));
        windows_.erase(&form);
    }
    bool IsChecked(const ui::Form& form, ui::ControlId id) override {
        Record("IsChecked " + std::string(ui::ControlSpecOf(id).name));
        return windows_.at(&form).at(id);
    }
    void SetChecked(ui::Form& form, ui::ControlId id, bool checked) override {
        Record("SetChecked " + std::string(ui::ControlSpecOf(id).name) + (checked ? " 1" : " 0"));
        windows_.at(&form).at(id) = checked;
    }
    void DoEvents() override { Record("DoEvents"); }

    // What a click on an option button does in a real window.
    void UserSelects(const ui::Form& form, ui::ControlId id) {
        windows_.at(&form).at(id) = true;
        windows_.at(&form).at(ui::PartnerOf(id)) = false;
    }
    std::vector<std::string> MessageBoxes() const {
        std::vector<std::string> boxes;
        for (const std::string& entry : log)
            if (entry.starts_with("MsgBox ")) boxes.push_back(entry);
        return boxes;
    }
    bool Logged(const std::string& prefix) const { return Find(prefix) != log.end(); }
    // Index of the first entry starting with `prefix`; a failed test when there is none.
    std::size_t Position(const std::string& prefix) const {
        const auto found = Find(prefix);
        if (found == log.end()) ADD_FAILURE() << "nothing logged as " << prefix;
        return static_cast<std::size_t>(found - log.begin());
    }

  private:
    std::vector<std::string>::const_iterator Find(const std::string& prefix) const {
        return std::ranges::find_if(log,
                                    [&](const std::string& e) { return e.starts_with(prefix); });
    }
    void Record(const std::string& entry) {
        const bool fails = failing.count(entry.substr(0, entry.find(' '))) != 0;
        log.push_back(fails ? "FAILED " + entry : entry);
        if (fails) throw std::runtime_error("injected failure: " + entry);
    }
    static std::string Name(const ui::Form& form) { return std::string(form.Window().name); }
    static std::string Ascii(TextView text) { return {text.begin(), text.end()}; }  // ASCII only

    std::map<const ui::Form*, std::map<ui::ControlId, bool>> windows_;
};
