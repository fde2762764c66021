// The bench's part-by-part stopwatch, linked into bench-only copies of the program and of two
// yardsticks (program-parts.exe, dialog-parts.exe, required-parts.exe; see bench/run --parts),
// never into the program.
// Before the entry point runs it points the exe's imports of the Win32 calls that start-up makes
// at timed wrappers, and records each call: its name, a detail (the message, whether a window is
// a child), how deeply it is nested in other timed calls, and when it started and ended, in
// milliseconds since the process was created. Each time the program asks for its next message
// the record so far is written to QM_PARTS_DIR\<process id>.txt: the calls up to the first
// request are its start-up, the ones nested in a later request (the tooltips, the first paint)
// come after it.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "testing/ImportSlots.h"

static_assert(sizeof(void*) == 8, "the wrappers rely on the one x64 calling convention");

namespace {

struct Event {
    const char* name;
    std::uint64_t detail;
    int depth;
    std::int64_t start;  // performance-counter ticks
    std::int64_t end;
};

// Start-up makes some hundred calls; the rest of a run is not of interest.
constexpr std::size_t kMaxEvents = 4096;

struct Record {
    std::array<Event, kMaxEvents> events{};
    std::size_t count = 0;
    std::size_t reported = 0;
    std::int64_t reportedAt = 0;  // ticks; 0: not yet
    std::int64_t ready = 0;       // ticks at the first request for a message; 0: not yet
    int depth = 0;
    DWORD thread = 0;
    std::int64_t origin = 0;  // ticks at the installation
    double originMs = 0;      // the installation, in ms since the process was created
    double ticksPerMs = 1;
};

Record& TheRecord() {
    static Record record;
    return record;
}

std::int64_t Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// One timed call on the thread that installed the wrappers (the program's only one).
class Scope {
  public:
    explicit Scope(const char* name, std::uint64_t detail = 0) {
        Record& record = TheRecord();
        if (::GetCurrentThreadId() != record.thread || record.count == kMaxEvents) return;
        event_ = &record.events[record.count++];
        *event_ = {name, detail, record.depth++, Now(), 0};
    }
    ~Scope() {
        if (event_ == nullptr) return;
        event_->end = Now();
        --TheRecord().depth;
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

    void SetDetail(std::uint64_t detail) {
        if (event_ != nullptr) event_->detail = detail;
    }

  private:
    Event* event_ = nullptr;
};

double Milliseconds(const Record& record, std::int64_t ticks) {
    return record.originMs + static_cast<double>(ticks - record.origin) / record.ticksPerMs;
}

// Rewrites the whole record so far: when the first message is asked for (start-up is over), then
// at most every 100 ms, so that writing it does not slow the first paint down.
void Report() {
    Record& record = TheRecord();
    if (record.count == record.reported || record.depth != 0) return;
    const std::int64_t now = Now();
    if (record.reportedAt != 0 &&
        static_cast<double>(now - record.reportedAt) < 100 * record.ticksPerMs)
        return;
    record.reportedAt = now;
    wchar_t path[MAX_PATH]{};
    const DWORD length = ::GetEnvironmentVariableW(L"QM_PARTS_DIR", path, MAX_PATH - 16);
    if (length == 0 || length >= MAX_PATH - 16) return;
    // Written beside the record and put in its place when complete: the bench may end the
    // process at any moment.
    wchar_t partial[MAX_PATH]{};
    std::swprintf(path + length, 16, L"\\%lu.txt", ::GetCurrentProcessId());
    std::swprintf(partial, MAX_PATH, L"%ls.new", path);
    HANDLE file = ::CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::array<char, 160> line{};
    const auto write = [file, &line](int size) {
        DWORD written = 0;
        if (size > 0) ::WriteFile(file, line.data(), static_cast<DWORD>(size), &written, nullptr);
    };
    write(std::snprintf(line.data(), line.size(), "entry %.3f\nready %.3f\n", record.originMs,
                        Milliseconds(record, record.ready)));
    for (std::size_t i = 0; i < record.count; ++i) {
        const Event& event = record.events[i];
        const std::int64_t end = event.end != 0 ? event.end : Now();  // a call still running
        write(std::snprintf(line.data(), line.size(), "%s %llu %d %.3f %.3f\n", event.name,
                            static_cast<unsigned long long>(event.detail), event.depth,
                            Milliseconds(record, event.start),
                            static_cast<double>(end - event.start) / record.ticksPerMs));
    }
    ::CloseHandle(file);
    ::MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING);
    record.reported = record.count;
}

// A call's name as a template argument.
template <std::size_t N>
struct Name {
    char text[N];
    constexpr Name(const char (&name)[N]) { std::copy_n(name, N, text); }
};

struct Hook {
    std::string_view name;
    ULONG_PTR wrapper;
    void (*keep)(ULONG_PTR original);
};

// The timed wrapper of one call; Describe, if given, makes its detail from the arguments.
template <Name name, typename Function, auto Describe = nullptr>
struct Timed;
template <Name name, typename Result, typename... Args, auto Describe>
struct Timed<name, Result (*)(Args...), Describe> {
    static inline Result (*original)(Args...) = nullptr;
    static Result Call(Args... args) {
        Scope scope(name.text);
        if constexpr (!std::is_same_v<decltype(Describe), std::nullptr_t>) {
            scope.SetDetail(Describe(args...));
        }
        return original(args...);
    }
    static Hook Entry() {
        return {name.text, std::bit_cast<ULONG_PTR>(&Call),
                [](ULONG_PTR address) { original = std::bit_cast<Result (*)(Args...)>(address); }};
    }
};

std::uint64_t MessageOf(HWND, UINT message, WPARAM, LPARAM) {
    return message;
}
std::uint64_t MessageIn(const MSG* message) {
    return message->message;
}
std::uint64_t DialogMessageIn(HWND, LPMSG message) {
    return message->message;
}
std::uint64_t IsChild(HWND window, HWND, int, int, int, int, UINT) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0 ? 1 : 0;
}
std::uint64_t IsDeferredChild(HDWP, HWND window, HWND, int, int, int, int, UINT) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0 ? 1 : 0;
}
// 1 for the tooltips.
std::uint64_t WindowClassOf(DWORD, LPCWSTR className, LPCWSTR, DWORD, int, int, int, int, HWND,
                            HMENU, HINSTANCE, LPVOID) {
    const bool named = (std::bit_cast<ULONG_PTR>(className) >> 16) != 0;
    return named && ::lstrcmpiW(className, TOOLTIPS_CLASSW) == 0 ? 1 : 0;
}

