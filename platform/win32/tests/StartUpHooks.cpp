// Linked into a test build of the program (hooked_program): what its start-up meets where the
// tests cannot run it, set up before wWinMain runs.
// - kernel32 without SetDefaultDllDirectories, as on Windows 7 without KB2533623;
// - a terminate handler not the program's (exit code 0xBAD07E43), as another C++ runtime's default
//   (the program's own stand-in for libstdc++'s would end the process as wWinMain's handler does);
// - with QM_TERMINATE_AT_START set, a std::terminate where the toolkit starts Common Controls;
// - with QM_ESCAPE_AT_START set, no instance mutex and no message box: a failure, then one in the
//   failure routine itself, which escapes to wWinMain.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <exception>
#include <string_view>

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

const bool g_hooked = [] {
    g_getProcAddress =
        import_slots::RedirectImport("GetProcAddress", &WithoutDefaultDllDirectories);
    std::set_terminate([] { ::ExitProcess(0xBAD07E43); });
    if (std::getenv("QM_TERMINATE_AT_START") != nullptr)  // once wWinMain makes the toolkit
        import_slots::RedirectImport(
            "InitCommonControlsEx", +[](const INITCOMMONCONTROLSEX*) -> BOOL { std::terminate(); });
    if (std::getenv("QM_ESCAPE_AT_START") != nullptr) {
        import_slots::RedirectImport(
            "CreateMutexW",
            +[](LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) -> HANDLE { return nullptr; });
        import_slots::RedirectImport(
            "MessageBoxW", +[](HWND, LPCWSTR, LPCWSTR, UINT) { return 0; });
    }
    return true;
}();

}  // namespace
