// What a user sees of a window of another program, for the tests to check from outside it.
// Usage: inspect.exe [MESSAGE WPARAM LPARAM] TITLE
// Finds the one visible top-level window titled TITLE and prints a line for each visible control:
// "button OK", "frame Folder tree", "option 1 Show all folders" (1: selected), "text ..." for
// static text, and "icon" for an icon (which one, the dialog tests read in the program's process).
// Given a message, it sends the window that instead, as the system would, and prints the answer.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string TextOf(HWND window) {
    wchar_t text[512]{};
    DWORD_PTR length = 0;  // WM_GETTEXT crosses processes; GetWindowText does not for controls
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                          2000, &length);
    std::string ascii;
    for (const wchar_t* c = text; *c != 0; ++c) ascii += *c < 0x80 ? static_cast<char>(*c) : '?';
    return ascii;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    wchar_t className[16]{};
    ::GetClassNameW(control, className, 16);
    const auto style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
    if (!::IsWindowVisible(control)) return TRUE;
    if (::lstrcmpiW(className, L"Button") == 0) {
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) {
            std::printf("frame %s\n", TextOf(control).c_str());
        } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            const bool selected = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            std::printf("option %d %s\n", selected ? 1 : 0, TextOf(control).c_str());
        } else {
            std::printf("button %s\n", TextOf(control).c_str());
        }
    } else if (::lstrcmpiW(className, L"Static") == 0) {
        const bool icon = (style & SS_TYPEMASK) == SS_ICON;
        std::printf("%s%s\n", icon ? "icon" : "text ", icon ? "" : TextOf(control).c_str());
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 5) {
        std::fprintf(stderr, "usage: inspect.exe [MESSAGE WPARAM LPARAM] TITLE\n");
        return 2;
    }
    std::vector<HWND> found;
    for (HWND window = nullptr;
         (window = ::FindWindowExW(nullptr, window, nullptr, argv[argc - 1]));) {
        if (::IsWindowVisible(window)) found.push_back(window);
    }
    if (found.size() != 1) {
        std::fprintf(stderr, "inspect: %zu visible windows with that title\n", found.size());
        return 1;
    }
    if (argc == 5) {
        const auto number = [&](int i) { return std::wcstoull(argv[i], nullptr, 0); };
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(found.front(), static_cast<UINT>(number(1)), number(2),
                              static_cast<LPARAM>(number(3)), SMTO_ABORTIFHUNG, 5000, &answer);
        std::printf("%llu\n", static_cast<unsigned long long>(answer));
        return 0;
    }
    ::EnumChildWindows(found.front(), PrintControl, 0);
    return 0;
}
