#pragma once
// The program itself, started by the tests from a folder of its own, where they plant DLLs beside
// it: its windows, what a function of kernel32 answers when called inside it, its modules.
#include <windows.h>
#include <tlhelp32.h>

#include <bit>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/tests/DialogFixture.h"

namespace dialog_test {

// A folder of its own in the temporary folder, with a copy of the program file QM_PROGRAM (or
// another built program file) in it; gone, with what was planted in it, when this goes.
class ProgramFolder {
  public:
    explicit ProgramFolder(const char* programVariable) {
        wchar_t temp[MAX_PATH]{};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = temp + std::wstring(L"qm-program-") + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        program_ = Plant(BuiltFile(programVariable), L"QuillmarrowDefaults.exe");
    }
    ~ProgramFolder() {
        for (const std::wstring& file : files_) ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // Copies `from` into the folder as `name`; its path, or empty when it could not.
    std::wstring Plant(const std::wstring& from, const std::wstring& name) {
        const std::wstring to = folder_ + L'\\' + name;
        if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) return {};
        files_.push_back(to);
        return to;
    }
    const std::wstring& Program() const { return program_; }

  private:
    std::wstring folder_, program_;
    std::vector<std::wstring> files_;
};

// The program started with Windows' default error mode (not this process's), ended when this
// goes if it has not ended by itself.
class RunningProgram {
  public:
    explicit RunningProgram(std::wstring path) {
        std::wstring command = L"\"" + path + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE,
                             CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &started)) {
            process_.reset(started.hProcess);
            ::CloseHandle(started.hThread);
            id_ = started.dwProcessId;
        }
    }
    ~RunningProgram() {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.get(), 1);
            ::WaitForSingleObject(process_.get(), 5000);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Its visible top-level windows, in Z order.
    std::vector<HWND> Windows() const {
        std::pair<DWORD, std::vector<HWND>> found{id_, {}};
        ::EnumWindows(
            [](HWND window, LPARAM into) -> BOOL {
                auto& [id, windows] = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(into);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                if (owner == id && ::IsWindowVisible(window)) windows.push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found.second;
    }
    // Its first visible top-level window once it shows, within 20 s; null when none does.
    HWND WaitForWindow() const {
        for (int waited = 0; waited < 20000 && process_; waited += 50) {
            if (const std::vector<HWND> windows = Windows(); !windows.empty()) return windows[0];
            if (::WaitForSingleObject(process_.get(), 50) != WAIT_TIMEOUT) break;
        }
        return nullptr;
    }
    // Calls kernel32's `function` on a thread of the program, with `text` written into it as the
    // argument (or none); the thread's exit code: the function's result, cut to 32 bits. Kernel32
    // is where it is in this process.
    DWORD Call(const char* function, const std::wstring& text = {}) const {
        const auto start = std::bit_cast<LPTHREAD_START_ROUTINE>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), function));
        const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
        void* argument = text.empty() ? nullptr
                                      : ::VirtualAllocEx(process_.get(), nullptr, bytes,
                                                         MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (argument != nullptr)
            ::WriteProcessMemory(process_.get(), argument, text.c_str(), bytes, nullptr);
        const win32::UniqueHandle thread(
            ::CreateRemoteThread(process_.get(), nullptr, 0, start, argument, 0, nullptr));
        DWORD result = STILL_ACTIVE;
        if (thread && ::WaitForSingleObject(thread.get(), 10000) == WAIT_OBJECT_0)
            ::GetExitCodeThread(thread.get(), &result);
        if (argument != nullptr) ::VirtualFreeEx(process_.get(), argument, 0, MEM_RELEASE);
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
    // Its exit code once it has ended, within `milliseconds`; STILL_ACTIVE while it runs.
    DWORD ExitCode(DWORD milliseconds) const {
        DWORD code = STILL_ACTIVE;
        if (process_) ::WaitForSingleObject(process_.get(), milliseconds);
        if (process_) ::GetExitCodeProcess(process_.get(), &code);
        return code;
    }

  private:
    win32::UniqueHandle process_;
    DWORD id_ = 0;
};

}  // namespace dialog_test
