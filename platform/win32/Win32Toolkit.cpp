#include "platform/win32/Win32Toolkit.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "common/Fault.h"
#include "platform/win32/WideText.h"

namespace win32 {
namespace {

// Pending messages handled by one DoEvents call at most: it lets events run, it is no loop.
constexpr int kMaxEventsPerPump = 1000;

// Windows' dialog manager presses the focused push button on Enter (the focused button becomes
// the default one), but no button of a form is pressed by Enter: the key is dropped before it
// gets there. (Wine's leaves a focused button alone.) Esc needs no such care: it arrives as
// IDCANCEL, which no control has.
bool IsEnterKey(const MSG& message) {
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            return message.wParam == VK_RETURN;
        case WM_CHAR:
            return message.wParam == L'\r' || message.wParam == L'\n';
        default:
            return false;
    }
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    ::InitCommonControlsEx(&controls);
}

bool Win32Toolkit::PrevInstance() {
    if (previousInstance_) return *previousInstance_;
    ::SetLastError(ERROR_SUCCESS);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    const DWORD error = ::GetLastError();
    if (mutex == nullptr) {
        // The name exists but is not ours to open: another instance holds it.
        if (error == ERROR_ACCESS_DENIED) return *(previousInstance_ = true);
        throw Fault("CreateMutexW failed");
    }
    instanceMutex_.reset(mutex);
    return *(previousInstance_ = (error == ERROR_ALREADY_EXISTS));
}

void Win32Toolkit::MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) {
    const std::wstring promptText = Wide(prompt);
    const std::wstring titleText = Wide(title);
    const UINT icon = style == ui::MsgBoxStyle::Critical ? MB_ICONERROR : MB_ICONINFORMATION;
    // No owner (the forms may be gone already); task-modal, so a form still open cannot be
    // used until the message is dismissed.
    const int answer = ::MessageBoxW(nullptr, promptText.c_str(), titleText.c_str(),
                                     MB_OK | icon | MB_SETFOREGROUND | MB_TASKMODAL);
    if (answer == 0) throw Fault("MessageBoxW failed");
}

void Win32Toolkit::Realise(ui::Form& form) {
    dialogs_.push_back(std::make_unique<FormDialog>(form, instance_));
}

Win32Toolkit::Dialogs::iterator Win32Toolkit::Find(const ui::Form& form) {
    return std::ranges::find(dialogs_, &form, [](const auto& dialog) { return &dialog->Form(); });
}

FormDialog& Win32Toolkit::DialogOf(const ui::Form& form) {
    const auto found = Find(form);
    if (found == dialogs_.end()) throw Fault("the form has no dialog");
    return **found;
}

void Win32Toolkit::Display(ui::Form& form) {
    DialogOf(form).Display();
}

void Win32Toolkit::Destroy(ui::Form& form) {
    const auto found = Find(form);
    if (found == dialogs_.end()) return;
    // Taken out of the list first and destroyed last: destroying the window may dispatch
    // messages, and they must not find it half gone.
    const std::unique_ptr<FormDialog> dialog = std::move(*found);
    dialogs_.erase(found);
    // Wakes the message loop to look again: a form unloaded in answer to a message sent from
    // outside (the end of the session) leaves no posted message that would end its wait.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool Win32Toolkit::IsChecked(const ui::Form& form, ui::ControlId id) {
    return DialogOf(form).IsChecked(id);
}

void Win32Toolkit::SetChecked(ui::Form& form, ui::ControlId id, bool checked) {
    DialogOf(form).SetChecked(id, checked);
}

void Win32Toolkit::Dispatch(MSG& message) {
    HWND root = message.hwnd == nullptr ? nullptr : ::GetAncestor(message.hwnd, GA_ROOT);
    const bool ours = root != nullptr && std::ranges::any_of(dialogs_, [root](const auto& dialog) {
                          return dialog->Handle() == root;
                      });
    if (ours) {
        if (IsEnterKey(message)) return;
        // Tab, Shift+Tab, the arrow keys and Space, as the dialog manager handles them.
        if (::IsDialogMessageW(root, &message)) return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

void Win32Toolkit::DoEvents() {
    MSG message{};
    for (int handled = 0;
         handled < kMaxEventsPerPump && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
         ++handled) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));  // leave it to the main loop
            return;
        }
        Dispatch(message);
    }
}

void Win32Toolkit::RunMessageLoop() {
    MSG message{};
    while (!ui::LoadedForms().empty()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) throw Fault("GetMessageW failed");
        if (got == 0) return;  // WM_QUIT
        Dispatch(message);
    }
}

}  // namespace win32
