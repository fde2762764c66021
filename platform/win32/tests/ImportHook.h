#pragma once
// Points this program's own import of a Win32 function at a stand-in: to hold the code to what
// Windows documents where Wine is more lenient, or to see what it asks of a call whose effect Wine
// cannot show. The code under test calls Win32 through the program's import table, so every call
// it makes after this goes to the stand-in.
#include <windows.h>

#include <bit>
#include <string_view>

namespace test_hook {

// The function the import pointed at before; null when the program does not import `name`.
template <typename Function>
Function RedirectImport(std::string_view name, Function standIn) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (const auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (name != reinterpret_cast<const char*>(byName->Name)) continue;
            const auto original = std::bit_cast<Function>(slot->u1.Function);
            DWORD protection = 0;
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE,
                             &protection);
            slot->u1.Function = std::bit_cast<decltype(slot->u1.Function)>(standIn);
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection,
                             &protection);
            return original;
        }
    }
    return nullptr;
}

}  // namespace test_hook
