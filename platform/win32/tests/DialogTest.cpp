// The options dialog as the Win32 toolkit realises it, in this process, under Wine in a virtual
// display: geometry at the process's DPI (and again at 144 DPI in a child process), texts, the
// font the template asks for, keyboard through the dialog manager, tooltips, icons, the events
// the form receives, and how a failure that escapes every trap ends the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <sddl.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/DialogTemplate.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/resources/resource.h"
#include "platform/win32/tests/DialogFixture.h"
#include "tools/icon/Artwork.h"
#include "testing/ImportSlots.h"
#include "ui/Form.h"
#include "ui/layout.h"

namespace {

using namespace dialog_test;

// The extent of a text drawn in a font, wrapped at `width` or on one line, as a control draws it.
SIZE TextExtent(HFONT font, const std::wstring& text, int width = 0) {
    const win32::WindowDc screen(nullptr);
    const HGDIOBJ previous = ::SelectObject(screen.get(), font);
    RECT rect{0, 0, width, 0};
    ::DrawTextW(screen.get(), text.c_str(), -1, &rect,
                DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(screen.get(), previous);
    return {rect.right, rect.bottom};
}

// The metrics of a font as a control draws with it; `owned`: the font is deleted afterwards.
TEXTMETRICW MetricsOf(HFONT font, bool owned = false) {
    const win32::WindowDc screen(nullptr);
    const HGDIOBJ previous = ::SelectObject(screen.get(), font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen.get(), &metrics);
    ::SelectObject(screen.get(), previous);
    if (owned) ::DeleteObject(font);
    return metrics;
}

// The dialog as designed, transcribed by hand: each control's caption, its kind and its rectangle
// in pixels at 96 DPI (left, top, width, height), an option button's relative to its frame.
struct Designed {
    ControlId id;
    const wchar_t* caption;
    LONG buttonType;  // BS_PUSHBUTTON, BS_GROUPBOX or BS_AUTORADIOBUTTON; -1: the static label
    ControlId frame;
    std::array<LONG, 4> at96;
    bool selected = false;  // when the dialog is made
};
constexpr wchar_t kInfoText[] =
    L"You can right click on a folder in Windows Explorer and click on \"Let Quillmarrow create a "
    L"shortcut\" on the context menu. That is the fastest way to work with Quillmarrow. The "
    L"default name and settings will be applied.";
using enum ControlId;
constexpr LONG kPush = BS_PUSHBUTTON, kFrame = BS_GROUPBOX, kOption = BS_AUTORADIOBUTTON;
// clang-format off
constexpr Designed kDesign[] = {
    {cmdOK,               L"OK",                         kPush,   None,                {154, 156,  76, 23}},
    {cmdCancel,           L"Cancel",                     kPush,   None,                {247, 156,  76, 23}},
    {cmdReset,            L"Reset",                      kPush,   None,                {341, 156,  76, 23}},
    {fraFolderTree,       L"Folder tree",                kFrame,  None,                { 16,  65, 178, 68}},
    {optAllFolders,       L"Show all folders",           kOption, fraFolderTree,       {  9,  18, 164, 18}, true},
    {optSubfoldersOnly,   L"Show subfolders only",       kOption, fraFolderTree,       {  9,  43, 164, 18}},
    {fraWindowStyle,      L"Window style",               kFrame,  None,                {199,  65, 178, 68}},
    {optTwoPane,          L"Show two-pane window",       kOption, fraWindowStyle,      {  9,  18, 164, 18}, true},
    {optFolderWindow,     L"Show folder window only",    kOption, fraWindowStyle,      {  9,  43, 164, 18}},
    {fraShortcutLocation, L"Shortcut location",          kFrame,  None,                {382,  65, 178, 68}},
    {optSideMenu,         L"Put shortcut on side menu",  kOption, fraShortcutLocation, {  9,  18, 164, 18}, true},
    {optStartMenu,        L"Put shortcut on Start Menu", kOption, fraShortcutLocation, {  9,  43, 164, 18}},
    {lblOptionInfo,       kInfoText,                     -1,      None,                { 14,  18, 544, 27}},
};
// A few of them at 144 DPI, in the client area (twips x 144 / 1440, halves rounded up).
const std::map<ControlId, std::array<LONG, 4>> kAt144{
    {cmdOK, {231, 234, 114, 35}}, {fraShortcutLocation, {572, 98, 267, 102}},
    {optStartMenu, {586, 162, 246, 27}}, {lblOptionInfo, {21, 27, 816, 41}}};
// clang-format on

const Designed& DesignOf(ControlId id) {
    return *std::ranges::find(kDesign, id, &Designed::id);
}
// Where the design puts a control in the client area at 96 DPI.
std::array<LONG, 4> ClientAt96(const Designed& control) {
    std::array<LONG, 4> rect = control.at96;
    if (control.frame != None) {
        rect[0] += DesignOf(control.frame).at96[0];
        rect[1] += DesignOf(control.frame).at96[1];
    }
    return rect;
}
// A window's rectangle in its parent's client area, as Windows reports it.
std::array<LONG, 4> PlacedAt(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TEST_F(DialogTest, FaceIsTheDesignAtTheDialogsDpiWithNoTextCut) {
    const char* child = std::getenv("QM_EXPECT_DPI");
    const int dpi = child != nullptr ? std::atoi(child) : USER_DEFAULT_SCREEN_DPI;  // the prefix's
    ASSERT_EQ(::GetDpiForWindow(Dialog()), static_cast<UINT>(dpi));
    RECT client{};
    ::GetClientRect(Dialog(), &client);
    EXPECT_EQ(std::pair(client.right, client.bottom),
              dpi == 144 ? std::pair(858L, 302L) : std::pair(572L, 201L));
    EXPECT_EQ(TextOf(Dialog()), L"Quillmarrow 2004 Default Settings");
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Dialog(), GWL_STYLE));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE), 0U) << "fixed, hidden";
    // Centred on the work area of the monitor under the pointer.
    RECT frame{};
    ::GetWindowRect(Dialog(), &frame);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);

    // The face the prefix's mapping gives the template's "MS Shell Dlg", at 8 points.
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(Dialog(), WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ASSERT_NE(::GetObjectW(font, sizeof(logFont), &logFont), 0);
    EXPECT_EQ(std::abs(logFont.lfHeight), ::MulDiv(8, dpi, 72)) << "8 points";
    // Not DS_SHELLFONT: Windows would make the face "MS Shell Dlg 2" (Tahoma), in which the
    // information text does not fit (Wine keeps the face, so the request itself is read).
    EXPECT_EQ(style & (DS_SETFONT | DS_FIXEDSYS), DWORD{DS_SETFONT});
    EXPECT_STREQ(logFont.lfFaceName, L"MS Shell Dlg");
    // A bitmap font, metric for metric the prefix's regular MS Sans Serif: no fallback face.
    const TEXTMETRICW dialogFace = MetricsOf(font);
    const TEXTMETRICW sansSerif =
        MetricsOf(::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif"),
                  true);
    EXPECT_EQ(dialogFace.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE), 0) << "bitmap";
    EXPECT_EQ(std::memcmp(&dialogFace, &sansSerif, sizeof(TEXTMETRICW)), 0) << "MS Sans Serif";

    // What a caption needs besides its text: a button's edges, a frame's gaps either side of its
    // caption, a radio button's mark (pixels at 96 DPI).
    const std::map<LONG, int> besidesText{{kPush, 8}, {kFrame, 16}, {kOption, 18}};
    for (const Designed& designed : kDesign) {
        SCOPED_TRACE(designed.caption);
        HWND control = Control(designed.id);
        ASSERT_NE(control, nullptr);
        const std::array<LONG, 4> rect = PlacedAt(control);
        if (dpi == USER_DEFAULT_SCREEN_DPI) {
            EXPECT_EQ(rect, ClientAt96(designed));
        } else if (kAt144.contains(designed.id)) {
            EXPECT_EQ(rect, kAt144.at(designed.id));
        }
        EXPECT_EQ(TextOf(control), designed.caption);
        EXPECT_EQ(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED, designed.selected);
        EXPECT_EQ(::SendMessageW(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
        const auto controlStyle = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
        if (designed.buttonType < 0) {
            // The whole information text, wrapped in the label's width, within its height.
            EXPECT_EQ(controlStyle & SS_TYPEMASK, DWORD{SS_LEFT}) << "wraps";
            EXPECT_LE(TextExtent(font, designed.caption, rect[2]).cy, rect[3]);
        } else {
            EXPECT_EQ(controlStyle & BS_TYPEMASK, static_cast<DWORD>(designed.buttonType));
            EXPECT_LE(TextExtent(font, designed.caption).cx +
                          besidesText.at(designed.buttonType) * dpi / 96,
                      rect[2]);
        }
    }
}

// Whether a GoogleTest XML report says that exactly one test ran to its end and passed.
bool OneTestPassed(const std::wstring& report) {
    std::string xml(1 << 16, '\0');
    if (std::FILE* file = ::_wfopen(report.c_str(), L"rb")) {
        xml.resize(std::fread(xml.data(), 1, xml.size(), file));
        std::fclose(file);
    }
    return xml.find(R"(tests="1" failures="0")") != std::string::npos &&
           xml.find(R"(result="completed")") != std::string::npos;
}

TEST(DialogAtHighDpi, LaysOutAgainAt144Dpi) {
    if (std::getenv("QM_EXPECT_DPI") != nullptr) GTEST_SKIP() << "this is the child";
    // A new process takes the DPI from the desktop setting; the setting is restored afterwards.
    const auto setDpi = [](DWORD dpi) {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels",
                                 REG_DWORD, &dpi, sizeof(dpi));
    };
    DWORD previous = 96;
    DWORD size = sizeof(previous);
    ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", RRF_RT_REG_DWORD,
                   nullptr, &previous, &size);
    ASSERT_EQ(setDpi(144), ERROR_SUCCESS);
    wchar_t folder[MAX_PATH]{}, report[MAX_PATH]{};
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"qm", 0, report);
    const Ending ending = RunChild(L"DialogTest.FaceIsTheDesign*", L"QM_EXPECT_DPI", L"144",
                                   std::wstring(L" --gtest_output=xml:") + report);
    setDpi(previous);
    EXPECT_EQ(ending.exitCode, 0U) << "the dialog's face at 144 DPI";
    EXPECT_TRUE(OneTestPassed(report)) << "the child ran the face test";
    ::DeleteFileW(report);
}

