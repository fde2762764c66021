#include "platform/win32/FormWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/win32/Boundary.h"
#include "platform/win32/ControlStyles.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Failure.h"
#include "platform/win32/FittingFont.h"
#include "platform/win32/Resources.h"
#include "platform/win32/WideText.h"

namespace win32 {
namespace {

constexpr int kWindowSlot = 0;  // window extra bytes: the FormWindow

std::size_t Index(ui::ControlId id) {
    return static_cast<std::size_t>(id);
}

const ui::ControlSpec& SpecOf(const ui::Form& form, ui::ControlId id) {
    return ui::ControlSpecOf(id, form.Controls());
}

// The upper button of an option button's pair: the one that comes first in the tab order.
bool IsFirstOfPair(const ui::Form& form, const ui::ControlSpec& option) {
    const ui::ControlId partner = ui::PartnerOf(option.id);
    return partner == ui::ControlId::None || option.tabIndex < SpecOf(form, partner).tabIndex;
}

void SetStyleBit(HWND control, DWORD bit, bool on) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    const DWORD wanted = on ? (style | bit) : (style & ~bit);
    if (wanted != style) ::SetWindowLongPtrW(control, GWL_STYLE, static_cast<LONG_PTR>(wanted));
}

// The work area of the monitor under the mouse pointer (the primary one if that fails).
RECT WorkArea() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &info)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return info.rcWork;
}

