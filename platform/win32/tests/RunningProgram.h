#pragma once
// A built program copied into a folder of its own, DLLs planted beside it, started from there: its
// windows, kernel32 calls inside it, its modules. And this test program's children, each a role.
#include <windows.h>
#include <tlhelp32.h>

#include <bit>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/tests/DialogFixture.h"

namespace dialog_test {

// The folder, with the program file QM_PROGRAM (or another variable's) in it; gone, with what was
// planted in it, when this goes.
class ProgramFolder {
  public:
    explicit ProgramFolder(const char* programVariable) {
        wchar_t temp[MAX_PATH]{};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = temp + std::wstring(L"qm-program-") + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        Plant(programVariable, L"QuillmarrowDefaults.exe");
    }
    ~ProgramFolder() {
        for (const std::wstring& file : files_) ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // Copies the built file `variable` names into the folder as `name`; whether it could.
    bool Plant(const char* variable, const std::wstring& name) {
        files_.push_back(folder_ + L'\\' + name);
        return ::CopyFileW(BuiltFile(variable).c_str(), files_.back().c_str(), FALSE) != FALSE;
    }
    const std::wstring& Program() const { return files_.front(); }

  private:
    std::wstring folder_;
    std::vector<std::wstring> files_;
};

// A program started as a user starts it, with Windows' default error mode, or (given arguments)
// this test program's child, with its error mode and output; ended when this goes.
class RunningProgram {
  public:
    explicit RunningProgram(const std::wstring& path, const std::wstring& arguments = {}) {
        std::wstring command = L"\"" + path + L"\"" + arguments;
        const BOOL child = arguments.empty() ? FALSE : TRUE;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (!::CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, child,
                              child ? 0 : CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup,
                              &started))
            return;
        process_.reset(started.hProcess);
        ::CloseHandle(started.hThread);
        id_ = started.dwProcessId;
    }
    ~RunningProgram() {
        if (ExitCode(0) == STILL_ACTIVE && ::TerminateProcess(process_.get(), 1))
            ::WaitForSingleObject(process_.get(), 5000);  // its file free to delete
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Its visible top-level windows, in Z order.
    std::vector<HWND> Windows() const {
        std::vector<HWND> windows;
        for (HWND window = nullptr;
             (window = ::FindWindowExW(nullptr, window, nullptr, nullptr));) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == id_ && ::IsWindowVisible(window)) windows.push_back(window);
        }
        return windows;
    }
    // The first of them once one shows, within 20 s; null if none does.
    HWND WaitForWindow() const {
        for (int waited = 0; waited < 20000 && ExitCode(50) == STILL_ACTIVE; waited += 50)
            if (const std::vector<HWND> windows = Windows(); !windows.empty()) return windows[0];
        return nullptr;
    }
    // Runs kernel32's `function` on a new thread of the program (kernel32 is where it is here),
    // with `text` copied into the program as its argument, or none; its result, cut to 32 bits.
    DWORD Call(const char* function, const std::wstring& text = {}) const {
        const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
        void* argument = text.empty() ? nullptr
                                      : ::VirtualAllocEx(process_.get(), nullptr, bytes,
                                                         MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (argument != nullptr)
            ::WriteProcessMemory(process_.get(), argument, text.c_str(), bytes, nullptr);
        const win32::UniqueHandle thread(
            ::CreateRemoteThread(process_.get(), nullptr, 0,
                                 std::bit_cast<LPTHREAD_START_ROUTINE>(::GetProcAddress(
                                     ::GetModuleHandleW(L"kernel32.dll"), function)),
                                 argument, 0, nullptr));
        DWORD result = STILL_ACTIVE;
        if (thread && ::WaitForSingleObject(thread.get(), 10000) == WAIT_OBJECT_0)
            ::GetExitCodeThread(thread.get(), &result);
        return result;
    }
    // The full path of each module loaded in it.
    std::vector<std::wstring> Modules() const {
        std::vector<std::wstring> paths;
        const win32::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, id_));
        MODULEENTRY32W module{};
        module.dwSize = sizeof(module);
        for (BOOL more = ::Module32FirstW(snapshot.get(), &module); more;
             more = ::Module32NextW(snapshot.get(), &module))
            paths.emplace_back(module.szExePath);
        return paths;
    }
    // Its exit code once it has ended, waiting up to `milliseconds`; STILL_ACTIVE while it runs.
    DWORD ExitCode(DWORD milliseconds) const {
        DWORD code = STILL_ACTIVE;
        if (process_ && ::WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(process_.get(), &code);
        return code;
    }

  private:
    win32::UniqueHandle process_;
    DWORD id_ = 0;
};

// Whether this process is the child that RunChild started for `role`.
inline bool IsChild(const char* role) {
    const char* mine = std::getenv("QM_CHILD");
    return mine != nullptr && std::string(mine) == role;
}
// How a child ended: its exit code (STILL_ACTIVE when it still ran after 30 s), and whether in
// order (ExitProcess detaches every DLL; the detach probe marks it, a fail-fast does not).
struct Ending {
    DWORD exitCode;
    bool detached;
};
// What a child's test ends with when it ran and passed: a filter that matched nothing ends with 0.
inline constexpr UINT kChildPassed = 42;
[[noreturn]] inline void EndChild() {
    ::ExitProcess(::testing::Test::HasFailure() ? 1 : kChildPassed);
}
// Runs the tests matching `filter` in a new process of this program, in the role `role`.
inline Ending RunChild(const wchar_t* filter, const wchar_t* role) {
    wchar_t self[MAX_PATH]{}, folder[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring mark = folder + std::wstring(L"qm-detached-") + role;
    ::DeleteFileW(mark.c_str());
    ::SetEnvironmentVariableW(L"QM_CHILD", role);
    ::SetEnvironmentVariableW(L"QM_DETACH_MARK", mark.c_str());
    const RunningProgram child(self, L" --gtest_filter=" + std::wstring(filter));
    ::SetEnvironmentVariableW(L"QM_CHILD", nullptr);
    ::SetEnvironmentVariableW(L"QM_DETACH_MARK", nullptr);
    const DWORD exitCode = child.ExitCode(30000);
    return {exitCode, ::DeleteFileW(mark.c_str()) != FALSE};
}

}  // namespace dialog_test