// Run on two X heads side by side by the two-monitors script: wherever the pointer is, the dialog
// opens centred on the work area of the monitor under it.
TEST(TwoMonitors, TheDialogOpensCentredOnTheMonitorUnderThePointer) {
    if (std::getenv("QM_TWO_MONITORS") == nullptr) GTEST_SKIP() << "run by two-monitors";
    InstalledWin32Toolkit installed;
    // The heads as the X server has them: 800 x 600, and 1024 x 768 on its right.
    for (const RECT head : {RECT{0, 0, 800, 600}, RECT{800, 0, 1824, 768}}) {
        const POINT middle{(head.left + head.right) / 2, (head.top + head.bottom) / 2};
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromPoint(middle, MONITOR_DEFAULTTONULL), &monitor);
        EXPECT_TRUE(::EqualRect(&monitor.rcWork, &head)) << "a monitor at " << head.left;
        ::SetCursorPos(middle.x, middle.y);
        const auto form = std::make_shared<RecordingForm>();
        ui::Load(*form);
        RECT frame{};
        ::GetWindowRect(TheDialog(), &frame);
        EXPECT_NEAR(frame.left + frame.right, 2 * middle.x, 1) << "on the head at " << head.left;
        EXPECT_NEAR(frame.top + frame.bottom, 2 * middle.y, 1) << "on the head at " << head.left;
        ui::Unload(*form);
    }
}

