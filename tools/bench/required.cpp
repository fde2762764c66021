// The yardstick the bench judges the program by (docs/bench.md): the bare dialog doing the work the
// program must, each part in its plainest Win32 form. Of the program it shares only the layout
// table, the dialog template and the icon, so what the program costs beyond this is its own code.
// A step that fails ends it before its window shows: the bench stops then.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "bench/BareDialog.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/resources/resource.h"

namespace {

using enum ui::ControlId;

constexpr char kKey[] = "Software\\Vendrakel\\Quillmarrow 2004";
struct Setting {
    const char* valueName;
    ui::ControlId whenTrue, whenFalse;
};
constexpr Setting kSettings[] = {{"AllFolders", optAllFolders, optSubfoldersOnly},
                                 {"TwoPane", optTwoPane, optFolderWindow},
                                 {"SideMenu", optSideMenu, optStartMenu}};

// Hidden windows: nothing to draw and nothing to adjust on the way.
constexpr UINT kPlaceHidden =
    SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING;

struct Placing {
    int dpi;
    HDWP batch;
};

BOOL CALLBACK DeferToTwips(HWND control, LPARAM param) {
    auto& placing = *reinterpret_cast<Placing*>(param);
    const auto controls = ui::OptionsControls();
    const auto entry = std::ranges::find(controls, ::GetDlgCtrlID(control),
                                         [](const auto& row) { return win32::ChildId(row.id); });
    if (entry == controls.end()) return TRUE;
    ui::TwipsRect twips = entry->rect;
    if (entry->container != None) {  // option buttons are placed in their frame
        const auto frame = std::ranges::find(controls, entry->container, &ui::ControlSpec::id);
        twips.left += frame->rect.left;
        twips.top += frame->rect.top;
    }
    const auto pixels = [&placing](int value) {
        return ::MulDiv(value, placing.dpi, ui::kTwipsPerInch);
    };
    placing.batch =
        ::DeferWindowPos(placing.batch, control, nullptr, pixels(twips.left), pixels(twips.top),
                         pixels(twips.width), pixels(twips.height), kPlaceHidden);
    return placing.batch != nullptr;
}

bool Place(HWND dialog, int dpi) {
    Placing placing{dpi, ::BeginDeferWindowPos(static_cast<int>(ui::kControlCount))};
    if (placing.batch == nullptr ||
        !::EnumChildWindows(dialog, DeferToTwips, reinterpret_cast<LPARAM>(&placing)) ||
        !::EndDeferWindowPos(placing.batch))
        return false;
    POINT pointer{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT frame{0, 0, ::MulDiv(ui::OptionsWindow().clientWidth, dpi, ui::kTwipsPerInch),
               ::MulDiv(ui::OptionsWindow().clientHeight, dpi, ui::kTwipsPerInch)};
    if (!::GetCursorPos(&pointer) ||
        !::GetMonitorInfoW(::MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor) ||
        !::AdjustWindowRectExForDpi(
            &frame, static_cast<DWORD>(::GetWindowLongW(dialog, GWL_STYLE)), FALSE,
            static_cast<DWORD>(::GetWindowLongW(dialog, GWL_EXSTYLE)), static_cast<UINT>(dpi)))
        return false;
    const RECT& work = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    return ::SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                          work.top + (work.bottom - work.top - height) / 2, width, height,
                          kPlaceHidden) != FALSE;
}

// The small one first, as a window given a big icon alone gets a scaled-down copy of it.
bool SetIcons(HWND dialog, int dpi) {
    const auto set = [dialog, dpi](WPARAM which, int metric) {
        const int size = ::GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi));
        HANDLE icon = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUILLMARROW),
                                   IMAGE_ICON, size, size, 0);
        if (icon != nullptr)
            ::SendMessageW(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        return icon != nullptr;
    };
    return set(ICON_SMALL, SM_CXSMICON) && set(ICON_BIG, SM_CXICON);
}

// "False" in any case is false; anything else, a missing value included, is true.
bool ReadSetting(const char* valueName) {
    HKEY key = nullptr;
    char text[8]{};
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
    const LSTATUS status =
        ::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    return status != ERROR_SUCCESS || type != REG_SZ || ::lstrcmpiA(text, "False") != 0;
}

bool WriteSetting(const char* valueName, bool value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const char* text = value ? "True" : "False";
    const LSTATUS status =
        ::RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>(::lstrlenA(text)) + 1);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// All three read before any is written back, as the program does.
bool LoadSettings(HWND dialog) {
    bool values[std::size(kSettings)]{};
    for (std::size_t i = 0; i < std::size(kSettings); ++i)
        values[i] = ReadSetting(kSettings[i].valueName);
    for (std::size_t i = 0; i < std::size(kSettings); ++i) {
        const auto& [valueName, whenTrue, whenFalse] = kSettings[i];
        if (!WriteSetting(valueName, values[i]) ||
            !::CheckDlgButton(dialog, win32::ChildId(values[i] ? whenTrue : whenFalse),
                              BST_CHECKED))
            return false;
    }
    return true;
}

void AddTooltips(HWND dialog) {
    HWND tooltips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr);
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        if (tooltips == nullptr || entry.tooltip.empty()) continue;
        std::wstring text(entry.tooltip.begin(), entry.tooltip.end());
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(dialog, win32::ChildId(entry.id)));
        tool.lpszText = text.data();
        ::SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// The bare dialog's, with the tooltips made when the pointer first comes over it.
INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool tooltipsMade = false;
    if (message == WM_SETCURSOR && !tooltipsMade) {
        AddTooltips(dialog);
        tooltipsMade = true;
    }
    return bench::BareDialogProc(dialog, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ::CreateMutexW(nullptr, FALSE, L"Quillmarrow bench yardstick");
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return 1;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&classes);
    HWND dialog = bench::MakeDialog(instance, DialogProc);
    if (dialog == nullptr) return 1;
    const int dpi = static_cast<int>(::GetDpiForWindow(dialog));
    if (!Place(dialog, dpi) || !SetIcons(dialog, dpi) || !LoadSettings(dialog)) return 1;
    ::ShowWindow(dialog, SW_SHOW);
    ::SetForegroundWindow(dialog);

    return bench::RunDialog(dialog);
}
