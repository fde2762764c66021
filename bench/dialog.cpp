// The bench's second yardstick: a bare dialog of the dialog manager, made from the program's own
// in-memory template (the same thirteen controls, font and styles) with the upper option button of
// each pair selected, shown modelessly with a dialog message loop. No registry, no single-instance
// test, no icons, no pixel placement, no tooltips: what the program costs beyond this is its own.
#include <windows.h>

#include <vector>

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
    const std::vector<WORD> dialogTemplate =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    HWND dialog = ::CreateDialogIndirectParamW(
        instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr, DialogProc,
        0);
    if (dialog == nullptr) return 1;
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        if (entry.initiallySelected)
            ::CheckDlgButton(dialog, win32::ChildId(entry.id), BST_CHECKED);
    }
    ::ShowWindow(dialog, show);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(dialog, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
