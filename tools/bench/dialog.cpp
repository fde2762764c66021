// The bench's second yardstick: a bare dialog of the dialog manager, made from the program's own
// in-memory template (the same thirteen controls, font and styles) with the upper option button of
// each pair selected, shown modelessly with a dialog message loop. No registry, no single-instance
// test, no icons, no pixel placement, no tooltips: what the program costs beyond this is its own.
#include <windows.h>

#include "bench/BareDialog.h"
#include "platform/win32/DialogTemplate.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    HWND dialog = bench::MakeDialog(instance, bench::BareDialogProc);
    if (dialog == nullptr) return 1;
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        if (entry.initiallySelected)
            ::CheckDlgButton(dialog, win32::ChildId(entry.id), BST_CHECKED);
    }
    ::ShowWindow(dialog, show);

    return bench::RunDialog(dialog);
}
