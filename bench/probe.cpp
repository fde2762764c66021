// The bench's stopwatch (see bench/run). Usage: probe.exe PROGRAM TITLE
// Starts PROGRAM and times it until a visible top-level window titled TITLE shows its three option
// pairs set; lets it settle, closes it, and prints "elapsed_ms peak_bytes" (the peak working set).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "Handles.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;

struct Search {
    DWORD processId;
    const wchar_t* title;
    HWND found = nullptr;
};

BOOL CALLBACK CountCheckedRadio(HWND child, LPARAM count) {
    wchar_t className[8]{};
    const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
    DWORD_PTR state = 0;
    if (GetClassNameW(child, className, 8) > 0 && lstrcmpiW(className, L"Button") == 0 &&
        (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) &&
        SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) != 0 &&
        state == BST_CHECKED)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK FindFilledWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[64]{};
    if (owner != search.processId || !IsWindowVisible(window) ||
        GetWindowTextW(window, title, 64) == 0 || lstrcmpW(title, search.title) != 0)
        return TRUE;
    int checked = 0;
    EnumChildWindows(window, CountCheckedRadio, reinterpret_cast<LPARAM>(&checked));
    if (checked >= 3) search.found = window;
    return search.found == nullptr;
}

int Fail(const char* message) {
    std::fprintf(stderr, "probe: %s\n", message);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return Fail("usage: probe.exe PROGRAM TITLE");
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    LARGE_INTEGER frequency, started, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return Fail("could not start the program");
    const win32::UniqueHandle process(info.hProcess), thread(info.hThread);

    Search search{info.dwProcessId, argv[2]};
    double elapsedMs = 0;
    while (search.found == nullptr) {
        EnumWindows(FindFilledWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        elapsedMs = 1000.0 * double(now.QuadPart - started.QuadPart) / double(frequency.QuadPart);
        if (search.found == nullptr &&
            (elapsedMs > kTimeoutMs || WaitForSingleObject(process.get(), 5) == WAIT_OBJECT_0)) {
            TerminateProcess(process.get(), 1);
            return Fail("no visible window with that title and three option buttons set");
        }
    }

    Sleep(500);  // the first paint and idle processing count towards the peak too
    PROCESS_MEMORY_COUNTERS memory{};
    const bool measured = K32GetProcessMemoryInfo(process.get(), &memory, sizeof memory) != 0;
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return Fail("the program did not close");
    }
    if (!measured) return Fail("could not read the program's memory");
    std::printf("%.3f %llu\n", elapsedMs,
                static_cast<unsigned long long>(memory.PeakWorkingSetSize));
    return 0;
}
