#pragma once

// What the dialog yardsticks share: the program's own dialog template made by the dialog manager,
// its plainest procedure and a plain dialog message loop.
#include <windows.h>

#include <vector>

#include "platform/win32/DialogTemplate.h"

namespace bench {

// The bare dialog's procedure: it takes the focus the dialog manager gives it, and the close button
// ends it.
inline INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        ::DestroyWindow(dialog);
        ::PostQuitMessage(0);
    }
    return message == WM_INITDIALOG || message == WM_CLOSE ? TRUE : FALSE;
}

// The dialog, hidden; null when the dialog manager cannot make it.
inline HWND MakeDialog(HINSTANCE instance, DLGPROC procedure) {
    const std::vector<WORD> dialogTemplate =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    return ::CreateDialogIndirectParamW(instance,
                                        reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                                        nullptr, procedure, 0);
}

// Until the dialog is closed (its procedure posts WM_QUIT).
inline int RunDialog(HWND dialog) {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(dialog, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace bench
