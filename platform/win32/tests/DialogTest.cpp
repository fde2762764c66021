// The options dialog as the Win32 toolkit realises it, in this process: its face (at 96 DPI, and
// 144 in a child), on several monitors, keys, message boxes, the session's end, tooltips.
#include <windows.h>

#include <commctrl.h>
#include <sddl.h>

#include <array>
#include <map>
#include <optional>
#include <tuple>

#include "platform/win32/tests/DialogFixture.h"
#include "platform/win32/tests/RunningProgram.h"
#include "testing/ImportSlots.h"

namespace {

using namespace dialog_test;

// The dialog as designed, by hand: each control's caption, kind, client-area pixels at 96 DPI
// (left, top, width, height; an option's are its frame's plus its own) and first selection.
struct Designed {
    ControlId id;
    const wchar_t* caption;
    LONG buttonType;  // BS_PUSHBUTTON, BS_GROUPBOX or BS_AUTORADIOBUTTON; -1: the static label
    std::array<LONG, 4> at96;
    bool selected = false;
};
constexpr LONG kPush = BS_PUSHBUTTON, kFrame = BS_GROUPBOX, kOption = BS_AUTORADIOBUTTON;
// clang-format off
constexpr Designed kDesign[] = {
    {cmdOK,               L"OK",                         kPush,   {154, 156,  76, 23}},
    {cmdCancel,           L"Cancel",                     kPush,   {247, 156,  76, 23}},
    {cmdReset,            L"Reset",                      kPush,   {341, 156,  76, 23}},
    {fraFolderTree,       L"Folder tree",                kFrame,  { 16,  65, 178, 68}},
    {optAllFolders,       L"Show all folders",           kOption, { 25,  83, 164, 18}, true},
    {optSubfoldersOnly,   L"Show subfolders only",       kOption, { 25, 108, 164, 18}},
    {fraWindowStyle,      L"Window style",               kFrame,  {199,  65, 178, 68}},
    {optTwoPane,          L"Show two-pane window",       kOption, {208,  83, 164, 18}, true},
    {optFolderWindow,     L"Show folder window only",    kOption, {208, 108, 164, 18}},
    {fraShortcutLocation, L"Shortcut location",          kFrame,  {382,  65, 178, 68}},
    {optSideMenu,         L"Put shortcut on side menu",  kOption, {391,  83, 164, 18}, true},
    {optStartMenu,        L"Put shortcut on Start Menu", kOption, {391, 108, 164, 18}},
    {lblOptionInfo,
     L"You can right click on a folder in Windows Explorer and click on \"Let Quillmarrow create "
     L"a shortcut\" on the context menu. That is the fastest way to work with Quillmarrow. The "
     L"default name and settings will be applied.", -1, {14, 18, 544, 27}},
};
// A few of them at 144 DPI, in the client area (twips x 144 / 1440, halves rounded up).
const std::map<ControlId, std::array<LONG, 4>> kAt144{
    {cmdOK, {231, 234, 114, 35}}, {fraShortcutLocation, {572, 98, 267, 102}},
    {optStartMenu, {586, 162, 246, 27}}, {lblOptionInfo, {21, 27, 816, 41}}};
// clang-format on

// A window's rectangle (left, top, width, height) in its parent's client area, or the screen's.
std::array<LONG, 4> PlacedAt(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Whether the dialog's frame is centred on a rectangle (to the pixel its halving may cost).
void ExpectCentredOn(const RECT& area) {
    const std::array<LONG, 4> frame = PlacedAt(TheDialog());
    EXPECT_NEAR(2 * frame[0] + frame[2], area.left + area.right, 1) << "across";
    EXPECT_NEAR(2 * frame[1] + frame[3], area.top + area.bottom, 1) << "down";
}

// What Windows answers for a system DPI of 96 while the dialog is on a monitor of 144 (Wine has
// one DPI for all monitors): the icon sizes of GetSystemMetrics and the screen's pixels per inch.
decltype(&::GetSystemMetrics) g_systemMetrics = nullptr;
decltype(&::GetDeviceCaps) g_deviceCaps = nullptr;
int WINAPI SystemIconMetricsAt96(int metric) {
    const bool icon = metric == SM_CXICON || metric == SM_CYICON || metric == SM_CXSMICON ||
                      metric == SM_CYSMICON;
    return icon ? ::MulDiv(g_systemMetrics(metric), 2, 3) : g_systemMetrics(metric);
}
int WINAPI DeviceCapsAt96(HDC dc, int index) {
    const bool perInch = index == LOGPIXELSX || index == LOGPIXELSY;
    return perInch ? USER_DEFAULT_SCREEN_DPI : g_deviceCaps(dc, index);
}

TEST_F(DialogTest, FaceIsTheDesignAtTheDialogsDpi) {
    const bool at144 = IsChild("144 dpi");  // else the prefix's 96
    const int dpi = at144 ? 144 : USER_DEFAULT_SCREEN_DPI;
    if (at144) {  // the dialog made again with the system's DPI other than its own
        g_systemMetrics = import_slots::RedirectImport("GetSystemMetrics", &SystemIconMetricsAt96);
        g_deviceCaps = import_slots::RedirectImport("GetDeviceCaps", &DeviceCapsAt96);
        ui::Unload(*form_);
        ui::Load(*form_);
    }
    ASSERT_EQ(::GetDpiForWindow(TheDialog()), static_cast<UINT>(dpi));  // found by its title
    RECT client{};
    ::GetClientRect(TheDialog(), &client);
    EXPECT_EQ(std::pair(client.right, client.bottom),
              at144 ? std::pair(858L, 302L) : std::pair(572L, 201L));
    // A fixed border, hidden until shown, with the window menu and its close button.
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(TheDialog(), GWL_STYLE));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE | WS_SYSMENU),
              DWORD{WS_SYSMENU});
    EXPECT_EQ(::GetMenuState(::GetSystemMenu(TheDialog(), FALSE), SC_CLOSE, MF_BYCOMMAND) &
                  (MF_GRAYED | MF_DISABLED),
              0U)
        << "a window menu with Close, enabled";
    // Centred on the work area of the monitor under the pointer (here the one monitor).
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(TheDialog(), MONITOR_DEFAULTTONULL), &monitor);
    ExpectCentredOn(monitor.rcWork);
    // The title bar's icons at the sizes Windows gives the DPI: 32 and 16 pixels at 96, half as
    // large again at 144.
    std::vector<LONG> iconSides;
    for (const WPARAM which : {WPARAM{ICON_BIG}, WPARAM{ICON_SMALL}}) {
        const SIZE size = AsWindowsHoldsIt(TitleBarIcon(which), true).size;
        iconSides.insert(iconSides.end(), {size.cx, size.cy});
    }
    const LONG side = at144 ? 48 : 32;
    EXPECT_EQ(iconSides, (std::vector<LONG>{side, side, side / 2, side / 2}))
        << "the big icon's width and height, the small one's";

    // "MS Shell Dlg" 8 pt, regular, not DS_SHELLFONT: Windows would make it "MS Shell Dlg 2", in
    // which the information text does not fit (Wine keeps the face, so the request is read).
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(TheDialog(), WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ASSERT_NE(::GetObjectW(font, sizeof(logFont), &logFont), 0);
    EXPECT_EQ(std::tuple(std::abs(logFont.lfHeight), logFont.lfWeight, logFont.lfItalic),
              std::tuple(::MulDiv(8, dpi, 72), LONG{FW_NORMAL}, BYTE{FALSE}));
    EXPECT_EQ(style & (DS_SETFONT | DS_FIXEDSYS), DWORD{DS_SETFONT});
    EXPECT_STREQ(logFont.lfFaceName, L"MS Shell Dlg");

    for (const Designed& designed : kDesign) {
        SCOPED_TRACE(designed.caption);
        HWND control = Control(designed.id);
        ASSERT_NE(control, nullptr);
        const bool label = designed.buttonType < 0;
        if (!at144 || kAt144.contains(designed.id)) {
            EXPECT_EQ(PlacedAt(control), at144 ? kAt144.at(designed.id) : designed.at96);
        }
        EXPECT_EQ(TextOf(control), designed.caption);
        std::array<wchar_t, 16> className{};
        ::GetClassNameW(control, className.data(), static_cast<int>(className.size()));
        EXPECT_STREQ(className.data(), label ? L"Static" : L"Button");
        EXPECT_EQ(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED, designed.selected);
        const auto controlStyle = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
        EXPECT_EQ(controlStyle & (label ? SS_TYPEMASK : BS_TYPEMASK),
                  label ? DWORD{SS_LEFT} : static_cast<DWORD>(designed.buttonType))
            << "a button's kind; the label wraps";
    }
    if (at144) EndChild();
}

