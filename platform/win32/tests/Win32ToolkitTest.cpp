// The Win32 toolkit against real windows (under Wine in the cross build). Needs a display: where
// no window can be created, every test is skipped.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/ControlStyles.h"
#include "platform/win32/Failure.h"
#include "platform/win32/FittingFont.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Toolkit.h"
#include "ui/Form.h"
#include "ui/Toolkit.h"
#include "ui/layout.h"

namespace {

using ui::ControlId;

class RecordingForm final : public ui::Form {
  public:
    const ui::WindowSpec& Window() const override { return ui::OptionsWindow(); }
    std::span<const ui::ControlSpec, ui::kControlCount> Controls() const override {
        return ui::OptionsControls();
    }
    void OnLoad() override { ++loads; }
    void OnClick(ControlId button) override {
        clicks.push_back(button);
        if (unloadOnClick) ui::Unload(*this);
    }

    int loads = 0;
    std::vector<ControlId> clicks;
    bool unloadOnClick = false;
};

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
}

class Win32ToolkitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui::InstallToolkit(&toolkit_);
        if (!LoadForm()) GTEST_SKIP() << "no display: windows cannot be created here";
    }
    void TearDown() override {
        if (form_->Loaded()) ui::Unload(*form_);
        ui::InstallToolkit(nullptr);
    }

    bool LoadForm() {
        try {
            ui::Load(*form_);
            return true;
        } catch (const win32::Failure&) {
            return false;
        }
    }

    HWND Window() const { return reinterpret_cast<HWND>(form_->native); }
    HWND Control(ControlId id) const { return ::GetDlgItem(Window(), win32::ChildId(id)); }
    bool HasStyle(ControlId id, DWORD style) const { return (StyleOf(Control(id)) & style) != 0; }
    UINT Dpi() const {
        const win32::WindowDc dc(Window());
        return static_cast<UINT>(::GetDeviceCaps(dc.get(), LOGPIXELSY));
    }

    win32::Win32Toolkit toolkit_{::GetModuleHandleW(nullptr)};
    std::shared_ptr<RecordingForm> form_ = std::make_shared<RecordingForm>();
};

TEST_F(Win32ToolkitTest, ControlsAreCreatedInTabOrderWithTheirIds) {
    std::vector<int> ids;
    for (HWND child = ::GetWindow(Window(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(::GetDlgCtrlID(child));
    }
    std::vector<int> expected;
    for (const ui::ControlSpec& entry : ui::InTabOrder())
        expected.push_back(win32::ChildId(entry.id));
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(form_->loads, 1);
    EXPECT_FALSE(::IsWindowVisible(Window())) << "still hidden while it loads";
}

TEST_F(Win32ToolkitTest, WindowHasTheLayoutsCaptionAndAFixedBorder) {
    wchar_t caption[64]{};
    ::GetWindowTextW(Window(), caption, 64);
    EXPECT_STREQ(caption, L"Quillmarrow 2004 Default Settings");
    const DWORD style = StyleOf(Window());
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0U);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0U);
}

TEST_F(Win32ToolkitTest, ClientAreaAndControlsAreTheTwipsTableAtTheWindowsDpi) {
    const int dpi = static_cast<int>(Dpi());
    RECT client{};
    ::GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, ui::TwipsToPixels(8580, dpi));
    EXPECT_EQ(client.bottom, ui::TwipsToPixels(3015, dpi));

    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        RECT rect{};
        ::GetWindowRect(Control(entry.id), &rect);
        ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&rect), 2);
        const ui::TwipsRect twips = ui::ClientTwips(entry);
        EXPECT_EQ(rect.left, ui::TwipsToPixels(twips.left, dpi)) << entry.name;
        EXPECT_EQ(rect.top, ui::TwipsToPixels(twips.top, dpi)) << entry.name;
        EXPECT_EQ(rect.right - rect.left, ui::TwipsToPixels(twips.width, dpi)) << entry.name;
        EXPECT_EQ(rect.bottom - rect.top, ui::TwipsToPixels(twips.height, dpi)) << entry.name;
    }
}

TEST_F(Win32ToolkitTest, EveryCaptionFitsItsControlInTheChosenFont) {
    const auto font = reinterpret_cast<HFONT>(
        ::SendMessageW(Control(ControlId::lblOptionInfo), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    const win32::WindowDc dc(Window());
    const win32::SelectedObject selected(dc.get(), font);
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        EXPECT_TRUE(win32::CaptionFits(dc.get(), entry, Dpi())) << entry.name;
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(Control(entry.id), WM_GETFONT, 0, 0)),
                  font)
            << entry.name;
    }
}