// Making the dialog fails after its window exists (here its controls cannot be told apart): the
// failure reaches the caller, for its trap to report, and no window is left behind.
TEST(MakingTheDialog, AFailureAfterTheWindowIsMadeLeavesNoWindowBehind) {
    const auto real = import_slots::RedirectImport(
        "GetDlgCtrlID", +[](HWND) { return 0; });
    ASSERT_NE(real, nullptr);
    InstalledWin32Toolkit installed;
    const auto form = std::make_shared<RecordingForm>();
    EXPECT_THROW(ui::Load(*form), Fault);
    import_slots::RedirectImport("GetDlgCtrlID", real);
    EXPECT_FALSE(form->Loaded());
    EXPECT_EQ(TheDialog(), nullptr);
}

TEST(EscapedFailure, EndsTheProcessWithCode3AndLeavesNoWindow) {
    if (std::getenv("QM_ESCAPE") == nullptr) {
        // In a child: the failure ends its process, in order (ExitProcess).
        const Ending ending = RunChild(L"EscapedFailure.*", L"QM_ESCAPE", L"1");
        EXPECT_EQ(ending.exitCode, 3U) << "STILL_ACTIVE (259): a window kept it waiting";
        EXPECT_TRUE(ending.detached) << "its DLLs detached: an orderly end";
        return;
    }
    LoadDetachProbe();
    // An abort (where an exception that escapes to the runtime ends) exits with 3 too: not here.
    std::signal(SIGABRT, [](int) { std::_Exit(97); });
    InstalledWin32Toolkit installed;
    const auto form = std::make_shared<RecordingForm>();
    form->failing = true;
    ui::Show(*form);
    HWND dialog = TheDialog();
    ::PostMessageW(::GetDlgItem(dialog, win32::ChildId(cmdOK)), BM_CLICK, 0, 0);
    installed.toolkit.RunMessageLoop();
    ADD_FAILURE() << "the process went on";
}

