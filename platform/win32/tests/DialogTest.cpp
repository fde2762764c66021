// The options dialog as the Win32 toolkit realises it, in this process, under Wine in a virtual
// display: geometry at the process's DPI (and again at 144 DPI in a child process), texts, the
// font the template asks for, keyboard through the dialog manager, tooltips, icons, the events
// the form receives, and how a failure that escapes every trap ends the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/Fault.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/resources/resource.h"
#include "platform/win32/tests/DialogFixture.h"
#include "ui/Form.h"
#include "ui/layout.h"

namespace {

using namespace dialog_test;

// The font the program's dialog template asks for.
struct TemplateFont {
    DWORD style = 0;
    int points = 0;
    std::wstring face;
};
TemplateFont FontOfTemplate() {
    const std::vector<WORD> dialog =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    const WORD* at = dialog.data() + 13;  // DLGTEMPLATEEX up to the menu
    const auto skip = [&at] {
        at += *at == 0xFFFF ? 2 : std::wstring_view(reinterpret_cast<PCWSTR>(at)).size() + 1;
    };
    skip();  // menu
    skip();  // class
    skip();  // caption
    return {DWORD{dialog[6]} | DWORD{dialog[7]} << 16, at[0], reinterpret_cast<PCWSTR>(at + 3)};
}
// The extent of a text drawn as a control draws it, wrapped at `width` or on one line, in the font
// Windows makes from the template: its face, unless DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS) turns
// "MS Shell Dlg" into "MS Shell Dlg 2".
SIZE TextExtent(const std::wstring& text, int dpi, int width = 0) {
    const TemplateFont font = FontOfTemplate();
    const bool shell = (font.style & DS_SHELLFONT) == DS_SHELLFONT && font.face == L"MS Shell Dlg";
    LOGFONTW logFont{};
    logFont.lfHeight = -::MulDiv(font.points, dpi, 72);
    logFont.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(logFont.lfFaceName, shell ? L"MS Shell Dlg 2" : font.face.c_str(), LF_FACESIZE);
    const win32::WindowDc screen(nullptr);
    HFONT handle = ::CreateFontIndirectW(&logFont);
    HGDIOBJ previous = ::SelectObject(screen.get(), handle);
    RECT rect{0, 0, width, 0};
    ::DrawTextW(screen.get(), text.c_str(), -1, &rect,
                DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(screen.get(), previous);
    ::DeleteObject(handle);
    return {rect.right, rect.bottom};
}

TEST_F(DialogTest, FaceIsTheTwipsTableAtTheDialogsDpiWithNoTextCut) {
    const int dpi = static_cast<int>(::GetDpiForWindow(Dialog()));
    const char* expected = std::getenv("QM_EXPECT_DPI");
    EXPECT_EQ(dpi, expected != nullptr ? std::atoi(expected) : dpi) << "the child's DPI";
    RECT client{};
    ::GetClientRect(Dialog(), &client);
    EXPECT_EQ(client.right, ui::TwipsToPixels(8580, dpi));
    EXPECT_EQ(client.bottom, ui::TwipsToPixels(3015, dpi));
    EXPECT_EQ(TextOf(Dialog()), L"Quillmarrow 2004 Default Settings");
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Dialog(), GWL_STYLE));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE), 0U) << "fixed, hidden";

    const auto font = reinterpret_cast<HFONT>(::SendMessageW(Dialog(), WM_GETFONT, 0, 0));
    LOGFONTW face{};
    ASSERT_NE(::GetObjectW(font, sizeof(face), &face), 0);
    EXPECT_EQ(std::abs(face.lfHeight), ::MulDiv(8, dpi, 72)) << "8 points";
    // What a caption needs besides its text: a button's edges, a radio button's mark, the gaps
    // either side of a frame's caption (pixels at 96 DPI).
    const std::map<ui::ControlKind, int> besidesText{{ui::ControlKind::CommandButton, 8},
                                                     {ui::ControlKind::OptionButton, 18},
                                                     {ui::ControlKind::Frame, 16}};
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        HWND control = Control(entry.id);
        const ui::TwipsRect twips = ui::ClientTwips(entry);
        RECT rect{};  // in the dialog's client area
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, ui::TwipsToPixels(twips.left, dpi)) << entry.name;
        EXPECT_EQ(rect.top, ui::TwipsToPixels(twips.top, dpi)) << entry.name;
        EXPECT_EQ(rect.right - rect.left, ui::TwipsToPixels(twips.width, dpi)) << entry.name;
        EXPECT_EQ(rect.bottom - rect.top, ui::TwipsToPixels(twips.height, dpi)) << entry.name;
        EXPECT_EQ(TextOf(control), win32::Wide(entry.caption)) << entry.name;
        EXPECT_EQ(::SendMessageW(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
        const int width = rect.right - rect.left;
        if (entry.kind == ui::ControlKind::Label) {
            // The whole information text, wrapped in the label's width, within its height.
            EXPECT_EQ(::GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK, SS_LEFT) << "wraps";
            EXPECT_LE(TextExtent(TextOf(control), dpi, width).cy, rect.bottom - rect.top);
        } else {
            EXPECT_LE(TextExtent(TextOf(control), dpi).cx + besidesText.at(entry.kind) * dpi / 96,
                      width)
                << entry.name;
        }
    }
}