TEST(DialogAtHighDpi, LaysOutAgainAt144Dpi) {
    // A new process takes the DPI from the desktop setting; the prefix's is 96.
    const auto setDpi = [](DWORD dpi) {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels",
                                 REG_DWORD, &dpi, sizeof(dpi));
    };
    ASSERT_EQ(setDpi(144), ERROR_SUCCESS);
    const Ending ending = RunChild(L"DialogTest.FaceIsTheDesign*", L"144 dpi");
    setDpi(USER_DEFAULT_SCREEN_DPI);
    EXPECT_EQ(ending.exitCode, kChildPassed) << "the dialog's face at 144 DPI, run and passed";
}

// Run by two-monitors on three X heads, their work areas cut by the desktop's (_NET_WORKAREA: 32
// pixels off the top, all below 1042 off the bottom); the pointer near a corner of each.
TEST(TwoMonitors, TheDialogOpensCentredOnTheWorkAreaOfTheMonitorUnderThePointer) {
    if (!IsChild("two monitors")) GTEST_SKIP() << "run by two-monitors";
    InstalledWin32Toolkit installed;
    struct Head {
        RECT monitor, work;
        POINT pointer;
    };
    for (const auto& [monitor, work, pointer] :
         {Head{{0, 0, 800, 600}, {0, 32, 800, 600}, {60, 550}},
          Head{{800, 0, 1824, 768}, {800, 32, 1824, 768}, {1780, 60}},
          Head{{0, 600, 640, 1080}, {0, 600, 640, 1042}, {600, 1000}}}) {
        SCOPED_TRACE(testing::Message() << "the head at " << monitor.left << "," << monitor.top);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoW(::MonitorFromPoint(pointer, MONITOR_DEFAULTTONULL), &info);
        EXPECT_TRUE(::EqualRect(&info.rcMonitor, &monitor) && ::EqualRect(&info.rcWork, &work));
        ::SetCursorPos(pointer.x, pointer.y);
        const auto form = std::make_shared<RecordingForm>();
        ui::Load(*form);
        ExpectCentredOn(work);
        ui::Unload(*form);
    }
    EndChild();
}

