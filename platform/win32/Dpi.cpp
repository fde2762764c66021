#include "platform/win32/Dpi.h"

#include <bit>

#include "platform/win32/Handles.h"

namespace win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// The per-monitor DPI functions of user32, or null where this Windows lacks them.
struct DpiFunctions {
    GetDpiForWindowFn getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = nullptr;
    SystemParametersInfoForDpiFn systemParametersInfoForDpi = nullptr;
};

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return module == nullptr ? nullptr : std::bit_cast<Fn>(::GetProcAddress(module, name));
}

const DpiFunctions& Functions() {
    static const DpiFunctions functions = [] {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        DpiFunctions found;
        found.getDpiForWindow = Lookup<GetDpiForWindowFn>(user32, "GetDpiForWindow");
        found.adjustWindowRectExForDpi =
            Lookup<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
        found.getSystemMetricsForDpi =
            Lookup<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
        found.systemParametersInfoForDpi =
            Lookup<SystemParametersInfoForDpiFn>(user32, "SystemParametersInfoForDpi");
        return found;
    }();
    return functions;
}

UINT SystemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() == nullptr ? 0 : ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : kReferenceDpi;
}

}  // namespace

UINT DpiOfWindow(HWND window) {
    if (const auto getDpi = Functions().getDpiForWindow) {
        const UINT dpi = getDpi(window);
        if (dpi != 0) return dpi;
    }
    return SystemDpi();
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
    RECT rect{0, 0, client.cx, client.cy};
    const auto adjustForDpi = Functions().adjustWindowRectExForDpi;
    if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
        rect = RECT{0, 0, client.cx, client.cy};
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int SystemMetricForDpi(int index, UINT dpi) {
    if (const auto getMetric = Functions().getSystemMetricsForDpi) return getMetric(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi),
                    static_cast<int>(SystemDpi()));
}

LOGFONTW MessageFontForDpi(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (const auto forDpi = Functions().systemParametersInfoForDpi) {
        if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
            return metrics.lfMessageFont;
        }
    }
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        // No metrics at all: the classic 8-point dialog font.
        LOGFONTW fallback{};
        fallback.lfHeight = -::MulDiv(8, static_cast<int>(dpi), 72);
        fallback.lfWeight = FW_NORMAL;
        fallback.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(fallback.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
        return fallback;
    }
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return font;
}

}  // namespace win32
