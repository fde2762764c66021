// The bench's hands inside Wine (tools/bench/run), one for the whole bench so that the session
// stays warm. Each command on its standard input gets one line back, or "error: ...":
//   start STATE PROGRAM  stores the settings as STATE (true, false, missing: no key), puts the
//                        pointer in the corner, starts PROGRAM: "shown" once it shows a window
//   hover                puts the pointer on the dialog where no control is: "hovered N", N the
//                        tooltip windows made before
//   end                  "ended LAYOUT CHECKS TOOLS": where the dialog and its controls are, the
//                        option buttons' check marks, the tooltips' tools; then ends the program
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win32/Handles.h"

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Vendrakel\\Quillmarrow 2004";

bool StoreSettings(const std::string& state) {
    if (state == "missing") {
        const LSTATUS deleted = ::RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
        return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
    }
    HKEY key = nullptr;
    const std::wstring text = state == "true" ? L"True" : L"False";
    bool stored = state == "true" || state == "false";
    if (!stored || ::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    for (const wchar_t* name : {L"AllFolders", L"TwoPane", L"SideMenu"}) {
        stored = stored &&
                 ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * 2)) == 0;
    }
    ::RegCloseKey(key);
    return stored;
}

// A process's first visible top-level window, and its tooltip windows.
struct Windows {
    DWORD processId;
    HWND visible = nullptr;
    HWND tooltips = nullptr;
    int tooltipCount = 0;
};

BOOL CALLBACK AddWindow(HWND window, LPARAM param) {
    auto& found = *reinterpret_cast<Windows*>(param);
    DWORD owner = 0;
    wchar_t name[32]{};
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != found.processId) return TRUE;
    if (::GetClassNameW(window, name, 32) > 0 && ::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) {
        found.tooltips = window;
        ++found.tooltipCount;
    } else if (found.visible == nullptr && ::IsWindowVisible(window)) {
        found.visible = window;
    }
    return TRUE;
}

Windows WindowsOf(DWORD processId) {
    Windows found{processId};
    ::EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct Started {
    win32::UniqueHandle process;
    DWORD id = 0;
    HWND dialog = nullptr;
};

std::string Start(Started& started, const std::string& state, const std::string& program) {
    if (!StoreSettings(state)) return "error: cannot store the settings as " + state;
    // Wine moves the pointer only to where it does not think it is already, and at first it takes
    // it for being in the corner, wherever the display put it.
    ::SetCursorPos(1, 1);
    ::SetCursorPos(0, 0);
    std::wstring path(program.size(), L'\0');
    path.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, program.data(), static_cast<int>(program.size()),
                              path.data(), static_cast<int>(path.size()))));
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info))
        return "error: could not start the program, error " + std::to_string(::GetLastError());
    ::CloseHandle(info.hThread);
    started = {win32::UniqueHandle(info.hProcess), info.dwProcessId, nullptr};
    const ULONGLONG until = ::GetTickCount64() + 30000;
    while ((started.dialog = WindowsOf(info.dwProcessId).visible) == nullptr) {
        if (::GetTickCount64() > until || ::WaitForSingleObject(info.hProcess, 10) == 0) {
            ::TerminateProcess(info.hProcess, 1);
            return "error: no visible window";
        }
    }
    return "shown";
}

std::string Hover(const Started& started) {
    // The client area's top left corner, which no control covers: an option button there would
    // track the pointer (Wine polls it) for as long as it rests.
    const int before = WindowsOf(started.id).tooltipCount;
    POINT point{2, 2};
    if (::ChildWindowFromPointEx(started.dialog, point, CWP_SKIPINVISIBLE) != started.dialog ||
        !::ClientToScreen(started.dialog, &point) || !::SetCursorPos(point.x, point.y))
        return "error: cannot put the pointer on the dialog";
    return "hovered " + std::to_string(before);
}

// FNV-1a over where the dialog and its controls are, and a 1 or 0 per option button.
BOOL CALLBACK Describe(HWND window, LPARAM param) {
    auto& [layout, checks] = *reinterpret_cast<std::pair<std::uint32_t, std::string>*>(param);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    for (const LONG value : {rect.left, rect.top, rect.right, rect.bottom})
        layout = (layout ^ static_cast<std::uint32_t>(value)) * 16777619U;
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    wchar_t name[16]{};
    DWORD_PTR state = 0;
    if (::GetClassNameW(window, name, 16) > 0 && ::lstrcmpiW(name, L"Button") == 0 &&
        (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)) {
        ::SendMessageTimeoutW(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 1000, &state);
        checks += state == BST_CHECKED ? '1' : '0';
    }
    return TRUE;
}

std::string End(Started& started) {
    std::pair<std::uint32_t, std::string> described{2166136261U, ""};
    Describe(started.dialog, reinterpret_cast<LPARAM>(&described));
    ::EnumChildWindows(started.dialog, Describe, reinterpret_cast<LPARAM>(&described));
    DWORD_PTR tools = 0;
    if (HWND tooltips = WindowsOf(started.id).tooltips)
        ::SendMessageTimeoutW(tooltips, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &tools);
    // Ended at once: its exit is not what is measured, and Wine takes seconds over a clean one.
    ::TerminateProcess(started.process.get(), 0);
    ::WaitForSingleObject(started.process.get(), 10000);
    started = {};
    return "ended " + std::to_string(described.first) + " " +
           (described.second.empty() ? "-" : described.second) + " " + std::to_string(tools);
}

}  // namespace

int main() {
    // The desktop first: without it this process has no display driver and moves no pointer.
    ::GetDesktopWindow();
    Started started;
    char line[1024];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        std::string command(line);
        command.erase(command.find_last_not_of("\r\n") + 1);
        const std::size_t state = command.find(' ') + 1;
        const std::size_t program = command.find(' ', state) + 1;
        std::string answer = "error: unknown command, or no program started";
        if (command.starts_with("start ") && program > state) {
            answer =
                Start(started, command.substr(state, program - state - 1), command.substr(program));
        } else if (command == "hover" && started.dialog != nullptr) {
            answer = Hover(started);
        } else if (command == "end" && started.dialog != nullptr) {
            answer = End(started);
        }
        std::printf("%s\n", answer.c_str());
        std::fflush(stdout);
    }
    return 0;
}
