#include "platform/win32/FormDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <string>
#include <utility>

#include "common/Fault.h"
#include "platform/win32/Boundary.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/WideText.h"
#include "platform/win32/resources/resource.h"

namespace win32 {
namespace {

FormDialog* DialogObject(HWND dialog) {
    return reinterpret_cast<FormDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
}

// An export of user32 that older Windows versions lack; null there.
template <typename Function>
Function User32Export(const char* name) {
    return std::bit_cast<Function>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name));
}

// The DPI the dialog was laid out for by the dialog manager. GetDpiForWindow exists from
// Windows 10 1607 on; before 1703 the program is system aware (its manifest), so every window
// has the system DPI, the one the screen reports.
int DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Export<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) return static_cast<int>(dpi);
    }
    const WindowDc screen(nullptr);
    const int dpi = screen.get() == nullptr ? 0 : ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// A system metric at a given DPI. GetSystemMetrics answers for the system DPI, which is not the
// dialog's on a monitor of another DPI; GetSystemMetricsForDpi (Windows 10 1607 on) is.
int MetricAt(int metric, int dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Export<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(metric, static_cast<UINT>(dpi)) : ::GetSystemMetrics(metric);
}

struct Monitor {
    HMONITOR handle;
    RECT area;  // empty when unknown
    RECT work;
};

// The monitor under the mouse pointer, where the user is looking (the primary one if that fails).
Monitor PointerMonitor() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HMONITOR handle = ::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(handle, &info)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return {handle, info.rcMonitor, info.rcWork};
}

// Whether a window is on a monitor: wholly inside it, or else overlapping it most.
bool IsOn(HWND window, const Monitor& monitor) {
    RECT frame{};
    RECT inside{};
    ::GetWindowRect(window, &frame);
    if (::IntersectRect(&inside, &frame, &monitor.area) && ::EqualRect(&inside, &frame))
        return true;
    return ::MonitorFromWindow(window, MONITOR_DEFAULTTONULL) == monitor.handle;
}

// The hidden dialog's and its controls' final places: nothing is drawn before it is shown (showing
// it draws all of it), and nothing adjusts them on the way (no WM_WINDOWPOSCHANGING: the size
// limits the system would apply there leave these sizes as they are).
constexpr UINT kPlaceHidden =
    SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING;

RECT PixelRect(const ui::TwipsRect& twips, int dpi) {
    const int left = ui::TwipsToPixels(twips.left, dpi);
    const int top = ui::TwipsToPixels(twips.top, dpi);
    return {left, top, left + ui::TwipsToPixels(twips.width, dpi),
            top + ui::TwipsToPixels(twips.height, dpi)};
}

}  // namespace

FormDialog::FormDialog(ui::Form& form, HINSTANCE instance) : form_(form), instance_(instance) {
    const std::vector<WORD> dialogTemplate = BuildDialogTemplate(form.Window(), form.Controls());
    dialog_.reset(::CreateDialogIndirectParamW(
        instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr,
        &FormDialog::Procedure, reinterpret_cast<LPARAM>(this)));
    if (!dialog_) throw Fault("CreateDialogIndirectParamW failed");
    try {
        for (const ui::ControlSpec& entry : form.Controls()) {
            if (entry.kind != ui::ControlKind::OptionButton) continue;
            // The selection the form holds while unloaded: the layout's, or what was set since.
            SetChecked(entry.id, static_cast<bool>(form.Value(entry.id)));
        }
        LoadIcons(PlaceAndCentre());
    } catch (...) {
        // No destructor runs for a half-made object: detach it before the members go.
        ::SetWindowLongPtrW(Handle(), DWLP_USER, 0);
        throw;
    }
}

FormDialog::~FormDialog() {
    // The dialog's last messages find no object: this one is going away.
    if (dialog_) ::SetWindowLongPtrW(Handle(), DWLP_USER, 0);
    tooltips_.reset();
    dialog_.reset();
}

BOOL CALLBACK FormDialog::KeepControl(HWND child, LPARAM self) {
    const ui::ControlId id = ControlOfChildId(::GetDlgCtrlID(child));
    if (id != ui::ControlId::None) {
        reinterpret_cast<FormDialog*>(self)->controls_[static_cast<std::size_t>(id)] = child;
    }
    return TRUE;
}

HWND FormDialog::Control(ui::ControlId id) const {
    const auto index = static_cast<std::size_t>(id);
    HWND control = index < controls_.size() ? controls_[index] : nullptr;
    if (control == nullptr || !::IsWindow(control)) throw Fault("no such control on the dialog");
    return control;
}

