#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Toolkit.h"

// A toolkit without windows: it keeps the option buttons of realised forms in memory, records
// every call in a log ("Realise", "SetChecked optTwoPane 1", "MsgBox 16 Unexpected Error | ...")
// and fails on demand.
class TestToolkit : public ui::Toolkit {
  public:
    bool previousInstance = false;
    std::vector<std::string> log;
    // Operations (first word of the log entry) that throw instead of running.
    std::set<std::string> failing;
    // Called for each DoEvents, to let a test act "while events run".
    std::function<void()> onDoEvents;

    bool PrevInstance() override;
    void MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) override;
    void Realise(ui::Form& form) override;
    void Display(ui::Form& form) override;
    void Destroy(ui::Form& form) override;
    bool IsChecked(const ui::Form& form, ui::ControlId id) override;
    void SetChecked(ui::Form& form, ui::ControlId id, bool checked) override;
    void DoEvents() override;

    // What a click on an option button does in a real window.
    void UserSelects(ui::Form& form, ui::ControlId id);
    bool Displayed(const ui::Form& form) const { return displayed_.count(form.native) != 0; }
    std::vector<std::string> MessageBoxes() const;  // the log's MsgBox entries only

  private:
    void Record(const std::string& entry);
    std::map<std::uintptr_t, std::map<ui::ControlId, bool>> windows_;
    std::set<std::uintptr_t> displayed_;
    std::uintptr_t nextHandle_ = 1;
};

std::string Narrow(TextView text);
