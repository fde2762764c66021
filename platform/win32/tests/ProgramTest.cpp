// What the program asks of Windows beyond the dialog's face: how a terminate ends the process,
// where the template puts the tab stops of the option pairs, and what the manifest asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <regex>
#include <string>
#include <tuple>
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

// The font the template asks for, read from the template as the dialog manager reads it: Wine takes
// the face, size, weight and italic from it but always makes the font in the default character
// set, where Windows takes the template's.
TEST(DialogTemplate, AsksForTheRegularShellDialogFontInTheSystemsCharacterSet) {
    const std::vector<WORD> dialog =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    const auto after = [&dialog](std::size_t field) {  // past a number (0xFFFF, n) or a text
        const auto* text = reinterpret_cast<const wchar_t*>(&dialog.at(field));
        return field + (dialog.at(field) == 0xFFFF ? 2 : std::wcslen(text) + 1);
    };
    const std::size_t at = after(after(after(13)));  // past the menu, the class and the title
    const std::wstring face(reinterpret_cast<const wchar_t*>(&dialog.at(at + 3)));
    EXPECT_EQ(std::tuple(dialog.at(at), dialog.at(at + 1), LOBYTE(dialog.at(at + 2)),
                         HIBYTE(dialog.at(at + 2)), face),
              std::tuple(WORD{8}, WORD{FW_NORMAL}, BYTE{FALSE}, BYTE{DEFAULT_CHARSET},
                         std::wstring(L"MS Shell Dlg")))
        << "8 points, regular, upright, the system's character set";
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
