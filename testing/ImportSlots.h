#pragma once

// The exe's own import slots: tests hold the code to Windows' documented rules where Wine is
// lenient, or read what a call asks that Wine does not show; the bench puts its code between the
// program and a Win32 call. Only the exe's calls go through them, not the system DLLs' own.
#include <windows.h>

#include <bit>
#include <string_view>

namespace import_slots {

// Points the exe's import of `name` at `standIn`: from then on the exe calls that instead. The
// function it pointed at before, or null when the exe does not import it by name.
template <typename Function>
Function RedirectImport(std::string_view name, Function standIn) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
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
            ::VirtualProtect(&slot->u1.Function, sizeof(ULONG_PTR), PAGE_READWRITE, &protection);
            slot->u1.Function = std::bit_cast<ULONG_PTR>(standIn);
            ::VirtualProtect(&slot->u1.Function, sizeof(ULONG_PTR), protection, &protection);
            return original;
        }
    }
    return nullptr;
}

}  // namespace import_slots
