#pragma once

#include <windows.h>

// DPI-aware versions of the few metrics the dialog needs. The per-monitor entry points exist from
// Windows 10 1607 on; they are looked up at run time, and on older systems the answers fall back
// to the system DPI, so the program still starts there.
namespace win32 {

inline constexpr UINT kReferenceDpi = 96;

// The DPI of the monitor the window is on (the system DPI where windows have no DPI of their own).
UINT DpiOfWindow(HWND window);

// The outer size of a window whose client area is `client` pixels at `dpi`.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// A system metric (SM_CXICON, ...) at `dpi`.
int SystemMetricForDpi(int index, UINT dpi);

// The system's message-box font, sized for `dpi`.
LOGFONTW MessageFontForDpi(UINT dpi);

}  // namespace win32
