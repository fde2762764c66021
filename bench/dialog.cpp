// The bench's second yardstick: a bare dialog of the dialog manager, made from the program's own
// in-memory template (the same thirteen controls, font and styles) with the upper option button of
// each pair selected, shown modelessly with a dialog message loop. No registry, no single-instance
// test, no icons, no pixel placement, no tooltips: what the program costs beyond this is its own.
#include <windows.h>

#include "bench/BareDialog.h"
#include "platform/win32/DialogTemplate.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_CLOSE:
            ::DestroyWindow(dialog);
            ::PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    HWND dialog = bench::MakeDialog(instance, DialogProc);
    if (dialog == nullptr) return 1;
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        if (entry.initiallySelected)
            ::CheckDlgButton(dialog, win32::ChildId(entry.id), BST_CHECKED);
    }
    ::ShowWindow(dialog, show);

    return bench::RunDialog(dialog);
}
