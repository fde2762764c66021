#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/Handles.h"
#include "ui/Form.h"
#include "ui/layout.h"

// The realised window of a form: a fixed-size top-level window whose client area and controls
// are laid out from the form's twips table at the window's DPI. It owns the window, its font,
// its icons and its tooltips; destroying it destroys them all.
namespace win32 {

inline constexpr wchar_t kFormWindowClass[] = L"QuillmarrowDefaultsOptions";
inline constexpr DWORD kFormWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD kFormWindowExStyle = 0;

class FormWindow {
  public:
    // Creates the window, hidden, with all the form's controls. Throws win32::Failure when Windows
    // refuses to create it.
    FormWindow(ui::Form& form, HINSTANCE instance);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // The window procedure of the window class.
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Handle() const { return window_.get(); }
    HWND Control(ui::ControlId id) const;

    // Centres the window on its monitor's work area, shows it and puts the focus on the first
    // control in the tab order that takes it.
    void Display();

    bool IsChecked(ui::ControlId option) const;
    void SetChecked(ui::ControlId option, bool checked);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    void CreateTooltips(HINSTANCE instance);
    // Size, font, control rectangles and icons for the current DPI.
    void FitToDpi();
    void ResizeForDpi();
    RECT PixelRect(const ui::ControlSpec& entry) const;
    void ApplyFont();
    void LayOutControls();
    void LoadIcons();
    SIZE WindowSize(UINT dpi) const;
    // Tab lands on the selected button of a pair (on the upper one while neither is selected).
    void UpdateTabStops(ui::ControlId option);
    HWND FirstTabStop() const;

    ui::Form& form_;
    HINSTANCE instance_;
    UINT dpi_ = 96;
    HWND lastFocus_ = nullptr;
    bool tooltipsTried_ = false;
    std::array<HWND, ui::kControlCount> controls_{};  // children: destroyed with the window
    // Declared before the window so that they outlive it.
    UniqueFont font_;
    UniqueIcon largeIcon_;
    UniqueIcon smallIcon_;
    UniqueWindow window_;
    UniqueWindow tooltips_;
};

}  // namespace win32
