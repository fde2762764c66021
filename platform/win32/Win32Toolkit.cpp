#include "platform/win32/Win32Toolkit.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/Failure.h"
#include "platform/win32/Resources.h"
#include "platform/win32/WideText.h"

namespace win32 {
namespace {

// Pending messages handled by one DoEvents call at most: it lets events run, it is no loop.
constexpr int kMaxEventsPerPump = 1000;

// Enter and Esc press nothing in a form: no button is the default or the cancel button, and the
// dialog manager would otherwise turn them into commands.
bool IsInertKey(const MSG& message) {
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            return message.wParam == VK_RETURN || message.wParam == VK_ESCAPE;
        case WM_CHAR:
            return message.wParam == L'\r' || message.wParam == L'\n' || message.wParam == 0x1B;
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

Win32Toolkit::~Win32Toolkit() {
    windows_.clear();
    if (classRegistered_) ::UnregisterClassW(kFormWindowClass, instance_);
}

bool Win32Toolkit::PrevInstance() {
    if (previousInstance_) return *previousInstance_;
    ::SetLastError(ERROR_SUCCESS);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    const DWORD error = ::GetLastError();
    if (mutex == nullptr) {
        // The name exists but is not ours to open: another instance holds it.
        if (error == ERROR_ACCESS_DENIED) return *(previousInstance_ = true);
        throw Failure("CreateMutexW", error);
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
    if (answer == 0) ThrowLastError("MessageBoxW");
}

void Win32Toolkit::RegisterWindowClass() {
    if (classRegistered_) return;
    // No class icons: each window sets its own, at the size for its DPI.

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &FormWindow::Procedure;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance_;
    windowClass.hCursor = static_cast<HCURSOR>(
        ::LoadImageW(nullptr, ResourceName(32512), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kFormWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) ThrowLastError("RegisterClassExW");
    classRegistered_ = true;
}

void Win32Toolkit::Realise(ui::Form& form) {
    RegisterWindowClass();
    auto window = std::make_unique<FormWindow>(form, instance_);
    form.native = reinterpret_cast<std::uintptr_t>(window->Handle());
    windows_.emplace_back(&form, std::move(window));
}

FormWindow& Win32Toolkit::WindowOf(const ui::Form& form) const {
    const auto found =
        std::ranges::find(windows_, &form, [](const auto& entry) { return entry.first; });
    if (found == windows_.end()) throw Failure("the form has no window");
    return *found->second;
}

void Win32Toolkit::Display(ui::Form& form) {
    WindowOf(form).Display();
}

void Win32Toolkit::Destroy(ui::Form& form) {
    // Taken out of the list first: destroying the window may dispatch messages.
    const auto found =
        std::ranges::find(windows_, &form, [](const auto& entry) { return entry.first; });
    if (found == windows_.end()) return;
    const std::unique_ptr<FormWindow> window = std::move(found->second);
    windows_.erase(found);
}

bool Win32Toolkit::IsChecked(const ui::Form& form, ui::ControlId id) {
    return WindowOf(form).IsChecked(id);
}

void Win32Toolkit::SetChecked(ui::Form& form, ui::ControlId id, bool checked) {
    WindowOf(form).SetChecked(id, checked);
}

void Win32Toolkit::Dispatch(MSG& message) {
    HWND root = message.hwnd == nullptr ? nullptr : ::GetAncestor(message.hwnd, GA_ROOT);
    const bool ours = root != nullptr && std::ranges::any_of(windows_, [root](const auto& entry) {
                          return entry.second->Handle() == root;
                      });
    if (ours) {
        if (IsInertKey(message)) return;
        // Tab, Shift+Tab and the arrow keys move the focus as in a dialog.
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
        if (got == -1) ThrowLastError("GetMessageW");
        if (got == 0) return;  // WM_QUIT
        Dispatch(message);
    }
}

}  // namespace win32
