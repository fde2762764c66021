#pragma once

#include <windows.h>

#include <span>

#include "platform/win32/Handles.h"
#include "ui/layout.h"

// The controls' font. The dialog's rectangles are fixed in twips and were drawn for the classic
// 8-point dialog font; a larger system message font would clip captions and the information
// text, so the font is made smaller, a pixel at a time, until every caption fits its control.
namespace win32 {

UniqueFont CreateFittingFont(const LOGFONTW& messageFont, UINT dpi,
                             std::span<const ui::ControlSpec, ui::kControlCount> controls);

// Whether the control's caption fits its rectangle at `dpi` with the font selected into `dc`.
bool CaptionFits(HDC dc, const ui::ControlSpec& control, UINT dpi);

}  // namespace win32
