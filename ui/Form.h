#pragma once

#include <array>
#include <memory>
#include <span>
#include <vector>

#include "common/truth.h"
#include "ui/layout.h"

// A form of the forms runtime: a window described by a layout table, loaded (realised by the
// toolkit) or not. Forms are shared objects: whoever works with one holds a reference, so that
// unloading it from inside its own event handler does not destroy it under the handler's feet.
namespace ui {

class Form : public std::enable_shared_from_this<Form> {
  public:
    Form();
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    virtual const WindowSpec& Window() const = 0;
    virtual std::span<const ControlSpec, kControlCount> Controls() const = 0;

    // Events, raised by the runtime and the toolkit.
    virtual void OnLoad() = 0;
    virtual void OnClick(ControlId button) = 0;

    bool Loaded() const { return loaded_; }

    // Value of an option button. Setting it true selects the button and clears its partner;
    // setting it false clears only that button. On an unloaded form the value is kept in the form
    // and nothing is loaded or shown.
    Truth Value(ControlId option) const;
    void SetValue(ControlId option, Truth value);

  protected:
    // Called after the form has been unloaded.
    virtual void OnUnloaded() {}

  private:
    friend void Load(Form& form);
    friend void Unload(Form& form);
    void ResetSelection();

    bool loaded_ = false;
    std::array<bool, kControlCount> selected_{};  // option state while unloaded
};

// Loads the form if needed (running its load event while it is still hidden) and shows it
// modelessly. A form that unloads itself during its load event is not shown.
void Show(Form& form);
void Load(Form& form);
// Destroys the form's window; the form leaves the collection of loaded forms. No-op if unloaded.
void Unload(Form& form);
// A snapshot of the loaded forms, in the order they were loaded.
std::vector<std::shared_ptr<Form>> LoadedForms();

}  // namespace ui