// Asking for the next message: the record so far is written first. The detail is the message
// that comes.
struct NextMessage {
    static inline decltype(&::GetMessageW) original = nullptr;
    static BOOL WINAPI Call(LPMSG message, HWND window, UINT first, UINT last) {
        Record& record = TheRecord();
        if (record.ready == 0 && record.depth == 0 && ::GetCurrentThreadId() == record.thread)
            record.ready = Now();
        Report();
        Scope scope("GetMessageW");
        const BOOL got = original(message, window, first, last);
        scope.SetDetail(message->message);
        return got;
    }
    static Hook Entry() {
        return {"GetMessageW", std::bit_cast<ULONG_PTR>(&Call),
                [](ULONG_PTR address) { original = std::bit_cast<decltype(original)>(address); }};
    }
};

// What the program and the yardsticks import. The calls the program finds with GetProcAddress
// (newer Windows only) are in the same list.
const std::array<Hook, 47>& Hooks() {
    static const std::array<Hook, 47> hooks{
        NextMessage::Entry(),
        Timed<"PeekMessageW", decltype(&::PeekMessageW)>::Entry(),
        Timed<"IsDialogMessageW", decltype(&::IsDialogMessageW), &DialogMessageIn>::Entry(),
        Timed<"DispatchMessageW", decltype(&::DispatchMessageW), &MessageIn>::Entry(),
        Timed<"TranslateMessage", decltype(&::TranslateMessage)>::Entry(),
        Timed<"SendMessageW", decltype(&::SendMessageW), &MessageOf>::Entry(),
        Timed<"PostMessageW", decltype(&::PostMessageW), &MessageOf>::Entry(),
        Timed<"CreateDialogIndirectParamW", decltype(&::CreateDialogIndirectParamW)>::Entry(),
        Timed<"CreateWindowExW", decltype(&::CreateWindowExW), &WindowClassOf>::Entry(),
        Timed<"CheckDlgButton", decltype(&::CheckDlgButton)>::Entry(),
        Timed<"GetDlgItem", decltype(&::GetDlgItem)>::Entry(),
        Timed<"EnumChildWindows", decltype(&::EnumChildWindows)>::Entry(),
        Timed<"SetWindowPos", decltype(&::SetWindowPos), &IsChild>::Entry(),
        Timed<"BeginDeferWindowPos", decltype(&::BeginDeferWindowPos)>::Entry(),
        Timed<"DeferWindowPos", decltype(&::DeferWindowPos), &IsDeferredChild>::Entry(),
        Timed<"EndDeferWindowPos", decltype(&::EndDeferWindowPos)>::Entry(),
        Timed<"GetWindowRect", decltype(&::GetWindowRect)>::Entry(),
        Timed<"GetClientRect", decltype(&::GetClientRect)>::Entry(),
        Timed<"AdjustWindowRectEx", decltype(&::AdjustWindowRectEx)>::Entry(),
        Timed<"AdjustWindowRectExForDpi", BOOL (*)(LPRECT, DWORD, BOOL, DWORD, UINT)>::Entry(),
        Timed<"GetCursorPos", decltype(&::GetCursorPos)>::Entry(),
        Timed<"MonitorFromPoint", decltype(&::MonitorFromPoint)>::Entry(),
        Timed<"MonitorFromWindow", decltype(&::MonitorFromWindow)>::Entry(),
        Timed<"GetMonitorInfoW", decltype(&::GetMonitorInfoW)>::Entry(),
        Timed<"SystemParametersInfoW", decltype(&::SystemParametersInfoW)>::Entry(),
        Timed<"GetDpiForWindow", UINT (*)(HWND)>::Entry(),
        Timed<"GetSystemMetrics", decltype(&::GetSystemMetrics)>::Entry(),
        Timed<"GetSystemMetricsForDpi", int (*)(int, UINT)>::Entry(),
        Timed<"GetDC", decltype(&::GetDC)>::Entry(),
        Timed<"LoadImageW", decltype(&::LoadImageW)>::Entry(),
        Timed<"ShowWindow", decltype(&::ShowWindow)>::Entry(),
        Timed<"SetForegroundWindow", decltype(&::SetForegroundWindow)>::Entry(),
        Timed<"SetFocus", decltype(&::SetFocus)>::Entry(),
        Timed<"GetAncestor", decltype(&::GetAncestor)>::Entry(),
        Timed<"InitCommonControlsEx", decltype(&::InitCommonControlsEx)>::Entry(),
        Timed<"CreateMutexW", decltype(&::CreateMutexW)>::Entry(),
        Timed<"SetErrorMode", decltype(&::SetErrorMode)>::Entry(),
        Timed<"RegOpenKeyExA", decltype(&::RegOpenKeyExA)>::Entry(),
        Timed<"RegCreateKeyExA", decltype(&::RegCreateKeyExA)>::Entry(),
        Timed<"RegQueryValueExA", decltype(&::RegQueryValueExA)>::Entry(),
        Timed<"RegSetValueExA", decltype(&::RegSetValueExA)>::Entry(),
        Timed<"RegCloseKey", decltype(&::RegCloseKey)>::Entry(),
        Timed<"RegisterClassExW", decltype(&::RegisterClassExW)>::Entry(),
        Timed<"CreateFontIndirectW", decltype(&::CreateFontIndirectW)>::Entry(),
        Timed<"LoadCursorW", decltype(&::LoadCursorW)>::Entry(),
        Timed<"GetSysColorBrush", decltype(&::GetSysColorBrush)>::Entry(),
        Timed<"GetProcAddress", decltype(&::GetProcAddress)>::Entry(),
    };
    return hooks;
}

