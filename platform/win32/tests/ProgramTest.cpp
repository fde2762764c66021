// What the program asks of Windows beyond the dialog's face: how a terminate ends the process,
// where the template puts the tab stops of the option pairs, and what the manifest asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "platform/win32/tests/DialogFixture.h"

namespace {

using namespace dialog_test;
using enum ControlId;

TEST(Terminate, EndsTheProcessAsACrashForWindowsErrorReporting) {
    if (std::getenv("QM_TERMINATE") != nullptr) {
        []() noexcept { static_cast<void>(std::vector<int>().at(0)); }();  // throws: terminate
        return;
    }
    // The child ends in the program's terminate handler (TerminateHandler.cpp); 3 would be the
    // quiet end of a failure in the failure routine.
    EXPECT_EQ(RunChild(L"Terminate.*", L"QM_TERMINATE", L"1"), 0xC0000602U)
        << "STATUS_FAIL_FAST_EXCEPTION";
}

// What the template asks for, before any check mark moves a tab stop. (Wine's BM_SETCHECK also
// clears the other buttons of the group, tab stops included; Windows' leaves them as they are.)
TEST(DialogTemplate, GivesNoOptionButtonATabStopOfItsOwn) {
    const std::vector<WORD> dialog =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    const win32::UniqueWindow window(::CreateDialogIndirectParamW(
        nullptr, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0));
    ASSERT_TRUE(window);
    for (const ControlId option : {optAllFolders, optSubfoldersOnly, optTwoPane, optFolderWindow,
                                   optSideMenu, optStartMenu}) {
        HWND button = ::GetDlgItem(window.get(), win32::ChildId(option));
        EXPECT_EQ(::GetWindowLongW(button, GWL_STYLE) & (BS_TYPEMASK | WS_TABSTOP),
                  BS_AUTORADIOBUTTON)
            << ui::ControlSpecOf(option).name;
    }
}

// The text that the first group of `pattern` finds first in `text`.
std::string Found(const std::string& text, const std::string& pattern) {
    std::smatch found;
    return std::regex_search(text, found, std::regex(pattern)) ? found[1].str() : "(none)";
}

TEST(Manifest, AsksForPerMonitorV2WithSystemAwarenessBeforeItOnAnyProcessor) {
    const std::string xml = ProgramResource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(xml.empty()) << "the manifest of QM_PROGRAM";
    const std::string in = R"( xmlns="http://schemas.microsoft.com/SMI/)";
    EXPECT_EQ(Found(xml, "<dpiAware" + in + R"(2005/WindowsSettings">([^<]*)<)"), "true");
    EXPECT_EQ(Found(xml, "<dpiAwareness" + in + R"(2016/WindowsSettings">([^<]*)<)"),
              "PerMonitorV2, System");
    EXPECT_EQ(Found(xml, R"(<assemblyIdentity [^>]*name="Vendrakel\.QuillmarrowDefaults"[^>]*)"
                         R"re(processorArchitecture="([^"]*)")re"),
              "*");
}

}  // namespace
