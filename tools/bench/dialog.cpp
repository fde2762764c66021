// The bare dialog (docs/bench.md): the program's own template on the dialog manager, the upper
// option of each pair checked, shown. No single-instance check, icons, placement, registry or
// tooltips: what the required work costs beyond this is that work.
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
