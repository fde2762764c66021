#pragma once

#include <windows.h>

#include <algorithm>
#include <bit>
#include <string_view>

// Where the DLLs come from that Windows' own DLLs load on the program's behalf by bare name
// (uxtheme, dwmapi, version and more, depending on the Windows build).
namespace win32 {

// The DLLs that Windows' own code loads by bare name, after the program has started, for a dialog
// like this one, none of them a Known DLL on Windows 7 (docs/dialog.md says who loads each).
// Dependencies before the DLLs that load them.
inline constexpr std::wstring_view kLoadedByBareName[] = {
    L"cryptbase.dll", L"dwmapi.dll", L"uxtheme.dll", L"version.dll", L"msimg32.dll", L"oleacc.dll",
};

// Leaves System32 the only folder searched for a DLL named without a path: never the program's
// own folder, where a DLL of such a name left beside a downloaded program would be loaded into
// it. The first thing the program does, before anything loads a DLL.
inline void SearchOnlySystem32ForDlls() noexcept {
    // Windows 8 on, and Windows 7 with KB2533623: found by name, as Windows 7 may lack it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = std::bit_cast<SetDefaultDllDirectoriesFn>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Without it the program's own folder stays first for every bare name. A bare-name load finds
    // a DLL of that name already loaded, wherever from: so those Windows will load are loaded
    // from System32 first, by full path (their own imports from there too). Deliberately never
    // freed: Windows' own DLLs rely on them from then on, until the process ends.
    wchar_t path[MAX_PATH]{};
    const std::size_t folder = ::GetSystemDirectoryW(path, MAX_PATH);
    for (const std::wstring_view name : kLoadedByBareName) {
        if (folder == 0 || folder + 1 + name.size() >= MAX_PATH) break;
        path[folder] = L'\\';
        *std::ranges::copy(name, path + folder + 1).out = L'\0';
        static_cast<void>(::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    // And at least not the current folder.
    ::SetDllDirectoryW(L"");
}

}  // namespace win32