int FormDialog::PlaceAndCentre() {
    // Onto the monitor it will be shown on first, so that it is laid out for that monitor's DPI.
    const Monitor monitor = PointerMonitor();
    const RECT& work = monitor.work;
    if (!IsOn(Handle(), monitor)) {
        ::SetWindowPos(Handle(), nullptr, work.left, work.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    const int dpi = DpiOf(Handle());
    PlaceControls(dpi);

    // The client area exactly as the table gives it: the frame keeps what the system makes it.
    RECT frame{};
    RECT client{};
    ::GetWindowRect(Handle(), &frame);
    ::GetClientRect(Handle(), &client);
    const ui::WindowSpec& window = form_.Window();
    const LONG width =
        ui::TwipsToPixels(window.clientWidth, dpi) + (frame.right - frame.left) - client.right;
    const LONG height =
        ui::TwipsToPixels(window.clientHeight, dpi) + (frame.bottom - frame.top) - client.bottom;
    // Centred once its size is known; if the work area is smaller, its title bar stays reachable.
    const LONG left = std::max(work.left, work.left + (work.right - work.left - width) / 2);
    const LONG top = std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
    ::SetWindowPos(Handle(), nullptr, left, top, width, height, kPlaceHidden);
    return dpi;
}

void FormDialog::PlaceControls(int dpi) {
    // Only the controls that the dialog manager's rounding of dialog units put elsewhere, in one
    // batch: Windows moves them together.
    std::array<std::pair<HWND, RECT>, ui::kControlCount> moves{};
    std::size_t count = 0;
    for (const ui::ControlSpec& entry : form_.Controls()) {
        HWND control = Control(entry.id);
        const RECT place = PixelRect(ui::ClientTwips(entry, form_.Controls()), dpi);
        RECT now{};
        ::GetWindowRect(control, &now);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&now), 2);
        if (!::EqualRect(&now, &place)) moves[count++] = {control, place};
    }
    if (count == 0) return;
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(count));
    for (std::size_t i = 0; i < count && batch != nullptr; ++i) {
        const auto& [control, place] = moves[i];
        batch = ::DeferWindowPos(batch, control, nullptr, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, kPlaceHidden);
    }
    if (batch != nullptr && ::EndDeferWindowPos(batch)) return;
    // No batch to be had (it is dropped when a move cannot be added): one move at a time.
    for (std::size_t i = 0; i < count; ++i) {
        const auto& [control, place] = moves[i];
        ::SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, kPlaceHidden);
    }
}

void FormDialog::LoadIcons(int dpi) {
    // The program's icon at the two sizes for the dialog's DPI, each picked from the images of its
    // resource.
    const auto load = [this, dpi](int metric) {
        const int size = MetricAt(metric, dpi);
        return UniqueIcon(static_cast<HICON>(
            ::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUILLMARROW), IMAGE_ICON, size, size, 0)));
    };
    largeIcon_ = load(SM_CXICON);
    smallIcon_ = load(SM_CXSMICON);
    // The small one first: a window given only a big icon gets a small copy of it made, scaled
    // down, which the small image would replace at once.
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));
}

void FormDialog::Display() const {
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
}

void FormDialog::CreateTooltips() noexcept {
    if (tooltipsTried_) return;
    tooltipsTried_ = true;
    // Tooltips are a help, not a function of the dialog: should making them fail, it works
    // without them.
    try {
        tooltips_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                                          nullptr, instance_, nullptr));
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
    } catch (...) {
        tooltips_.reset();
    }
}

bool FormDialog::IsChecked(ui::ControlId option) const {
    return ::SendMessageW(Control(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormDialog::SetChecked(ui::ControlId option, bool checked) {
    HWND button = Control(option);
    // Setting a check mark costs a style change and a redraw even where it is already set: the
    // load sets all six buttons, most often as they are.
    if ((::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) == checked) return;
    // The button moves the tab stop with the check mark: Tab lands on the selected button of a
    // pair.
    ::SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FormDialog::OnCommand(HWND dialog, int id) {
    FormDialog* self = DialogObject(dialog);
    const ui::ControlId control = ControlOfChildId(id);
    if (self == nullptr || control == ui::ControlId::None) return;
    // Only the command buttons raise an event; an option button's click just selects it.
    if (ui::ControlSpecOf(control, self->form_.Controls()).kind != ui::ControlKind::CommandButton) {
        return;
    }
    const std::shared_ptr<ui::Form> hold = self->form_.shared_from_this();
    hold->OnClick(control);  // may destroy `self`
}

void FormDialog::OnClose(HWND dialog) {
    if (FormDialog* self = DialogObject(dialog)) {
        const std::shared_ptr<ui::Form> hold = self->form_.shared_from_this();
        ui::Unload(*hold);  // closing the window runs no handler and stores nothing
    }
}

INT_PTR CALLBACK FormDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_INITDIALOG:
                // The controls are made: found once here, by id, for everything that follows.
                ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
                ::EnumChildWindows(dialog, &FormDialog::KeepControl, lParam);
                return TRUE;  // the dialog manager focuses the first tab stop
            case WM_COMMAND:
                // Enter and Esc arrive as IDOK and IDCANCEL, which no control has: they press
                // nothing, since the dialog has no default or cancel button.
                if (HIWORD(wParam) == BN_CLICKED && lParam != 0) OnCommand(dialog, LOWORD(wParam));
                return TRUE;
            case WM_CLOSE:
                // Left to the dialog manager, the close button would become IDCANCEL.
                OnClose(dialog);
                return TRUE;
            case WM_QUERYENDSESSION:
                // Nothing to ask the user about: the choices are stored only by OK.
                ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
                return TRUE;
            case WM_ENDSESSION:
                // The session ends, or Restart Manager closes the program (ENDSESSION_CLOSEAPP)
                // to replace its file: closed as by the close button, storing nothing.
                if (wParam != FALSE) OnClose(dialog);
                return TRUE;
            case WM_SETCURSOR:
                // The tooltips are made when the pointer first comes over the dialog: a tooltip is
                // a window of its own, and making it at start-up would delay the dialog for a help
                // that nobody can ask for before pointing at a button.
                if (FormDialog* self = DialogObject(dialog)) self->CreateTooltips();
                return FALSE;
            default:
                return FALSE;
        }
    } catch (...) {
        EndAfterEscapedFailure();
    }
}

}  // namespace win32
