#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/Handles.h"
#include "ui/Form.h"

// The realised window of a form: a modeless dialog of the dialog manager, made from the form's
// layout table, its client area and controls placed in pixels at its DPI. It owns the window, its
// icons and its tooltips; destroying it destroys them all.
namespace win32 {

class FormDialog {
  public:
    // Creates the dialog, hidden, with all the form's controls, sized and centred. Throws
    // Fault when Windows refuses to create it.
    FormDialog(ui::Form& form, HINSTANCE instance);
    ~FormDialog();
    FormDialog(const FormDialog&) = delete;
    FormDialog& operator=(const FormDialog&) = delete;

    HWND Handle() const { return dialog_.get(); }
    const ui::Form& Form() const { return form_; }

    // Shows the dialog in front; the dialog manager puts the focus on its first tab stop.
    void Display() const;

    bool IsChecked(ui::ControlId option) const;
    void SetChecked(ui::ControlId option, bool checked);

  private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // Events that may unload the form, and so destroy this object, run here with the form held.
    static void OnCommand(HWND dialog, int id);
    static void OnClose(HWND dialog);

    static BOOL CALLBACK KeepControl(HWND child, LPARAM self);
    HWND Control(ui::ControlId id) const;
    // Places it on the monitor it opens on; the DPI it is laid out for there.
    int PlaceAndCentre();
    void PlaceControls(int dpi);
    void LoadIcons(int dpi);
    void CreateTooltips() noexcept;

    ui::Form& form_;
    HINSTANCE instance_;
    bool tooltipsTried_ = false;
    std::array<HWND, ui::kControlCount> controls_{};  // by ControlId
    // Declared before the window so that they outlive it.
    UniqueIcon largeIcon_;
    UniqueIcon smallIcon_;
    UniqueWindow dialog_;
    UniqueWindow tooltips_;
};

}  // namespace win32
