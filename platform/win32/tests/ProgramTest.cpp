// What the program asks of Windows beyond the dialog's face: how a terminate ends the process,
// where Tab stops in pairs whose lower button is selected, and what the manifest asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "common/Fault.h"
#include "platform/win32/tests/DialogFixture.h"

namespace {

using namespace dialog_test;

constexpr DWORD kStatusFailFast = 0xC0000602;  // STATUS_FAIL_FAST_EXCEPTION

void Fails() {
    throw Fault("a planted terminate");
}
void MustNotFail() noexcept {
    Fails();
}

TEST(Terminate, EndsTheProcessAsACrashForWindowsErrorReporting) {
    if (std::getenv("QM_TERMINATE") == nullptr) {
        // In a child: the terminate handler of the program (TerminateHandler.cpp) ends it.
        EXPECT_EQ(RunChild(L"Terminate.*", L"QM_TERMINATE", L"1"), kStatusFailFast)
            << "3: ended quietly as a failure of the failure routine";
        return;
    }
    MustNotFail();
}

TEST_F(DialogTest, TabStopsOnlyOnTheSelectedButtonOfEachPair) {
    ui::Unload(*form_);
    for (const ControlId lower :
         {ControlId::optSubfoldersOnly, ControlId::optFolderWindow, ControlId::optStartMenu}) {
        form_->SetValue(lower, kTrue);
    }
    ui::Load(*form_);
    toolkit_.Display(*form_);
    toolkit_.DoEvents();
    ASSERT_EQ(::GetFocus(), Control(ControlId::cmdOK));
    for (const ControlId next :
         {ControlId::cmdCancel, ControlId::cmdReset, ControlId::optSubfoldersOnly,
          ControlId::optFolderWindow, ControlId::optStartMenu, ControlId::cmdOK}) {
        Key(VK_TAB);
        EXPECT_EQ(::GetFocus(), Control(next)) << ui::ControlSpecOf(next).name;
    }
}

// What the template asks for, before any check mark moves a tab stop. (Wine's BM_SETCHECK also
// clears the other buttons of the group, tab stops included; Windows' leaves them as they are.)
TEST(DialogTemplate, GivesNoOptionButtonATabStopOfItsOwn) {
    const std::vector<WORD> dialog =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    const win32::UniqueWindow window(::CreateDialogIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0));
    ASSERT_TRUE(window);
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        if (entry.kind != ui::ControlKind::OptionButton) continue;
        HWND option = ::GetDlgItem(window.get(), win32::ChildId(entry.id));
        EXPECT_EQ(::GetWindowLongW(option, GWL_STYLE) & WS_TABSTOP, 0) << entry.name;
    }
}

// A settings element of the manifest as "its namespace: its text".
std::string Setting(const std::string& xml, const std::string& name) {
    std::smatch found;
    const std::regex element("<" + name + R"re(\s+xmlns="([^"]*)"\s*>\s*([^<]*?)\s*</)re");
    return std::regex_search(xml, found, element) ? found[1].str() + ": " + found[2].str() : "";
}

TEST(Manifest, AsksForPerMonitorV2WithSystemAwarenessBeforeItOnAnyProcessor) {
    const std::string xml = ProgramResource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(xml.empty()) << "the manifest of QM_PROGRAM";
    EXPECT_EQ(Setting(xml, "dpiAware"),
              "http://schemas.microsoft.com/SMI/2005/WindowsSettings: true");
    EXPECT_EQ(Setting(xml, "dpiAwareness"),
              "http://schemas.microsoft.com/SMI/2016/WindowsSettings: PerMonitorV2, System");
    std::smatch own;
    const std::regex identity(
        R"re(<assemblyIdentity\b(?=[^>]*\bname="Vendrakel\.QuillmarrowDefaults")[^>]*)re"
        R"re(\bprocessorArchitecture="([^"]*)")re");
    ASSERT_TRUE(std::regex_search(xml, own, identity)) << "the program's own identity";
    EXPECT_EQ(own[1].str(), "*");
}

}  // namespace
