#include "ui/Form.h"

#include <algorithm>

#include "common/Fault.h"
#include "ui/Toolkit.h"

namespace ui {
namespace {

// The collection of loaded forms, in the order they were loaded.
std::vector<std::shared_ptr<Form>>& LoadedFormList() {
    static std::vector<std::shared_ptr<Form>> forms;
    return forms;
}

std::size_t Index(ControlId id) {
    return static_cast<std::size_t>(id);
}

void RequireOptionButton(ControlId id) {
    if (id == ControlId::None || ControlSpecOf(id).kind != ControlKind::OptionButton) {
        throw InvalidArgumentFault("not an option button");
    }
}

}  // namespace

Form::Form() {
    ResetSelection();
}

void Form::ResetSelection() {
    selected_.fill(false);
    for (const ControlSpec& entry : OptionsControls())
        selected_[Index(entry.id)] = entry.initiallySelected;
}

Truth Form::Value(ControlId option) const {
    RequireOptionButton(option);
    if (loaded_) return ToTruth(InstalledToolkit().IsChecked(*this, option));
    return ToTruth(selected_[Index(option)]);
}

void Form::SetValue(ControlId option, Truth value) {
    RequireOptionButton(option);
    const bool select = static_cast<bool>(value);
    const ControlId partner = PartnerOf(option);
    if (loaded_) {
        Toolkit& toolkit = InstalledToolkit();
        toolkit.SetChecked(*this, option, select);
        if (select) toolkit.SetChecked(*this, partner, false);
        return;
    }
    selected_[Index(option)] = select;
    if (select) selected_[Index(partner)] = false;
}

void Load(Form& form) {
    if (form.loaded_) return;
    InstalledToolkit().Realise(form);
    form.loaded_ = true;
    LoadedFormList().push_back(form.shared_from_this());
    form.OnLoad();
}

void Show(Form& form) {
    const std::shared_ptr<Form> hold = form.shared_from_this();
    Load(form);
    if (form.Loaded()) InstalledToolkit().Display(form);
}

void Unload(Form& form) {
    if (!form.loaded_) return;
    const std::shared_ptr<Form> hold = form.shared_from_this();
    InstalledToolkit().Destroy(form);
    form.loaded_ = false;
    form.ResetSelection();
    std::erase(LoadedFormList(), hold);
    form.OnUnloaded();
}

std::vector<std::shared_ptr<Form>> LoadedForms() {
    return LoadedFormList();
}

}  // namespace ui
