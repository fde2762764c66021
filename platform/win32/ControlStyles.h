#pragma once

#include <windows.h>

#include "ui/layout.h"

// How each kind of control of a form is made from Win32 controls.
namespace win32 {

inline constexpr int kFirstControlId = 1000;

// Child-window id of a control: 1000 + its position in the form's control enumeration. Never
// IDOK or IDCANCEL, which the dialog manager sends for Enter and Esc.
constexpr int ChildId(ui::ControlId id) {
    return kFirstControlId + static_cast<int>(id);
}
ui::ControlId ControlOfChildId(int childId);

struct ControlClass {
    const wchar_t* className;
    DWORD style;  // without WS_TABSTOP for option buttons: that follows the selection
};

// `firstOfPair`: the option button is the upper one of its exclusive pair and opens its group.
ControlClass ClassOf(ui::ControlKind kind, bool firstOfPair);

}  // namespace win32
