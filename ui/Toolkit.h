#pragma once

#include "common/text.h"
#include "ui/layout.h"

// What the program asks of the forms toolkit. Implemented by platform/win32 (real windows) and
// by the tests' own toolkit. Any operation may throw; the caller's failure trap handles it.
namespace ui {

class Form;

enum class MsgBoxStyle : int { Critical = 16, Information = 64 };  // one OK button each

class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // Whether an earlier instance of this application is already running.
    virtual bool PrevInstance() = 0;
    // A modal message box; returns when the user has dismissed it.
    virtual void MsgBox(TextView prompt, MsgBoxStyle style, TextView title) = 0;

    // Creates the form's window and all its controls from its layout, still hidden.
    virtual void Realise(Form& form) = 0;
    // Shows a realised form modelessly, centred on the screen, with the focus on its first control.
    virtual void Display(Form& form) = 0;
    // Destroys the form's window and its controls.
    virtual void Destroy(Form& form) = 0;

    // The selection state of an option button on a realised form.
    virtual bool IsChecked(const Form& form, ControlId id) = 0;
    virtual void SetChecked(Form& form, ControlId id, bool checked) = 0;

    // Lets pending events run once.
    virtual void DoEvents() = 0;
};

void InstallToolkit(Toolkit* toolkit);
// Throws NotInstalledFault when no toolkit is installed.
Toolkit& InstalledToolkit();

}  // namespace ui