TEST_F(DialogTest, KeysMoveAsTheDialogManagerMovesAndEnterOrEscPressNothing) {
    form_->SetValue(optFolderWindow, kTrue);  // a choice set by the program
    toolkit_.Display(*form_);
    toolkit_.DoEvents();
    ASSERT_EQ(::GetFocus(), Control(cmdOK)) << "focus on OK when it opens";
    // Windows makes a focused push button the default one, which Enter would press; Wine's
    // dialog manager does not, so the button is given that style here.
    ::SendMessageW(::GetFocus(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    for (const int key : {VK_RIGHT, VK_DOWN, VK_RETURN, VK_ESCAPE}) Key(key);
    EXPECT_EQ(::GetFocus(), Control(cmdOK)) << "the arrow keys move only within a pair";
    // Tab lands on the selected button of each pair, the program's choice too.
    for (const int key : {VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_RETURN, VK_ESCAPE}) Key(key);
    EXPECT_EQ(::GetFocus(), Control(optFolderWindow));
    // The arrow keys stay inside a pair and select as they go.
    Key(VK_DOWN);
    EXPECT_EQ(::GetFocus(), Control(optTwoPane));
    EXPECT_TRUE(Checked(optTwoPane) && !Checked(optFolderWindow) && Checked(optAllFolders));
    EXPECT_TRUE(form_->clicks.empty() && form_->Loaded()) << "Enter and Esc pressed nothing";
    // The same keys reach the dialog: Space presses the focused button.
    for (const int key : {VK_TAB, VK_TAB, VK_TAB, VK_SPACE}) Key(key);
    form_->SetValue(optTwoPane, kFalse);  // a selected button cleared through the form
    EXPECT_FALSE(Checked(optTwoPane));
    ::SendMessageW(TheDialog(), WM_CLOSE, 0, 0);  // the close button unloads, pressing nothing
    EXPECT_EQ(form_->clicks, std::vector{cmdCancel});
    EXPECT_FALSE(form_->Loaded());
}

// The box the test thread shows, found by a timer while the thread waits in it (whatever its title:
// a wrong one fails rather than hangs) and closed: its title, its icon, the dialog usable or not.
std::tuple<std::wstring, HICON, bool> g_shown;
void CALLBACK InspectMessageBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::GetActiveWindow(), icon = nullptr;
    if (box == nullptr || box == TheDialog()) return;
    while ((icon = ::FindWindowExW(box, icon, L"Static", nullptr)) != nullptr &&
           (::GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
    }
    g_shown = {TextOf(box), reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0)),
               ::IsWindowEnabled(TheDialog()) != FALSE};
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(DialogTest, MessageBoxesShowTheirIconAndKeepTheDialogFromUseUntilDismissed) {
    toolkit_.Display(*form_);
    for (const auto& [style, icon] : {std::pair(ui::MsgBoxStyle::Critical, IDI_ERROR),
                                      std::pair(ui::MsgBoxStyle::Information, IDI_INFORMATION)}) {
        g_shown = {L"(no box)", nullptr, true};
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &InspectMessageBox);
        toolkit_.MsgBox(u"Unexpected Error", style, u"Quillmarrow Default Settings");
        ::KillTimer(nullptr, timer);
        EXPECT_EQ(g_shown, std::tuple(std::wstring(L"Quillmarrow Default Settings"),
                                      ::LoadIconW(nullptr, icon), false))
            << "the title, the system's icon for the style, the dialog disabled meanwhile";
        EXPECT_TRUE(::IsWindowEnabled(TheDialog()));
    }
}

