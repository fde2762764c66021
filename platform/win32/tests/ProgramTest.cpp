// What the program asks of Windows beyond the dialog's face: how a terminate ends the process,
// where the template puts the tab stops of the option pairs, and what the manifest asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/tests/DialogFixture.h"
#include "testing/ImportSlots.h"

namespace {

using namespace dialog_test;
using enum ControlId;

TEST(Terminate, EndsTheProcessAsACrashForWindowsErrorReporting) {
    if (std::getenv("QM_TERMINATE") != nullptr) {
        LoadDetachProbe();
        // What the handler asks of the fail-fast, which Wine's ignores: without the exception
        // address the crash report would point nowhere. Anything else ends the child at once.
        static decltype(&::RaiseFailFastException) raise = nullptr;
        raise = import_slots::RedirectImport(
            "RaiseFailFastException", +[](PEXCEPTION_RECORD record, PCONTEXT context, DWORD flags) {
                if (flags != FAIL_FAST_GENERATE_EXCEPTION_ADDRESS)
                    ::ExitProcess(0xBADF1A60 | flags);
                raise(record, context, flags);
            });
        []() noexcept { static_cast<void>(std::vector<int>().at(0)); }();  // throws: terminate
        return;
    }
    // The child ends in the program's terminate handler (TerminateHandler.cpp), torn down at once
    // as a fail-fast is: no DLL detaches. An ExitProcess with the same code would detach them.
    const Ending ending = RunChild(L"Terminate.*", L"QM_TERMINATE", L"1");
    EXPECT_EQ(ending.exitCode, 0xC0000602U) << "STATUS_FAIL_FAST_EXCEPTION; 0xBADF1A6n: flags n";
    EXPECT_FALSE(ending.detached) << "a fail-fast, not a quiet exit";
}

// What the template asks for, where Wine answers otherwise than Windows. The font: Wine takes
// the template's face, size, weight and italic, but always the default character set. The tab
// stops, before any check mark moves them: Wine's BM_SETCHECK also clears the other buttons of
// the group, tab stops included, which Windows' leaves as they are.
TEST(DialogTemplate, AsksForTheClassicFontAndGivesNoOptionButtonATabStopOfItsOwn) {
    const std::vector<WORD> dialog =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    const auto after = [&dialog](std::size_t field) {  // past a number (0xFFFF, n) or a text
        const auto* text = reinterpret_cast<const wchar_t*>(&dialog.at(field));
        return field + (dialog.at(field) == 0xFFFF ? 2 : std::wcslen(text) + 1);
    };
    const std::size_t at = after(after(after(13)));  // DLGTEMPLATEEX past its menu, class, title
    const std::wstring face(reinterpret_cast<const wchar_t*>(&dialog.at(at + 3)));
    EXPECT_EQ(std::tuple(dialog.at(at), dialog.at(at + 1), LOBYTE(dialog.at(at + 2)),
                         HIBYTE(dialog.at(at + 2)), face),
              std::tuple(WORD{8}, WORD{FW_NORMAL}, BYTE{FALSE}, BYTE{DEFAULT_CHARSET},
                         std::wstring(L"MS Shell Dlg")))
        << "8 points, regular, upright, the system's character set";

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

TEST(Manifest, AsksForWhatTheProgramHandlesAndNoMore) {
    const std::string xml = ProgramResource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(xml.empty()) << "the manifest of QM_PROGRAM";
    const std::string in = R"( xmlns="http://schemas.microsoft.com/SMI/)";
    EXPECT_EQ(Found(xml, "<dpiAware" + in + R"(2005/WindowsSettings">([^<]*)<)"), "true");
    EXPECT_EQ(Found(xml, "<dpiAwareness" + in + R"(2016/WindowsSettings">([^<]*)<)"),
              "PerMonitorV2, System");
    EXPECT_EQ(Found(xml, R"(<assemblyIdentity [^>]*name="Vendrakel\.QuillmarrowDefaults"[^>]*)"
                         R"re(processorArchitecture="([^"]*)")re"),
              "*");
    // No consent prompt for an administrator, no UI access.
    EXPECT_EQ(Found(xml, R"re(<requestedExecutionLevel [^>]*level="([^"]*)")re"), "asInvoker");
    EXPECT_EQ(Found(xml, R"re(<requestedExecutionLevel [^>]*uiAccess="([^"]*)")re"), "false");
    // Common Controls 6: the visual styles and the tooltips the dialog is drawn with.
    const std::string controls =
        Found(xml, R"re(<dependentAssembly>\s*(<assemblyIdentity [^>]*/>))re");
    EXPECT_EQ(Found(controls, R"re(name="([^"]*)")re"), "Microsoft.Windows.Common-Controls");
    EXPECT_EQ(Found(controls, R"re(version="([^"]*)")re"), "6.0.0.0");
    EXPECT_EQ(Found(controls, R"re(publicKeyToken="([^"]*)")re"), "6595b64144ccf1df");
    // Windows 7, 8, 8.1 and 10 (11 too), as Microsoft names them.
    std::set<std::string> systems;
    const std::regex supported(R"re(<supportedOS Id="([^"]*)")re");
    for (std::sregex_iterator it(xml.begin(), xml.end(), supported), end; it != end; ++it)
        systems.insert((*it)[1].str());
    EXPECT_EQ(systems, (std::set<std::string>{"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                              "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                              "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                              "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}));
}

// The names Explorer's Details tab and Task Manager show: the version resource read through its
// own translation table, as they read it.
TEST(VersionInfo, NamesTheProgramInTheLanguageItDeclares) {
    const std::wstring program = BuiltFile("QM_PROGRAM");
    DWORD unused = 0;
    std::vector<BYTE> info(::GetFileVersionInfoSizeW(program.c_str(), &unused));
    ASSERT_FALSE(info.empty()) << "no version resource";
    ASSERT_TRUE(
        ::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    const auto query = [&info](const std::wstring& path) {
        void* value = nullptr;
        UINT length = 0;
        return ::VerQueryValueW(info.data(), path.c_str(), &value, &length) && length > 0 ? value
                                                                                          : nullptr;
    };
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_TRUE(translation != nullptr && fixed != nullptr);
    const auto text = [&](const wchar_t* name) {
        wchar_t path[64]{};
        std::swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1],
                      name);
        const auto* value = static_cast<const wchar_t*>(query(path));
        return std::wstring(value != nullptr ? value : L"(none)");
    };
    EXPECT_EQ(text(L"FileDescription"), L"Quillmarrow Default Settings");
    EXPECT_EQ(text(L"ProductName"), L"Quillmarrow Default Settings");
    EXPECT_EQ(text(L"CompanyName"), L"Vendrakel");
    EXPECT_EQ(text(L"FileVersion"), std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                        std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                        std::to_wstring(HIWORD(fixed->dwFileVersionLS)));
}

}  // namespace
