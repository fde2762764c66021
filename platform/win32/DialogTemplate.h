#pragma once

#include <windows.h>

#include <vector>

#include "ui/layout.h"

// The form as an in-memory dialog template for the dialog manager.
namespace win32 {

// Child-window id of a control: 1000 + its position in the form's control enumeration. Never
// IDOK or IDCANCEL, which the dialog manager sends for Enter and Esc.
inline constexpr int kFirstControlId = 1000;
constexpr int ChildId(ui::ControlId id) {
    return kFirstControlId + static_cast<int>(id);
}
ui::ControlId ControlOfChildId(int childId);

// An extended dialog template (DLGTEMPLATEEX) with the window's caption, its font and every control
// in tab order, hidden. The coordinates in it are dialog units that approximate the twips table
// (what Windows re-lays out from when the DPI changes); the dialog places its controls in exact
// pixels once it knows its DPI.
std::vector<WORD> BuildDialogTemplate(const ui::WindowSpec& window, ui::ControlTable controls);

}  // namespace win32