ui::Form* FormOf(HWND window) {
    return reinterpret_cast<ui::Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Events that may unload the form (and so destroy this window) are delivered from here, with
// the form held alive, and nothing of the window is touched after them.
void Click(HWND window, ui::ControlId button) {
    if (ui::Form* form = FormOf(window)) {
        const std::shared_ptr<ui::Form> hold = form->shared_from_this();
        form->OnClick(button);
    }
}

void Close(HWND window) {
    if (ui::Form* form = FormOf(window)) {
        const std::shared_ptr<ui::Form> hold = form->shared_from_this();
        ui::Unload(*form);  // closing the window runs no handler and stores nothing
    }
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, HINSTANCE instance) : form_(form), instance_(instance) {
    // Created on the monitor it will be shown on, so that it starts with that monitor's DPI.
    const RECT work = WorkArea();
    const std::wstring caption = Wide(form.Window().caption);
    window_.reset(::CreateWindowExW(kFormWindowExStyle, kFormWindowClass, caption.c_str(),
                                    kFormWindowStyle, work.left, work.top, 0, 0, nullptr, nullptr,
                                    instance, nullptr));
    if (!window_) ThrowLastError("CreateWindowExW");
    ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
    ::SetWindowLongPtrW(Handle(), kWindowSlot, reinterpret_cast<LONG_PTR>(this));
    try {
        dpi_ = DpiOfWindow(Handle());
        // The font first, so that every control is created once, in its place, with its font.
        font_ = CreateFittingFont(MessageFontForDpi(dpi_), dpi_, form_.Controls());
        CreateControls(instance);
        ResizeForDpi();
        LoadIcons();
    } catch (...) {
        // No destructor runs for a half-made object: detach it before the members go.
        ::SetWindowLongPtrW(Handle(), kWindowSlot, 0);
        throw;
    }
}

FormWindow::~FormWindow() {
    // The window's last messages go to the default procedure: this object is going away.
    if (window_) ::SetWindowLongPtrW(Handle(), kWindowSlot, 0);
    tooltips_.reset();
    window_.reset();
}

HWND FormWindow::Control(ui::ControlId id) const {
    if (id == ui::ControlId::None || Index(id) >= controls_.size() ||
        controls_[Index(id)] == nullptr) {
        throw Failure("no such control on the window");
    }
    return controls_[Index(id)];
}

void FormWindow::CreateControls(HINSTANCE instance) {
    for (const ui::ControlSpec& entry : ui::InTabOrder(form_.Controls())) {
        const bool option = entry.kind == ui::ControlKind::OptionButton;
        const ControlClass kind = ClassOf(entry.kind, option && IsFirstOfPair(form_, entry));
        const std::wstring caption = Wide(entry.caption);
        const RECT place = PixelRect(entry);
        HWND control = ::CreateWindowExW(
            0, kind.className, caption.c_str(), kind.style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ChildId(entry.id))), instance, nullptr);
        if (control == nullptr) ThrowLastError("CreateWindowExW (control)");
        controls_[Index(entry.id)] = control;
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (option) {
            // The selection the form holds while unloaded: the layout's, or what was set since.
            const bool checked = static_cast<bool>(form_.Value(entry.id));
            ::SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    for (const ui::ControlSpec& entry : form_.Controls()) {
        if (entry.kind == ui::ControlKind::OptionButton) UpdateTabStops(entry.id);
    }
}

void FormWindow::CreateTooltips(HINSTANCE instance) {
    if (tooltipsTried_) return;
    tooltipsTried_ = true;
    tooltips_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                                      nullptr, instance, nullptr));
    // Tooltips are a help, not a function of the dialog: it works without them.
    if (!tooltips_) return;
    for (const ui::ControlSpec& entry : form_.Controls()) {
        if (entry.kind != ui::ControlKind::CommandButton || entry.tooltip.empty()) continue;
        std::wstring text = Wide(entry.tooltip);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(entry.id));
        tool.lpszText = text.data();  // copied by the tooltip control
        ::SendMessageW(tooltips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

SIZE FormWindow::WindowSize(UINT dpi) const {
    const ui::WindowSpec& entry = form_.Window();
    const int dpiValue = static_cast<int>(dpi);
    const SIZE client{ui::TwipsToPixels(entry.clientWidth, dpiValue),
                      ui::TwipsToPixels(entry.clientHeight, dpiValue)};
    return WindowSizeForClient(client, kFormWindowStyle, kFormWindowExStyle, dpi);
}

void FormWindow::ResizeForDpi() {
    const SIZE size = WindowSize(dpi_);
    ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::FitToDpi() {
    ResizeForDpi();
    ApplyFont();
    LayOutControls();
    LoadIcons();
}

void FormWindow::ApplyFont() {
    UniqueFont font = CreateFittingFont(MessageFontForDpi(dpi_), dpi_, form_.Controls());
    for (HWND control : controls_) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
    font_ = std::move(font);  // the old font is deleted only now that no control uses it
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

RECT FormWindow::PixelRect(const ui::ControlSpec& entry) const {
    const int dpi = static_cast<int>(dpi_);
    const ui::TwipsRect rect = ui::ClientTwips(entry, form_.Controls());
    const int left = ui::TwipsToPixels(rect.left, dpi);
    const int top = ui::TwipsToPixels(rect.top, dpi);
    return {left, top, left + ui::TwipsToPixels(rect.width, dpi),
            top + ui::TwipsToPixels(rect.height, dpi)};
}

void FormWindow::LayOutControls() {
    for (const ui::ControlSpec& entry : form_.Controls()) {
        const RECT place = PixelRect(entry);
        ::SetWindowPos(Control(entry.id), nullptr, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FormWindow::LoadIcons() {
    UniqueIcon large = LoadAppIcon(instance_, SystemMetricForDpi(SM_CXICON, dpi_));
    UniqueIcon small = LoadAppIcon(instance_, SystemMetricForDpi(SM_CXSMICON, dpi_));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    largeIcon_ = std::move(large);
    smallIcon_ = std::move(small);
}

void FormWindow::Display() {
    RECT frame{};
    ::GetWindowRect(Handle(), &frame);
    const RECT work = WorkArea();
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    // Centred; if the work area is smaller than the window, its title bar stays reachable.
    const LONG left = std::max(work.left, work.left + (work.right - work.left - width) / 2);
    const LONG top = std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    lastFocus_ = FirstTabStop();
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::SetFocus(lastFocus_);
}

HWND FormWindow::FirstTabStop() const {
    for (const ui::ControlSpec& entry : ui::InTabOrder(form_.Controls())) {
        HWND control = Control(entry.id);
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
        if ((style & WS_TABSTOP) != 0 && ::IsWindowEnabled(control)) return control;
    }
    return nullptr;
}

bool FormWindow::IsChecked(ui::ControlId option) const {
    return ::SendMessageW(Control(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormWindow::SetChecked(ui::ControlId option, bool checked) {
    ::SendMessageW(Control(option), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    UpdateTabStops(option);
}

void FormWindow::UpdateTabStops(ui::ControlId option) {
    const ui::ControlId partner = ui::PartnerOf(option);
    if (partner == ui::ControlId::None) return;
    const bool optionFirst = IsFirstOfPair(form_, SpecOf(form_, option));
    const ui::ControlId upper = optionFirst ? option : partner;
    const ui::ControlId lower = optionFirst ? partner : option;
    const bool lowerTakesTab = IsChecked(lower) && !IsChecked(upper);
    SetStyleBit(Control(upper), WS_TABSTOP, !lowerTakesTab);
    SetStyleBit(Control(lower), WS_TABSTOP, lowerTakesTab);
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, kWindowSlot));
        if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);

        switch (message) {
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                // Enter and Esc arrive as IDOK and IDCANCEL: the dialog has no default or cancel
                // button, so they press nothing.
                if (id == IDOK || id == IDCANCEL || HIWORD(wParam) != BN_CLICKED || lParam == 0) {
                    return 0;
                }
                const ui::ControlId control = ControlOfChildId(id);
                if (control == ui::ControlId::None) return 0;
                if (SpecOf(self->form_, control).kind == ui::ControlKind::CommandButton) {
                    Click(window, control);  // may destroy `self`
                } else if (SpecOf(self->form_, control).kind == ui::ControlKind::OptionButton) {
                    self->UpdateTabStops(control);
                }
                return 0;
            }
            case WM_CLOSE:
                Close(window);  // may destroy `self`
                return 0;
            default:
                return self->HandleMessage(message, wParam, lParam);
        }
    } catch (...) {
        EndAfterEscapedFailure();
    }
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            // Like a dialog: leaving keeps the focused control, coming back restores it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus != nullptr && ::IsChild(Handle(), focus)) lastFocus_ = focus;
            } else {
                if (lastFocus_ == nullptr || !::IsWindow(lastFocus_)) lastFocus_ = FirstTabStop();
                ::SetFocus(lastFocus_);
            }
            return 0;
        case WM_GETDPISCALEDSIZE: {
            // The exact size for the new DPI, so the rectangle WM_DPICHANGED suggests fits.
            *reinterpret_cast<SIZE*>(lParam) = WindowSize(static_cast<UINT>(wParam));
            return TRUE;
        }
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            FitToDpi();
            return 0;
        }
        case WM_SETCURSOR:
            // The tooltips are made when the pointer first comes over the window: a tooltip is a
            // window of its own, and making it at start-up would delay the dialog for a help that
            // nobody can ask for before pointing at a button.
            CreateTooltips(instance_);
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETNONCLIENTMETRICS) ApplyFont();
            break;
        default:
            break;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

}  // namespace win32