TEST(DialogTemplate, AsksForTheClassicDialogFontNotTheShellFont) {
    const TemplateFont font = FontOfTemplate();
    EXPECT_EQ(font.style & (DS_SETFONT | DS_FIXEDSYS), DWORD{DS_SETFONT});
    EXPECT_EQ(std::pair(font.points, font.face), std::pair(8, std::wstring(L"MS Shell Dlg")));
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
    const DWORD exitCode = RunChild(L"DialogTest.FaceIsTheTwipsTable*", L"QM_EXPECT_DPI", L"144");
    setDpi(previous);
    EXPECT_EQ(exitCode, 0U) << "the dialog's face at 144 DPI";
}

TEST(EscapedFailure, EndsTheProcessWithCode3AndLeavesNoWindow) {
    if (std::getenv("QM_ESCAPE") == nullptr) {
        // In a child: the failure ends its process.
        EXPECT_EQ(RunChild(L"EscapedFailure.*", L"QM_ESCAPE", L"1"), 3U)
            << "STILL_ACTIVE (259): a window kept it waiting";
        return;
    }
    // An abort (where an exception that escapes to the runtime ends) exits with 3 too: not here.
    std::signal(SIGABRT, [](int) { std::_Exit(97); });
    win32::Win32Toolkit toolkit(::GetModuleHandleW(nullptr));
    ui::InstallToolkit(&toolkit);
    const auto form = std::make_shared<RecordingForm>();
    form->failing = true;
    ui::Show(*form);
    HWND dialog = ::FindWindowW(L"#32770", L"Quillmarrow 2004 Default Settings");
    ::PostMessageW(::GetDlgItem(dialog, win32::ChildId(ControlId::cmdOK)), BM_CLICK, 0, 0);
    toolkit.RunMessageLoop();
    ADD_FAILURE() << "the process went on";
}

