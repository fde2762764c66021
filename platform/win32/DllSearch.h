#pragma once

#include <windows.h>

#include <bit>

// Where the DLLs come from that Windows' own DLLs load on the program's behalf by bare name
// (uxtheme, dwmapi, version and more, depending on the Windows build).
namespace win32 {

// Leaves System32 the only folder searched for a DLL named without a path: never the program's
// own folder, where a DLL of such a name left beside a downloaded program would be loaded into
// it. The first thing the program does, before anything loads a DLL.
inline void SearchOnlySystem32ForDlls() noexcept {
    // Windows 8 on, and Windows 7 with KB2533623: found by name, as Windows 7 may lack it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = std::bit_cast<SetDefaultDllDirectoriesFn>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Without it, at least not the current folder; the program's own stays first.
    ::SetDllDirectoryW(L"");
}

}  // namespace win32