const Hook* HookOf(std::string_view name) {
    const auto& hooks = Hooks();
    const auto* found = std::ranges::find(hooks, name, &Hook::name);
    return found == hooks.end() ? nullptr : found;
}

// The calls found at run time are timed too: the wrapper is handed out instead.
struct RunTimeLookup {
    static inline decltype(&::GetProcAddress) original = nullptr;
    static FARPROC WINAPI Call(HMODULE module, LPCSTR name) {
        const FARPROC found = original(module, name);
        const bool named = (std::bit_cast<ULONG_PTR>(name) >> 16) != 0;
        const Hook* hook = found != nullptr && named ? HookOf(name) : nullptr;
        if (hook == nullptr || hook->name == "GetProcAddress") return found;
        hook->keep(std::bit_cast<ULONG_PTR>(found));
        return std::bit_cast<FARPROC>(hook->wrapper);
    }
};

void PointImportsAtTheWrappers() {
    import_slots::ForEachImport([](std::string_view name, ULONG_PTR address) {
        const Hook* hook = HookOf(name);
        if (hook == nullptr) return address;
        if (name == "GetProcAddress") {
            RunTimeLookup::original = std::bit_cast<decltype(RunTimeLookup::original)>(address);
            return std::bit_cast<ULONG_PTR>(&RunTimeLookup::Call);
        }
        hook->keep(address);
        return hook->wrapper;
    });
}

// Installed while the runtime starts, before the entry point.
struct Installation {
    Installation() noexcept {
        Record& record = TheRecord();
        record.thread = ::GetCurrentThreadId();
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        record.ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
        FILETIME created{}, unused{}, now{};
        ::GetProcessTimes(::GetCurrentProcess(), &created, &unused, &unused, &unused);
        ::GetSystemTimePreciseAsFileTime(&now);
        record.origin = Now();
        const auto ticks = [](const FILETIME& time) {
            return static_cast<double>(
                ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart);
        };
        record.originMs = (ticks(now) - ticks(created)) / 10000.0;  // 100-ns units
        PointImportsAtTheWrappers();
    }
};
const Installation installation;

}  // namespace