TEST_F(DialogTest, KeyboardMovesAsTheDialogManagerDoesAndPressesNothingOnEnterOrEsc) {
    form_->SetValue(ControlId::optFolderWindow, kTrue);  // a choice set by the program
    toolkit_.Display(*form_);
    toolkit_.DoEvents();
    ASSERT_EQ(::GetFocus(), Control(ControlId::cmdOK)) << "focus on OK when it opens";
    const auto defaultId = static_cast<DWORD>(::SendMessageW(Dialog(), DM_GETDEFID, 0, 0));
    EXPECT_FALSE(HIWORD(defaultId) == DC_HASDEFID &&
                 ::GetDlgItem(Dialog(), LOWORD(defaultId)) != nullptr)
        << "no default button";

    // Windows makes a focused push button the default one, which Enter would press; Wine's
    // dialog manager does not, so the button is given that style here.
    ::SendMessageW(::GetFocus(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    for (const int key : {VK_RETURN, VK_ESCAPE}) Key(key);
    ::SendMessageW(Dialog(), WM_COMMAND, IDOK, 0);
    ::SendMessageW(Dialog(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(form_->clicks.empty());
    EXPECT_TRUE(form_->Loaded());

    // Tab lands on the selected button of each pair, and landing there changes no choice.
    ::SendMessageW(Control(ControlId::optStartMenu), BM_CLICK, 0, 0);  // a choice by the user
    for (const ControlId next :
         {ControlId::cmdOK, ControlId::cmdCancel, ControlId::cmdReset, ControlId::optAllFolders,
          ControlId::optFolderWindow, ControlId::optStartMenu}) {
        Key(VK_TAB);
        EXPECT_EQ(::GetFocus(), Control(next)) << ui::ControlSpecOf(next).name;
    }
    EXPECT_TRUE(Checked(ControlId::optFolderWindow));
    EXPECT_TRUE(Checked(ControlId::optStartMenu));
    // The arrow keys stay inside a pair and select as they go.
    for (const int key : {VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_DOWN}) Key(key);
    EXPECT_EQ(::GetFocus(), Control(ControlId::optSubfoldersOnly));
    EXPECT_TRUE(Checked(ControlId::optSubfoldersOnly));
    Key(VK_DOWN);
    EXPECT_EQ(::GetFocus(), Control(ControlId::optAllFolders));
    EXPECT_TRUE(Checked(ControlId::optFolderWindow)) << "other pairs untouched";
    EXPECT_TRUE(form_->clicks.empty());
}

TEST_F(DialogTest, ButtonClicksReachTheFormAndClosingUnloadsItQuietly) {
    ::SendMessageW(Control(ControlId::optStartMenu), BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(ControlId::optStartMenu));
    EXPECT_FALSE(Checked(ControlId::optSideMenu));
    ::SendMessageW(Dialog(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form_->clicks.empty());
    EXPECT_FALSE(form_->Loaded());

    form_->SetValue(ControlId::optSubfoldersOnly, kTrue);  // set while unloaded, shown once loaded
    ui::Load(*form_);
    EXPECT_TRUE(Checked(ControlId::optSubfoldersOnly));
    EXPECT_FALSE(Checked(ControlId::optAllFolders));
    form_->unloadOnClick = true;
    for (const ControlId button : {ControlId::cmdOK, ControlId::cmdCancel, ControlId::cmdReset}) {
        if (!form_->Loaded()) ui::Load(*form_);
        ::SendMessageW(Control(button), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(form_->clicks,
              (std::vector{ControlId::cmdOK, ControlId::cmdCancel, ControlId::cmdReset}));
    EXPECT_FALSE(::IsWindow(Dialog()));
}

// From a second thread while the test thread waits in the message box: whether the dialog could
// be used meanwhile (nullopt: no message box came up). Then closes the message box.
DWORD WINAPI DialogEnabledDuringMessageBox(void* enabled) {
    for (int tries = 0; tries < 500; ++tries, ::Sleep(10)) {
        HWND box = ::FindWindowW(L"#32770", L"Quillmarrow Default Settings");
        if (box == nullptr) continue;
        *static_cast<std::optional<bool>*>(enabled) =
            ::IsWindowEnabled(::FindWindowW(L"#32770", L"Quillmarrow 2004 Default Settings"));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return 1;
}

TEST_F(DialogTest, AMessageBoxKeepsTheDialogFromUseUntilDismissed) {
    toolkit_.Display(*form_);
    std::optional<bool> enabled;
    const win32::UniqueHandle inspector(
        ::CreateThread(nullptr, 0, &DialogEnabledDuringMessageBox, &enabled, 0, nullptr));
    toolkit_.MsgBox(u"Unexpected Error", ui::MsgBoxStyle::Critical,
                    u"Quillmarrow Default Settings");
    ::WaitForSingleObject(inspector.get(), 10000);
    EXPECT_EQ(enabled, std::optional(false)) << "the dialog is disabled while the message is up";
    EXPECT_TRUE(::IsWindowEnabled(Dialog()));
}

// The tooltips the dialog makes when the pointer first comes over it: their window, if any.
HWND TooltipsOf(HWND dialog) {
    ::SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog), HTCLIENT);
    HWND tips = nullptr;
    while ((tips = ::FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
        if (::GetWindow(tips, GW_OWNER) == dialog) return tips;
    }
    return nullptr;
}

TEST_F(DialogTest, OnlyTheCommandButtonsHaveTooltips) {
    HWND tips = TooltipsOf(Dialog());
    ASSERT_NE(tips, nullptr);
    std::map<HWND, std::wstring> tools;
    std::map<HWND, std::wstring> expected;
    const auto count = static_cast<UINT>(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0));
    for (UINT i = 0; i < count; ++i) {
        wchar_t text[128]{};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.lpszText = text;
        ::SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool));
        tools[reinterpret_cast<HWND>(tool.uId)] = text;
    }
    for (const ControlId button : {ControlId::cmdOK, ControlId::cmdCancel, ControlId::cmdReset}) {
        expected[Control(button)] = win32::Wide(ui::ControlSpecOf(button).tooltip);
    }
    EXPECT_EQ(tools, expected);
}

TEST_F(DialogTest, ADialogWhoseTooltipsCannotBeMadeWorksWithoutThem) {
    ::DestroyWindow(Control(ControlId::cmdReset));  // making its tooltip fails
    EXPECT_EQ(TooltipsOf(Dialog()), nullptr);
    ::SendMessageW(Control(ControlId::cmdCancel), BM_CLICK, 0, 0);
    EXPECT_EQ(form_->clicks, std::vector{ControlId::cmdCancel});
}

// The icon images (size, colour depth) in a module's icon resource.
std::set<std::pair<int, int>> IconImages(HMODULE module) {
    std::set<std::pair<int, int>> images;
    HRSRC group = ::FindResourceW(module, MAKEINTRESOURCEW(IDI_QUILLMARROW), RT_GROUP_ICON);
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, group)));
    if (data == nullptr) return images;
    const int count = data[4] | (data[5] << 8);
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + std::ptrdiff_t{14} * i;  // GRPICONDIRENTRY
        images.emplace(entry[0] == 0 ? 256 : entry[0], entry[6] | (entry[7] << 8));
    }
    return images;
}

TEST_F(DialogTest, TitleBarShowsTheProgramsIconWhichHasSixImages) {
    const LRESULT big = ::SendMessageW(Dialog(), WM_GETICON, ICON_BIG, 0);
    const LRESULT small = ::SendMessageW(Dialog(), WM_GETICON, ICON_SMALL, 0);
    EXPECT_NE(big, 0);
    EXPECT_NE(small, 0);
    EXPECT_NE(big, small);

    const char* exe = std::getenv("QM_PROGRAM");
    ASSERT_NE(exe, nullptr) << "QM_PROGRAM names the program file";
    std::wstring path = L"Z:";
    for (const char* c = exe; *c != '\0'; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    HMODULE program = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << exe;
    EXPECT_EQ(IconImages(program), (std::set<std::pair<int, int>>{
                                       {16, 8}, {16, 32}, {32, 8}, {32, 32}, {48, 8}, {48, 32}}));
    ::FreeLibrary(program);
}

}  // namespace
