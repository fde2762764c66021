// The texts a window of another program shows, for the journeys to read from outside it.
// Usage: inspect.exe TITLE: finds the one visible top-level window titled TITLE and prints a line
// "text ..." for each of its static texts (WM_GETTEXT, which crosses processes).
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

BOOL CALLBACK PrintText(HWND control, LPARAM) {
    wchar_t kind[16]{}, text[512]{};
    DWORD_PTR length = 0;
    ::GetClassNameW(control, kind, 16);
    if (::lstrcmpiW(kind, L"Static") != 0 || !::IsWindowVisible(control)) return TRUE;
    ::SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, &length);
    if (text[0] != 0) std::printf("text %ls\n", text);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<HWND> found;
    for (HWND window = nullptr;
         argc == 2 && (window = ::FindWindowExW(nullptr, window, nullptr, argv[1]));) {
        if (::IsWindowVisible(window)) found.push_back(window);
    }
    if (found.size() != 1) {
        std::fprintf(stderr, "usage: inspect.exe TITLE, of one visible window (%zu found)\n",
                     found.size());
        return 1;
    }
    ::EnumChildWindows(found.front(), PrintText, 0);
    return 0;
}
