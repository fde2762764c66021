// Leaves a mark, the file QM_DETACH_MARK names, when its process ends in order: ExitProcess (and a
// return from the entry point) detaches every DLL, where a fail-fast or TerminateProcess tears the
// process down without. The tests of how the program ends load it into their child process.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    wchar_t mark[MAX_PATH]{};
    if (reason == DLL_PROCESS_DETACH &&
        ::GetEnvironmentVariableW(L"QM_DETACH_MARK", mark, MAX_PATH) > 0) {
        ::CloseHandle(::CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
