#pragma once

#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/resources/resource.h"

namespace win32 {

// A resource name given by number (what MAKEINTRESOURCEW does, without its C cast).
inline const wchar_t* ResourceName(int id) {
    return reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(id));
}

// The program's icon at the given size in pixels, picked from the images of the icon resource.
inline UniqueIcon LoadAppIcon(HINSTANCE instance, int size) {
    return UniqueIcon(static_cast<HICON>(::LoadImageW(instance, ResourceName(IDI_QUILLMARROW),
                                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace win32