TEST_F(Win32ToolkitTest, ButtonsAreTabStopsAndNoneIsTheDefault) {
    for (const ControlId id : {ControlId::cmdOK, ControlId::cmdCancel, ControlId::cmdReset}) {
        EXPECT_EQ(StyleOf(Control(id)) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
        EXPECT_TRUE(HasStyle(id, WS_TABSTOP));
    }
    for (const ControlId id :
         {ControlId::fraFolderTree, ControlId::fraWindowStyle, ControlId::fraShortcutLocation}) {
        EXPECT_EQ(StyleOf(Control(id)) & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
        EXPECT_FALSE(HasStyle(id, WS_TABSTOP));
    }
    EXPECT_TRUE(HasStyle(ControlId::lblOptionInfo, SS_NOPREFIX));
    EXPECT_FALSE(HasStyle(ControlId::lblOptionInfo, WS_TABSTOP));
}

TEST_F(Win32ToolkitTest, EachPairIsOneGroupAndTabLandsOnItsSelectedButton) {
    const ControlId upper = ControlId::optTwoPane;
    const ControlId lower = ControlId::optFolderWindow;
    EXPECT_EQ(::GetNextDlgGroupItem(Window(), Control(upper), FALSE), Control(lower));
    EXPECT_EQ(::GetNextDlgGroupItem(Window(), Control(lower), FALSE), Control(upper));
    EXPECT_TRUE(HasStyle(upper, WS_TABSTOP));
    EXPECT_FALSE(HasStyle(lower, WS_TABSTOP));

    form_->SetValue(lower, kTrue);
    EXPECT_FALSE(toolkit_.IsChecked(*form_, upper));
    EXPECT_TRUE(toolkit_.IsChecked(*form_, lower));
    EXPECT_FALSE(HasStyle(upper, WS_TABSTOP));
    EXPECT_TRUE(HasStyle(lower, WS_TABSTOP));

    // Neither selected: the pair stays reachable through its upper button.
    form_->SetValue(lower, kFalse);
    EXPECT_TRUE(HasStyle(upper, WS_TABSTOP));
    EXPECT_FALSE(HasStyle(lower, WS_TABSTOP));
    EXPECT_TRUE(toolkit_.IsChecked(*form_, ControlId::optAllFolders)) << "other pairs untouched";
}

TEST_F(Win32ToolkitTest, ClickingAnOptionButtonMovesTheTabStopAndRaisesNoEvent) {
    ::SendMessageW(Control(ControlId::optStartMenu), BM_CLICK, 0, 0);
    EXPECT_TRUE(toolkit_.IsChecked(*form_, ControlId::optStartMenu));
    EXPECT_FALSE(toolkit_.IsChecked(*form_, ControlId::optSideMenu));
    EXPECT_TRUE(HasStyle(ControlId::optStartMenu, WS_TABSTOP));
    EXPECT_FALSE(HasStyle(ControlId::optSideMenu, WS_TABSTOP));
    EXPECT_TRUE(form_->clicks.empty());
}

TEST_F(Win32ToolkitTest, CommandButtonClicksReachTheFormWhichMayUnloadItself) {
    form_->unloadOnClick = true;
    const HWND window = Window();
    ::SendMessageW(Control(ControlId::cmdReset), BM_CLICK, 0, 0);
    EXPECT_EQ(form_->clicks, std::vector<ControlId>{ControlId::cmdReset});
    EXPECT_FALSE(form_->Loaded());
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(Win32ToolkitTest, EnterAndEscPressNothing) {
    toolkit_.Display(*form_);
    ::SendMessageW(Window(), WM_COMMAND, IDOK, 0);
    ::SendMessageW(Window(), WM_COMMAND, IDCANCEL, 0);
    for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        ::PostMessageW(Control(ControlId::cmdOK), WM_KEYDOWN, key, 0);
        ::PostMessageW(Control(ControlId::cmdOK), WM_KEYUP, key, 0);
    }
    toolkit_.DoEvents();
    EXPECT_TRUE(form_->clicks.empty());
    EXPECT_TRUE(form_->Loaded());
}

TEST_F(Win32ToolkitTest, ClosingTheWindowUnloadsTheFormWithoutAnEvent) {
    ::SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form_->Loaded());
    EXPECT_TRUE(form_->clicks.empty());
    EXPECT_TRUE(ui::LoadedForms().empty());
}

TEST_F(Win32ToolkitTest, SelectionSetWhileUnloadedIsShownWhenLoaded) {
    ui::Unload(*form_);
    form_->SetValue(ControlId::optSubfoldersOnly, kTrue);
    ASSERT_TRUE(LoadForm());
    EXPECT_TRUE(toolkit_.IsChecked(*form_, ControlId::optSubfoldersOnly));
    EXPECT_FALSE(toolkit_.IsChecked(*form_, ControlId::optAllFolders));
    EXPECT_TRUE(HasStyle(ControlId::optSubfoldersOnly, WS_TABSTOP));
}

TEST(Win32InstanceTest, TheFirstHolderOfTheNameIsThePreviousInstanceUntilItEnds) {
    auto first = std::make_unique<win32::Win32Toolkit>(::GetModuleHandleW(nullptr));
    EXPECT_FALSE(first->PrevInstance());
    EXPECT_FALSE(first->PrevInstance()) << "asking again does not find itself";
    {
        win32::Win32Toolkit second(::GetModuleHandleW(nullptr));
        EXPECT_TRUE(second.PrevInstance());
    }
    first.reset();
    win32::Win32Toolkit third(::GetModuleHandleW(nullptr));
    EXPECT_FALSE(third.PrevInstance());
}

}  // namespace