// A first instance runs whether this one may open its mutex or not (elevated, or another user's).
TEST(PreviousInstance, AFirstInstanceRunsWhetherItsMarkMayBeOpenedOrNot) {
    for (const wchar_t* access : {L"D:(A;;GA;;;WD)", L"D:(D;;GA;;;WD)"}) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(access, SDDL_REVISION_1,
                                                                           &descriptor, nullptr));
        SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
        const win32::UniqueHandle first(
            ::CreateMutexW(&attributes, FALSE, win32::kInstanceMutexName));
        ::LocalFree(descriptor);
        ASSERT_NE(first, nullptr);
        win32::Win32Toolkit second(::GetModuleHandleW(nullptr));
        EXPECT_TRUE(second.PrevInstance()) << access;
    }
}

// The end of the session, sent from another thread while the program waits for messages: each
// kind (a shutdown, a logoff, Restart Manager's, a critical one) agreed to and called off; then
// Restart Manager's end closing the dialog and the loop, which no posted message wakes, returning.
constexpr LPARAM kEndKinds[] = {0, LPARAM(ENDSESSION_LOGOFF), ENDSESSION_CLOSEAPP,
                                ENDSESSION_CRITICAL};
struct Session {
    HWND dialog, choice;
    DWORD loop;
    win32::UniqueHandle returned{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::vector<std::pair<LRESULT, bool>> calledOff{};  // agreed to, the dialog kept as it was
    bool loopStuck = false;
};
DWORD WINAPI EndTheSession(void* ending) {
    auto& session = *static_cast<Session*>(ending);
    for (const LPARAM kind : kEndKinds) {
        const LRESULT agreed = ::SendMessageW(session.dialog, WM_QUERYENDSESSION, 0, kind);
        ::SendMessageW(session.dialog, WM_ENDSESSION, FALSE, kind);
        session.calledOff.emplace_back(
            agreed, ::IsWindow(session.dialog) &&
                        ::SendMessageW(session.choice, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    ::SendMessageW(session.dialog, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
    ::SendMessageW(session.dialog, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    session.loopStuck = ::WaitForSingleObject(session.returned.get(), 5000) != WAIT_OBJECT_0;
    if (session.loopStuck) ::PostThreadMessageW(session.loop, WM_QUIT, 0, 0);
    return 0;
}

TEST_F(DialogTest, TheEndOfTheSessionIsAgreedToAndClosesTheDialogOnlyWhenItComes) {
    toolkit_.Display(*form_);
    ::SendMessageW(Control(optSubfoldersOnly), BM_CLICK, 0, 0);  // the user's choice
    Session session{TheDialog(), Control(optSubfoldersOnly), ::GetCurrentThreadId()};
    const win32::UniqueHandle ending(
        ::CreateThread(nullptr, 0, &EndTheSession, &session, 0, nullptr));
    toolkit_.RunMessageLoop();
    ::SetEvent(session.returned.get());
    ::WaitForSingleObject(ending.get(), INFINITE);
    EXPECT_EQ(session.calledOff, decltype(session.calledOff)(4, {TRUE, true}))
        << "each kind of end agreed to, and called off, leaving the dialog as it was";
    EXPECT_TRUE(!form_->Loaded() && form_->clicks.empty()) << "closed, storing nothing";
    EXPECT_FALSE(session.loopStuck) << "the message loop waits on after its last form went";
}

// A tool of a tooltip control (the one showing, or the one at an index): its control and text.
std::pair<HWND, std::wstring> Tool(HWND tip, UINT message, WPARAM index = 0) {
    wchar_t text[128]{};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    ::SendMessageW(tip, message, index, reinterpret_cast<LPARAM>(&tool));
    return {reinterpret_cast<HWND>(tool.uId), text};
}

// The tooltip controls the dialog owns, each with its tools' texts by control.
std::map<HWND, std::map<HWND, std::wstring>> TooltipsOf(HWND dialog) {
    std::map<HWND, std::map<HWND, std::wstring>> tips;
    for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
        if (::GetWindow(tip, GW_OWNER) != dialog) continue;
        auto& tools = tips[tip];
        for (LRESULT i = 0; i < ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            const auto [control, text] = Tool(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i));
            tools[control] += text;
        }
    }
    return tips;
}

// Puts the pointer on a control's middle, coming from outside the dialog, as a user points.
void PointAt(HWND control, win32::Win32Toolkit& toolkit) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::SetCursorPos(0, 0);
    toolkit.DoEvents();
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    toolkit.DoEvents();
}

// The text of the tooltip that shows when the pointer rests on a control within six times the
// initial delay (the double-click time); nothing when none does.
std::optional<std::wstring> TooltipOnHover(HWND control, win32::Win32Toolkit& toolkit) {
    PointAt(control, toolkit);
    for (const ULONGLONG start = ::GetTickCount64();
         ::GetTickCount64() - start < 6 * ::GetDoubleClickTime(); ::Sleep(10)) {
        toolkit.DoEvents();
        for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));)
            if (::IsWindowVisible(tip)) return Tool(tip, TTM_GETCURRENTTOOLW).second;
    }
    return std::nullopt;
}

