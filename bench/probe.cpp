// The bench's stopwatch (see bench/run). Usage: probe.exe, then one line "PROGRAM<tab>TITLE" a
// start on its standard input. For each: starts PROGRAM and times it until a visible top-level
// window titled TITLE shows its three option pairs set; lets it settle, ends it, and prints
// "filled_ms peak_bytes process_id made_ms shown_ms layout": when the window was seen filled, the
// peak working set, when the last control of that window was made (-1 if the system reported
// none), when the window was first seen visible, and where it and its controls are; or
// "error: ..." and goes on. One probe serves the whole bench, so the Wine session stays warm from
// the first start to the last.
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "Handles.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;

// The performance counter in milliseconds.
double NowMs() {
    static const double countsPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return double(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / countsPerMs;
}

// The system's tick count (the time a WinEvent carries) against the performance counter: a tick
// and the counter's ms when it began. Wine updates the tick count when its server is asked
// something, so right after a request it is current: the least difference seen over a few.
struct TickClock {
    DWORD tick = 0;
    double ms = 1e300;

    double MsOf(DWORD laterTick) const { return ms + double(laterTick - tick); }
};

TickClock CalibrateTicks() {
    TickClock clock;
    for (int sample = 0; sample < 64; ++sample) {
        CloseHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        const DWORD tick = GetTickCount();
        const double ms = NowMs();
        if (ms - double(tick) < clock.ms - double(clock.tick)) clock = {tick, ms};
        Sleep(DWORD(sample % 3));
    }
    return clock;
}

struct Search {
    DWORD processId;
    const wchar_t* title;
    double shownMs = -1;  // first seen visible, on the performance counter's timeline
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

BOOL CALLBACK AddControlRect(HWND control, LPARAM param) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&rect), 2);
    auto& checksum = *reinterpret_cast<std::uint32_t*>(param);
    for (const LONG value : {rect.left, rect.top, rect.right, rect.bottom})
        checksum = (checksum ^ static_cast<std::uint32_t>(value)) * 16777619u;  // FNV-1a
    return TRUE;
}

// Where a window and its controls are, as one word: its rectangle on the screen, and a checksum of
// its controls' rectangles in it. Two programs' dialogs laid out alike have the same word.
std::string Layout(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    std::uint32_t checksum = 2166136261u;
    EnumChildWindows(window, AddControlRect, reinterpret_cast<LPARAM>(&checksum));
    char word[64];
    std::snprintf(word, sizeof word, "%ld,%ld,%ld,%ld/%08x", frame.left, frame.top, frame.right,
                  frame.bottom, checksum);
    return word;
}

BOOL CALLBACK FindFilledWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[64]{};
    if (owner != search.processId || !IsWindowVisible(window) ||
        GetWindowTextW(window, title, 64) == 0 || lstrcmpW(title, search.title) != 0)
        return TRUE;
    if (search.shownMs < 0) search.shownMs = NowMs();
    int checked = 0;
    EnumChildWindows(window, CountCheckedRadio, reinterpret_cast<LPARAM>(&checked));
    if (checked >= 3) search.found = window;
    return search.found == nullptr;
}

// The windows a started program makes, as the system reports them (out-of-context WinEvents): its
// top-level window with the title, and when the last of that window's controls was made: the time
// the event carries. Wine hands such events over only when the receiver next looks at its messages,
// several at a time and milliseconds late (tens, seen from a receiver that looks every 10 ms).
struct Making {
    DWORD processId = 0;
    const wchar_t* title = nullptr;
    HWND window = nullptr;
    DWORD lastControlTick = 0;
    bool controlMade = false;
};
Making making;

void CALLBACK OnCreate(HWINEVENTHOOK, DWORD, HWND made, LONG object, LONG child, DWORD,
                       DWORD eventTick) {
    DWORD owner = 0;
    if (object != OBJID_WINDOW || child != CHILDID_SELF || made == nullptr ||
        GetWindowThreadProcessId(made, &owner) == 0 || owner != making.processId)
        return;
    HWND parent = GetAncestor(made, GA_PARENT);
    wchar_t title[64]{};
    if (making.window == nullptr && parent == GetDesktopWindow() &&
        GetWindowTextW(made, title, 64) > 0 && lstrcmpW(title, making.title) == 0) {
        making.window = made;
    } else if (making.window != nullptr && parent == making.window) {
        making.lastControlTick = eventTick;
        making.controlMade = true;
    }
}

// Waits up to `milliseconds` for the process to end, taking the system's reports meanwhile.
bool Ended(HANDLE process, DWORD milliseconds) {
    const ULONGLONG until = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE,
                                                      static_cast<DWORD>(until - now), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) return true;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (woken != WAIT_OBJECT_0 + 1) break;
    }
    return false;
}

void Fail(const char* message) {
    std::printf("error: %s\n", message);
}

void Time(const std::wstring& program, const wchar_t* title, const TickClock& ticks) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double startedMs = NowMs();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return Fail(
            ("could not start the program, error " + std::to_string(GetLastError())).c_str());
    const win32::UniqueHandle process(info.hProcess), thread(info.hThread);

    making = {info.dwProcessId, title, nullptr, 0, false};
    Search search{info.dwProcessId, title};
    double elapsedMs = 0;
    while (search.found == nullptr) {
        EnumWindows(FindFilledWindow, reinterpret_cast<LPARAM>(&search));
        elapsedMs = NowMs() - startedMs;
        // Every millisecond until the window is seen, then every 5 (each look at the check marks
        // asks the program).
        if (search.found == nullptr &&
            (elapsedMs > kTimeoutMs || Ended(process.get(), search.shownMs < 0 ? 1 : 5))) {
            TerminateProcess(process.get(), 1);
            return Fail("no visible window with that title and three option buttons set");
        }
    }

    const std::string layout = Layout(search.found);
    // The first paint and idle processing count towards the peak too. A message at the end wakes
    // a program that waits for one (the bench's part-by-part copies then write their record).
    Sleep(450);
    PostMessageW(search.found, WM_NULL, 0, 0);
    Sleep(50);
    PROCESS_MEMORY_COUNTERS memory{};
    const bool measured = K32GetProcessMemoryInfo(process.get(), &memory, sizeof memory) != 0;
    // Ended at once: its exit is not what is timed, and Wine takes two seconds over a clean one.
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    if (!measured) return Fail("could not read the program's memory");
    // A tick is a whole millisecond: its middle.
    const double madeMs =
        making.controlMade ? ticks.MsOf(making.lastControlTick) + 0.5 - startedMs : -1.0;
    std::printf("%.3f %llu %lu %.3f %.3f %s\n", elapsedMs,
                static_cast<unsigned long long>(memory.PeakWorkingSetSize), info.dwProcessId,
                madeMs, search.shownMs - startedMs, layout.c_str());
}

}  // namespace

int wmain(int, wchar_t**) {
    SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnCreate, 0, 0,
                    WINEVENT_OUTOFCONTEXT);
    const TickClock ticks = CalibrateTicks();
    char line[1024];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        wchar_t wide[1024]{};
        MultiByteToWideChar(CP_UTF8, 0, line, -1, wide, 1024);
        std::wstring request(wide);
        request.erase(request.find_last_not_of(L"\r\n") + 1);
        const std::size_t tab = request.find(L'\t');
        if (tab == std::wstring::npos) {
            Fail("expected PROGRAM<tab>TITLE");
        } else {
            Time(request.substr(0, tab), request.c_str() + tab + 1, ticks);
        }
        std::fflush(stdout);
    }
    return 0;
}
