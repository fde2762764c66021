#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Toolkit.h"

// A toolkit without windows: keeps the option buttons of realised forms in memory, records every
// call in a log ("Realise frmOptions", "SetChecked optTwoPane 1", "MsgBox 16 Unexpected Error")
// and fails on demand.
class TestToolkit : public ui::Toolkit {
  public:
    bool previousInstance = false;
    std::vector<std::string> log;
    std::set<std::string> failing;  // operations (first word of the entry) that throw instead

    bool PrevInstance() override;
    void MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) override;
    void Realise(ui::Form& form) override;
    void Display(ui::Form& form) override;
    void Destroy(ui::Form& form) override;
    bool IsChecked(const ui::Form& form, ui::ControlId id) override;
    void SetChecked(ui::Form& form, ui::ControlId id, bool checked) override;
    void DoEvents() override;

    // What a click on an option button does in a real window.
    void UserSelects(const ui::Form& form, ui::ControlId id);
    bool Displayed(const ui::Form& form) const { return displayed_.count(&form) != 0; }
    std::vector<std::string> MessageBoxes() const;
    // Index of the first entry starting with `prefix`; the log's size when there is none.
    std::size_t Position(const std::string& prefix) const;

  private:
    void Record(const std::string& entry);
    std::map<const ui::Form*, std::map<ui::ControlId, bool>> windows_;
    std::set<const ui::Form*> displayed_;
};
