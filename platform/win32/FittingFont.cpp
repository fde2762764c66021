#include "platform/win32/FittingFont.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/win32/Dpi.h"
#include "platform/win32/Failure.h"
#include "platform/win32/WideText.h"

namespace win32 {
namespace {

int Scaled(int referencePixels, UINT dpi) {
    return ::MulDiv(referencePixels, static_cast<int>(dpi), static_cast<int>(kReferenceDpi));
}

}  // namespace

bool CaptionFits(HDC dc, const ui::ControlSpec& control, UINT dpi) {
    const int width = ui::TwipsToPixels(control.rect.width, static_cast<int>(dpi));
    const int height = ui::TwipsToPixels(control.rect.height, static_cast<int>(dpi));
    std::wstring text = Wide(control.caption);
    const int length = static_cast<int>(text.size());

    TEXTMETRICW metrics{};
    SIZE extent{};
    if (!::GetTextMetricsW(dc, &metrics) ||
        !::GetTextExtentPoint32W(dc, text.c_str(), length, &extent)) {
        return false;
    }
    switch (control.kind) {
        case ui::ControlKind::CommandButton:
            return extent.cx + 2 * Scaled(6, dpi) <= width &&
                   metrics.tmHeight + Scaled(4, dpi) <= height;
        case ui::ControlKind::Frame:
            return extent.cx + Scaled(16, dpi) <= width;
        case ui::ControlKind::OptionButton: {
            const int mark = SystemMetricForDpi(SM_CXMENUCHECK, dpi) + Scaled(6, dpi);
            return mark + extent.cx <= width && metrics.tmHeight <= height;
        }
        case ui::ControlKind::Label: {
            RECT needed{0, 0, width, 0};
            ::DrawTextW(dc, text.data(), length, &needed,
                        DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
            return needed.bottom <= height && needed.right <= width;
        }
    }
    return true;
}

UniqueFont CreateFittingFont(const LOGFONTW& messageFont, UINT dpi,
                             std::span<const ui::ControlSpec, ui::kControlCount> controls) {
    const WindowDc screen(nullptr);
    // A height of 0 asks for the font's default size: take the classic 8 points instead.
    const int requested =
        messageFont.lfHeight != 0 ? messageFont.lfHeight : -::MulDiv(8, static_cast<int>(dpi), 72);
    const int sign = requested < 0 ? -1 : 1;
    const int largest = std::max(1, std::abs(requested));
    const int smallest = std::max(1, largest * 3 / 4);

    UniqueFont font;
    for (int height = largest; height >= smallest; --height) {
        LOGFONTW candidate = messageFont;
        candidate.lfHeight = sign * height;
        font.reset(::CreateFontIndirectW(&candidate));
        if (!font) ThrowLastError("CreateFontIndirectW");
        if (screen.get() == nullptr) break;
        const SelectedObject selected(screen.get(), font.get());
        if (std::all_of(controls.begin(), controls.end(), [&](const ui::ControlSpec& control) {
                return CaptionFits(screen.get(), control, dpi);
            })) {
            break;
        }
    }
    return font;
}

}  // namespace win32
