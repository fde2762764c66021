// What a user sees of a window of another program, for the journeys to check from outside it.
// Usage: inspect.exe TITLE
// Finds the one visible top-level window titled TITLE and prints a line for each visible control:
// "button OK", "frame Folder tree", "option 1 Show all folders" (1: selected), "text ..." for
// static text, and "icon information" (or "icon other") for an icon.
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

// Whether an icon control shows the system's information icon: drawn on the colour beside the
// control, it matches the screen there but for a few pixels.
const char* IconShown(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ previous = ::SelectObject(memory, ::CreateCompatibleBitmap(screen, width, height));
    HBRUSH background = ::CreateSolidBrush(::GetPixel(screen, rect.left - 1, rect.top));
    const RECT all{0, 0, width, height};
    ::FillRect(memory, &all, background);
    ::DrawIconEx(memory, 0, 0, ::LoadIconW(nullptr, IDI_INFORMATION), 0, 0, 0, nullptr, DI_NORMAL);
    int differ = 0;
    for (int i = 0; i < width * height; ++i) {
        const int x = i % width;
        const int y = i / width;
        differ += ::GetPixel(memory, x, y) != ::GetPixel(screen, rect.left + x, rect.top + y);
    }
    ::DeleteObject(background);
    ::DeleteObject(::SelectObject(memory, previous));
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return differ <= width * height / 20 ? "information" : "other";
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
        if ((style & SS_TYPEMASK) == SS_ICON) {
            std::printf("icon %s\n", IconShown(control));
        } else {
            std::printf("text %s\n", TextOf(control).c_str());
        }
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: inspect.exe TITLE\n");
        return 2;
    }
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, nullptr, argv[1]));) {
        if (::IsWindowVisible(window)) found.push_back(window);
    }
    if (found.size() != 1) {
        std::fprintf(stderr, "inspect: %zu visible windows with that title\n", found.size());
        return 1;
    }
    ::EnumChildWindows(found.front(), PrintControl, 0);
    return 0;
}
