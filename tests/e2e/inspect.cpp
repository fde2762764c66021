// What a user sees of a window of another program, for the journeys to check from outside it.
// Usage: inspect.exe [--end-session] TITLE
// Finds the one visible top-level window titled TITLE and prints a line for each visible control:
// "button OK", "frame Folder tree", "option 1 Show all folders" (1: selected), "text ..." for
// static text, and "icon" for an icon (which one, the dialog tests read in the program's process).
// With --end-session it ends the session for that window instead and prints its answer to the
// question: "query 1" when it agrees.
#include <windows.h>

#include <cstdio>
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
    const bool endSession = argc == 3 && std::wstring(argv[1]) == L"--end-session";
    if (argc != 2 && !endSession) {
        std::fprintf(stderr, "usage: inspect.exe [--end-session] TITLE\n");
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
    if (endSession) {
        // As Restart Manager closes a program whose file it must replace: asks, then ends.
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(found.front(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP,
                              SMTO_ABORTIFHUNG, 5000, &answer);
        std::printf("query %d\n", static_cast<int>(answer));
        ::SendMessageTimeoutW(found.front(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP,
                              SMTO_ABORTIFHUNG, 5000, nullptr);
        return 0;
    }
    ::EnumChildWindows(found.front(), PrintControl, 0);
    return 0;
}
