// Linked into a test build of the program (hooked_program), beside its own wWinMain: what its
// start-up meets where the tests cannot run it, set up before wWinMain runs.
// - kernel32 without SetDefaultDllDirectories, as on Windows 7 without KB2533623;
// - a terminate handler in place that is not the program's, as another C++ runtime's default
//   (here the program's own stand-in for libstdc++'s would end the process just as wWinMain's
//   handler does), ending the process with kForeignHandlerExitCode;
// - with QM_TERMINATE_ONCE_SHOWN set, a std::terminate on another thread once the dialog shows.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string_view>

#include "platform/win32/tests/StartUpHooks.h"
#include "testing/ImportSlots.h"

namespace {

decltype(&::GetProcAddress) g_getProcAddress = nullptr;

FARPROC WINAPI WithoutDefaultDllDirectories(HMODULE module, LPCSTR name) {
    if (!IS_INTRESOURCE(name) && std::string_view(name) == "SetDefaultDllDirectories") {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return g_getProcAddress(module, name);
}

[[noreturn]] DWORD WINAPI TerminateOnceShown(LPVOID) {
    for (;; ::Sleep(20)) {
        DWORD process = 0;
        HWND dialog = ::FindWindowW(L"#32770", L"Quillmarrow 2004 Default Settings");
        if (dialog != nullptr && ::GetWindowThreadProcessId(dialog, &process) != 0 &&
            process == ::GetCurrentProcessId())
            std::terminate();
    }
}

const bool g_hooked = [] {
    g_getProcAddress =
        import_slots::RedirectImport("GetProcAddress", &WithoutDefaultDllDirectories);
    if (g_getProcAddress == nullptr) ::ExitProcess(hooked_program::kNotHookedExitCode);
    std::set_terminate([] { ::ExitProcess(hooked_program::kForeignHandlerExitCode); });
    if (std::getenv("QM_TERMINATE_ONCE_SHOWN") != nullptr)
        ::CloseHandle(::CreateThread(nullptr, 0, &TerminateOnceShown, nullptr, 0, nullptr));
    return true;
}();

}  // namespace
