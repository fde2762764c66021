#include "tests/unit/test_toolkit.h"

#include <stdexcept>

namespace {

std::string Narrow(TextView text) {
    std::string out;
    for (const char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::string NameOf(ui::ControlId id) {
    return std::string(ui::ControlSpecOf(id).name);
}

}  // namespace

void TestToolkit::Record(const std::string& entry) {
    if (failing.count(entry.substr(0, entry.find(' '))) != 0) {
        log.push_back("FAILED " + entry);
        throw std::runtime_error("injected failure: " + entry);
    }
    log.push_back(entry);
}

bool TestToolkit::PrevInstance() {
    Record("PrevInstance");
    return previousInstance;
}

void TestToolkit::MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) {
    Record("MsgBox " + std::to_string(static_cast<int>(style)) + " " + Narrow(prompt) + " | " +
           Narrow(title));
}

void TestToolkit::Realise(ui::Form& form) {
    Record("Realise " + std::string(form.Window().name));
    auto& buttons = windows_[&form];
    for (const ui::ControlSpec& control : form.Controls()) {
        if (control.kind == ui::ControlKind::OptionButton)
            buttons[control.id] = control.initiallySelected;
    }
}

void TestToolkit::Display(ui::Form& form) {
    Record("Display " + std::string(form.Window().name));
    displayed_.insert(&form);
}

void TestToolkit::Destroy(ui::Form& form) {
    Record("Destroy " + std::string(form.Window().name));
    windows_.erase(&form);
    displayed_.erase(&form);
}

bool TestToolkit::IsChecked(const ui::Form& form, ui::ControlId id) {
    Record("IsChecked " + NameOf(id));
    return windows_.at(&form).at(id);
}

void TestToolkit::SetChecked(ui::Form& form, ui::ControlId id, bool checked) {
    Record("SetChecked " + NameOf(id) + (checked ? " 1" : " 0"));
    windows_.at(&form).at(id) = checked;
}

void TestToolkit::DoEvents() {
    Record("DoEvents");
}

void TestToolkit::UserSelects(const ui::Form& form, ui::ControlId id) {
    auto& buttons = windows_.at(&form);
    buttons.at(id) = true;
    buttons.at(ui::PartnerOf(id)) = false;
}

std::vector<std::string> TestToolkit::MessageBoxes() const {
    std::vector<std::string> boxes;
    for (const std::string& entry : log) {
        if (entry.rfind("MsgBox ", 0) == 0) boxes.push_back(entry);
    }
    return boxes;
}

std::size_t TestToolkit::Position(const std::string& prefix) const {
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].rfind(prefix, 0) == 0) return i;
    }
    return log.size();
}
