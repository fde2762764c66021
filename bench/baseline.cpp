// The yardstick for the bench: a bare Win32 window with the same thirteen controls at the same
// 96-DPI pixel rectangles, the upper option button of each pair selected, and a dialog message
// loop. No registry, no tooltips, no resources: whatever the real program costs beyond this is its
// own.
#include <windows.h>

namespace {

struct Control {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, y, width, height;
    int id;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPush = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kFrame = kChild | BS_GROUPBOX;
constexpr DWORD kFirstRadio = kChild | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;

// In tab order; ids are 1000 + the position in the program's own control table.
constexpr Control kControls[] = {
    {L"Button", L"OK", kPush | WS_GROUP, 154, 156, 76, 23, 1000},
    {L"Button", L"Cancel", kPush, 247, 156, 76, 23, 1011},
    {L"Button", L"Reset", kPush, 341, 156, 76, 23, 1001},
    {L"Button", L"Folder tree", kFrame, 16, 65, 178, 68, 1008},
    {L"Button", L"Show all folders", kFirstRadio, 25, 83, 164, 18, 1010},
    {L"Button", L"Show subfolders only", kRadio, 25, 108, 164, 18, 1009},
    {L"Button", L"Window style", kFrame, 199, 65, 178, 68, 1005},
    {L"Button", L"Show two-pane window", kFirstRadio, 208, 83, 164, 18, 1007},
    {L"Button", L"Show folder window only", kRadio, 208, 108, 164, 18, 1006},
    {L"Button", L"Shortcut location", kFrame, 382, 65, 178, 68, 1002},
    {L"Button", L"Put shortcut on side menu", kFirstRadio, 391, 83, 164, 18, 1003},
    {L"Button", L"Put shortcut on Start Menu", kRadio, 391, 108, 164, 18, 1004},
    {L"Static",
     L"You can right click on a folder in Windows Explorer and click on \"Let Quillmarrow create "
     L"a shortcut\" on the context menu. That is the fastest way to work with Quillmarrow. The "
     L"default name and settings will be applied.",
     kChild | WS_GROUP | SS_LEFT, 14, 18, 544, 27, 1012},
};

constexpr int kUpperRadios[] = {1010, 1007, 1003};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"QuillmarrowBaseline";
    if (!RegisterClassExW(&windowClass)) return 1;

    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 572, 201};
    AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HWND window = CreateWindowExW(
        WS_EX_CONTROLPARENT, windowClass.lpszClassName, L"Baseline Default Settings", kStyle,
        (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
        width, height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    for (const Control& control : kControls) {
        HWND child = CreateWindowExW(0, control.className, control.text, control.style, control.x,
                                     control.y, control.width, control.height, window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                     instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    for (const int id : kUpperRadios) CheckDlgButton(window, id, BST_CHECKED);

    ShowWindow(window, show);
    SetFocus(GetDlgItem(window, 1000));

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (font) DeleteObject(font);
    return 0;
}
