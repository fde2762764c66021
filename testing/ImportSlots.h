#pragma once

// The exe's own import slots, for the tests that hold the code to what Windows documents where
// Wine is lenient, or read what it asks of a call whose effect Wine does not show, and for the
// bench's copies that put something of theirs between the program and a Win32 call. Only the
// exe's calls go through them: the system's calls among its own DLLs do not.
#include <windows.h>

#include <bit>
#include <string_view>

namespace import_slots {

// Calls `visit(name, address)` for every import the exe names (not those by ordinal): the address
// it returns is what the exe calls from then on (the one it was given: no change).
template <typename Visit>
void ForEachImport(Visit visit) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (const auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         dll->Name != 0; ++dll) {
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const ULONG_PTR address =
                visit(std::string_view(reinterpret_cast<const char*>(byName->Name)),
                      static_cast<ULONG_PTR>(slots->u1.Function));
            if (address == slots->u1.Function) continue;
            DWORD protection = 0;
            ::VirtualProtect(&slots->u1.Function, sizeof(ULONG_PTR), PAGE_READWRITE, &protection);
            slots->u1.Function = address;
            ::VirtualProtect(&slots->u1.Function, sizeof(ULONG_PTR), protection, &protection);
        }
    }
}

// Points the exe's import of `name` at `standIn`; the function it pointed at before, or null when
// the exe does not import it.
template <typename Function>
Function RedirectImport(std::string_view name, Function standIn) {
    Function original = nullptr;
    ForEachImport([&](std::string_view imported, ULONG_PTR address) {
        if (imported != name) return address;
        original = std::bit_cast<Function>(address);
        return std::bit_cast<ULONG_PTR>(standIn);
    });
    return original;
}

}  // namespace import_slots