TEST_F(DialogTest, TheCommandButtonsAloneHaveTooltipsMadeOnceAndTheDialogWorksWithoutThem) {
    toolkit_.Display(*form_);
    // The wait long enough: the tooltip shows within it.
    EXPECT_EQ(TooltipOnHover(Control(cmdOK), toolkit_),
              L"Click here to make the current settings default and exit");
    const auto made = TooltipsOf(TheDialog());
    for (const Designed& designed : kDesign) PointAt(Control(designed.id), toolkit_);
    EXPECT_EQ(TooltipsOf(TheDialog()), made) << "made once, however the pointer moves";
    ASSERT_EQ(made.size(), 1U);
    EXPECT_EQ(made.begin()->second,
              (std::map<HWND, std::wstring>{
                  {Control(cmdOK), L"Click here to make the current settings default and exit"},
                  {Control(cmdCancel), L"Click here to exit without changing the default settings"},
                  {Control(cmdReset), L"Click here to return to the current default settings"}}));

    // A dialog whose tooltips cannot be made (a button is gone) shows none and works on.
    ui::Unload(*form_);
    ui::Load(*form_);
    toolkit_.Display(*form_);
    ::DestroyWindow(Control(cmdReset));
    EXPECT_EQ(TooltipOnHover(Control(cmdOK), toolkit_), std::nullopt);
    ::SendMessageW(Control(cmdCancel), BM_CLICK, 0, 0);
    EXPECT_EQ(form_->clicks, std::vector{cmdCancel});
}

}  // namespace