TEST_F(DialogTest, KeyboardMovesAsTheDialogManagerDoesAndPressesNothingOnEnterOrEsc) {
    form_->SetValue(optFolderWindow, kTrue);  // a choice set by the program
    toolkit_.Display(*form_);
    toolkit_.DoEvents();
    ASSERT_EQ(::GetFocus(), Control(cmdOK)) << "focus on OK when it opens";
    for (const int key : {VK_RIGHT, VK_DOWN}) Key(key);
    EXPECT_EQ(::GetFocus(), Control(cmdOK)) << "the arrow keys move only within a pair";
    const auto defaultId = static_cast<DWORD>(::SendMessageW(Dialog(), DM_GETDEFID, 0, 0));
    EXPECT_FALSE(HIWORD(defaultId) == DC_HASDEFID &&
                 ::GetDlgItem(Dialog(), LOWORD(defaultId)) != nullptr)
        << "no default button";

    // Windows makes a focused push button the default one, which Enter would press; Wine's
    // dialog manager does not, so the button is given that style here.
    ::SendMessageW(::GetFocus(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    for (const int key : {VK_RETURN, VK_ESCAPE}) Key(key);

    // Tab lands on the selected button of each pair, and landing there changes no choice.
    ::SendMessageW(Control(optStartMenu), BM_CLICK, 0, 0);  // a choice by the user
    for (const ControlId next :
         {cmdOK, cmdCancel, cmdReset, optAllFolders, optFolderWindow, optStartMenu}) {
        Key(VK_TAB);
        EXPECT_EQ(::GetFocus(), Control(next)) << ui::ControlSpecOf(next).name;
    }
    for (const int key : {VK_RETURN, VK_ESCAPE}) Key(key);  // on an option button
    EXPECT_TRUE(Checked(optFolderWindow));
    EXPECT_TRUE(Checked(optStartMenu));
    // The arrow keys stay inside a pair and select as they go.
    for (const int key : {VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_DOWN}) Key(key);
    EXPECT_EQ(::GetFocus(), Control(optSubfoldersOnly));
    EXPECT_TRUE(Checked(optSubfoldersOnly));
    Key(VK_DOWN);
    EXPECT_EQ(::GetFocus(), Control(optAllFolders));
    EXPECT_TRUE(Checked(optFolderWindow)) << "other pairs untouched";
    EXPECT_TRUE(form_->clicks.empty());
    EXPECT_TRUE(form_->Loaded());

    // The same keys reach the dialog: Space presses the focused button.
    for (const int key : {VK_TAB, VK_TAB, VK_TAB, VK_SPACE}) Key(key);
    EXPECT_EQ(form_->clicks, std::vector{cmdOK});
}

TEST_F(DialogTest, ButtonClicksReachTheFormAndClosingUnloadsItQuietly) {
    ::SendMessageW(Control(optStartMenu), BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(optStartMenu));
    EXPECT_FALSE(Checked(optSideMenu));
    form_->SetValue(optAllFolders, kFalse);  // a selected button cleared through the form
    EXPECT_EQ(::SendMessageW(Control(optAllFolders), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ::SendMessageW(Dialog(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form_->clicks.empty());
    EXPECT_FALSE(form_->Loaded());

    form_->SetValue(optSubfoldersOnly, kTrue);  // set while unloaded, shown once loaded
    ui::Load(*form_);
    EXPECT_TRUE(Checked(optSubfoldersOnly));
    EXPECT_FALSE(Checked(optAllFolders));
    form_->unloadOnClick = true;
    for (const ControlId button : {cmdOK, cmdCancel, cmdReset}) {
        if (!form_->Loaded()) ui::Load(*form_);
        ::SendMessageW(Control(button), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(form_->clicks, (std::vector{cmdOK, cmdCancel, cmdReset}));
    EXPECT_FALSE(::IsWindow(Dialog()));
}

// What a message box showed, read from a second thread while the test thread waits in it: its
// title, whether the dialog could be used meanwhile and the icon the box showed. Any box of the
// test thread is found and closed, whatever its title; the search ends when the test thread is
// back.
struct ShownBox {
    DWORD thread = ::GetCurrentThreadId();
    win32::UniqueHandle back{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::wstring title;  // empty: no message box came up
    bool dialogEnabled = true;
    HICON icon = nullptr;
};
DWORD WINAPI InspectMessageBox(void* inspected) {
    auto& shown = *static_cast<ShownBox*>(inspected);
    HWND box = nullptr;
    while (box == nullptr && ::WaitForSingleObject(shown.back.get(), 10) == WAIT_TIMEOUT) {
        ::EnumThreadWindows(
            shown.thread,
            [](HWND window, LPARAM found) {
                wchar_t kind[16]{};
                ::GetClassNameW(window, kind, 16);
                const bool isBox = ::IsWindowVisible(window) && ::lstrcmpW(kind, L"#32770") == 0 &&
                                   TextOf(window) != L"Quillmarrow 2004 Default Settings";
                if (isBox) *reinterpret_cast<HWND*>(found) = window;
                return static_cast<BOOL>(!isBox);
            },
            reinterpret_cast<LPARAM>(&box));
    }
    if (box == nullptr) return 1;
    shown.title = TextOf(box);
    shown.dialogEnabled = ::IsWindowEnabled(TheDialog());
    for (HWND child = nullptr; (child = ::FindWindowExW(box, child, L"Static", nullptr));) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            shown.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
}

TEST_F(DialogTest, MessageBoxesShowTheirIconAndKeepTheDialogFromUseUntilDismissed) {
    toolkit_.Display(*form_);
    for (const auto& [style, icon] : {std::pair(ui::MsgBoxStyle::Critical, IDI_ERROR),
                                      std::pair(ui::MsgBoxStyle::Information, IDI_INFORMATION)}) {
        ShownBox shown;
        const win32::UniqueHandle inspector(
            ::CreateThread(nullptr, 0, &InspectMessageBox, &shown, 0, nullptr));
        toolkit_.MsgBox(u"Unexpected Error", style, u"Quillmarrow Default Settings");
        ::SetEvent(shown.back.get());
        ::WaitForSingleObject(inspector.get(), INFINITE);
        EXPECT_EQ(shown.title, L"Quillmarrow Default Settings") << "no box, or another title";
        EXPECT_FALSE(shown.dialogEnabled) << "disabled while the box is up";
        EXPECT_EQ(shown.icon, ::LoadIconW(nullptr, icon)) << "the system's icon for the style";
        EXPECT_TRUE(::IsWindowEnabled(Dialog()));
    }
}

TEST(PreviousInstance, AnInstanceWhoseMarkWeMayNotOpenIsRunning) {
    // The first instance runs elevated or as another user: its mutex exists, but opening it is
    // denied.
    PSECURITY_DESCRIPTOR denied = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(D;;GA;;;WD)", SDDL_REVISION_1, &denied, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), denied, FALSE};
    const win32::UniqueHandle first(::CreateMutexW(&attributes, FALSE, win32::kInstanceMutexName));
    ::LocalFree(denied);
    ASSERT_NE(first, nullptr);
    ::SetLastError(ERROR_SUCCESS);
    ASSERT_EQ(::CreateMutexW(nullptr, FALSE, win32::kInstanceMutexName), nullptr);
    ASSERT_EQ(::GetLastError(), DWORD{ERROR_ACCESS_DENIED}) << "what Windows answers";
    win32::Win32Toolkit second(::GetModuleHandleW(nullptr));
    EXPECT_TRUE(second.PrevInstance());
}

// A tool of a tooltip control (the current one, or the one at an index): its control and text.
std::pair<HWND, std::wstring> Tool(HWND tip, UINT message, WPARAM index = 0) {
    wchar_t text[128]{};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    ::SendMessageW(tip, message, index, reinterpret_cast<LPARAM>(&tool));
    return {reinterpret_cast<HWND>(tool.uId), text};
}

// The tooltip that shows when the pointer rests on a control, as a user rests it: its text, or
// nothing when none shows within `waitMs`.
std::optional<std::wstring> TooltipOnHover(HWND control, win32::Win32Toolkit& toolkit,
                                           ULONGLONG waitMs) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (const ULONGLONG start = ::GetTickCount64(); ::GetTickCount64() - start < waitMs;) {
        toolkit.DoEvents();
        for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
            if (::IsWindowVisible(tip)) return Tool(tip, TTM_GETCURRENTTOOLW).second;
        }
        ::Sleep(10);
    }
    return std::nullopt;
}

TEST_F(DialogTest, TheCommandButtonsAndNoOtherControlHaveTheirTooltips) {
    toolkit_.Display(*form_);
    // Longer than the tooltip's initial delay (the double-click time).
    EXPECT_EQ(TooltipOnHover(Control(cmdOK), toolkit_, 6 * ::GetDoubleClickTime()),
              L"Click here to make the current settings default and exit");
    // Every tool of the dialog's tooltip control: the control it is for, and its text.
    std::map<HWND, std::wstring> tools;
    for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
        if (::GetWindow(tip, GW_OWNER) != Dialog()) continue;
        const auto count = static_cast<UINT>(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (UINT i = 0; i < count; ++i) {
            const auto [control, text] = Tool(tip, TTM_ENUMTOOLSW, i);
            tools[control] += text;
        }
    }
    EXPECT_EQ(tools,
              (std::map<HWND, std::wstring>{
                  {Control(cmdOK), L"Click here to make the current settings default and exit"},
                  {Control(cmdCancel), L"Click here to exit without changing the default settings"},
                  {Control(cmdReset), L"Click here to return to the current default settings"}}));
}

TEST_F(DialogTest, ADialogWhoseTooltipsCannotBeMadeWorksWithoutThem) {
    toolkit_.Display(*form_);
    ::DestroyWindow(Control(cmdReset));  // making its tooltip fails
    EXPECT_EQ(TooltipOnHover(Control(cmdOK), toolkit_, 2 * ::GetDoubleClickTime()), std::nullopt);
    ::SendMessageW(Control(cmdCancel), BM_CLICK, 0, 0);
    EXPECT_EQ(form_->clicks, std::vector{cmdCancel});
}

// The images of the program file's icon: their sizes and colour depths.
std::set<std::pair<int, int>> IconImages() {
    const std::string group = ProgramResource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_QUILLMARROW));
    const auto* data = reinterpret_cast<const BYTE*>(group.data());
    std::set<std::pair<int, int>> images;
    for (std::size_t at = 6; at + 14 <= group.size(); at += 14)  // GRPICONDIRENTRY
        images.emplace(data[at] == 0 ? 256 : data[at], data[at + 6] | (data[at + 7] << 8));
    return images;
}

// An icon's colour pixels as Windows keeps them; empty when it has none.
std::vector<BYTE> IconPixels(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) return {};
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    std::vector<BYTE> pixels(static_cast<std::size_t>(bitmap.bmWidthBytes * bitmap.bmHeight));
    ::GetBitmapBits(info.hbmColor, static_cast<LONG>(pixels.size()), pixels.data());
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return pixels;
}

TEST_F(DialogTest, TitleBarShowsTheProgramsArtworkAtTheDialogsSizesFromItsSixImages) {
    const UINT dpi = ::GetDpiForWindow(Dialog());
    for (const auto& [which, metric] :
         {std::pair(WPARAM{ICON_BIG}, SM_CXICON), std::pair(WPARAM{ICON_SMALL}, SM_CXSMICON)}) {
        // The artwork as Windows holds a 32-bit icon: rows from the top, blue, green, red, alpha.
        std::vector<BYTE> drawn;
        for (const icon::Rgba& pixel :
             icon::DrawAppIcon(::GetSystemMetricsForDpi(metric, dpi)).pixels)
            drawn.insert(drawn.end(), {pixel.b, pixel.g, pixel.r, pixel.a});
        EXPECT_TRUE(drawn == IconPixels(reinterpret_cast<HICON>(
                                 ::SendMessageW(Dialog(), WM_GETICON, which, 0))))
            << "the artwork, " << ::GetSystemMetricsForDpi(metric, dpi) << " pixels wide";
    }
    EXPECT_EQ(IconImages(), (std::set<std::pair<int, int>>{
                                {16, 8}, {16, 32}, {32, 8}, {32, 32}, {48, 8}, {48, 32}}));
}

}  // namespace
