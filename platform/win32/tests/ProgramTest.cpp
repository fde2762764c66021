// What the program asks of Windows beyond the dialog's behaviour: how it ends on a failure, where
// its DLLs come from, what its template and its resources (manifest, version) hold.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/win32/DllSearch.h"
#include "platform/win32/tests/DialogFixture.h"
#include "testing/ImportSlots.h"

namespace {

using namespace dialog_test;

// Each in a child with the detach probe, which only an orderly end detaches: a failure escaping
// the failure routine ends it with exit code 3, in order, no window left to wait for; a terminate
// as a crash for Windows Error Reporting, a fail-fast that detaches nothing, asking for the
// exception address (which Wine ignores: without it the crash report would point nowhere).
TEST(ProcessEnd, AnEscapedFailureExitsWithCode3AndATerminateFailsFast) {
    if (IsChild("terminate")) {
        ASSERT_TRUE(LoadDetachProbe());
        static decltype(&::RaiseFailFastException) raise = nullptr;
        raise = import_slots::RedirectImport(
            "RaiseFailFastException", +[](PEXCEPTION_RECORD record, PCONTEXT context, DWORD flags) {
                if (flags != FAIL_FAST_GENERATE_EXCEPTION_ADDRESS)
                    ::ExitProcess(0xBADF1A60 | flags);
                raise(record, context, flags);
            });
        []() noexcept { static_cast<void>(std::vector<int>().at(0)); }();  // throws: terminate
    }
    if (IsChild("escape")) {
        ASSERT_TRUE(LoadDetachProbe());
        // An abort (where an exception that escapes to the runtime ends) exits with 3 too.
        std::signal(SIGABRT, [](int) { std::_Exit(97); });
        InstalledWin32Toolkit installed;
        const auto form = std::make_shared<RecordingForm>();
        form->failing = true;
        ui::Show(*form);
        ::PostMessageW(::GetDlgItem(TheDialog(), win32::ChildId(cmdOK)), BM_CLICK, 0, 0);
        installed.toolkit.RunMessageLoop();
        ADD_FAILURE() << "the process went on";
    }
    if (std::getenv("QM_CHILD") != nullptr) return;
    const Ending escaped = RunChild(L"ProcessEnd.*", L"escape");
    EXPECT_EQ(escaped.exitCode, 3U) << "STILL_ACTIVE (259): a window kept it waiting";
    EXPECT_TRUE(escaped.detached) << "an orderly end";
    const Ending terminated = RunChild(L"ProcessEnd.*", L"terminate");
    EXPECT_EQ(terminated.exitCode, 0xC0000602U)
        << "STATUS_FAIL_FAST_EXCEPTION; 0xBADF1A6n: flags n";
    EXPECT_FALSE(terminated.detached) << "a fail-fast, not a quiet exit";
}

// A DLL of a name no system has, planted beside this program, is found there by a bare-name load,
// and not once the program's start-up policy applies (in a child: it holds for its process).
TEST(DllSearch, ADllBesideTheProgramIsNotLoadedOnceTheStartUpPolicyApplies) {
    constexpr wchar_t kPlanted[] = L"qm_planted_probe.dll";
    if (IsChild("dll search")) {
        win32::SearchOnlySystem32ForDlls();
        EXPECT_EQ(::LoadLibraryW(kPlanted), nullptr);
        EXPECT_EQ(::GetLastError(), DWORD{ERROR_MOD_NOT_FOUND});
        EndChild();
    }
    wchar_t self[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring beside(self);
    beside.replace(beside.rfind(L'\\') + 1, std::wstring::npos, kPlanted);
    ASSERT_TRUE(::CopyFileW(BuiltFile("QM_DETACH_PROBE").c_str(), beside.c_str(), FALSE));
    HMODULE found = ::LoadLibraryW(kPlanted);
    EXPECT_NE(found, nullptr) << "a bare-name load finds it without the policy";
    if (found != nullptr) ::FreeLibrary(found);
    EXPECT_EQ(RunChild(L"DllSearch.*", L"dll search").exitCode, kChildPassed);
    ::DeleteFileW(beside.c_str());
}

// What the template asks for where Wine answers otherwise than Windows: the font's character set
// (Wine makes every dialog font in the default one), and the option buttons' tab stops before any
// check mark moves them (Wine's BM_SETCHECK also clears the rest of the group's, Windows' not).
TEST(DialogTemplate, AsksForTheSystemsCharacterSetAndGivesNoOptionButtonATabStopOfItsOwn) {
    const std::vector<WORD> dialog =
        win32::BuildDialogTemplate(ui::OptionsWindow(), ui::OptionsControls());
    const std::u16string_view face = u"MS Shell Dlg";
    const auto found = std::search(dialog.begin(), dialog.end(), face.begin(), face.end());
    ASSERT_NE(found, dialog.end());
    EXPECT_EQ(HIBYTE(found[-1]), DEFAULT_CHARSET) << "the word before the face: italic, charset";

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

// What the manifest asks of Windows that Wine does not act on: per-monitor v2 DPI awareness
// (system aware before Windows 10 1703), Common Controls 6 (the visual styles, and the tooltips'
// structure as the dialog fills it), and no elevation.
TEST(Manifest, AsksForDpiAwarenessCommonControls6AndNoElevation) {
    const std::string xml = ProgramResource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    for (const char* asked :
         {R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true<)",
          R"(<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">)"
          R"(PerMonitorV2, System<)",
          R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
          R"(publicKeyToken="6595b64144ccf1df")",
          R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"})
        EXPECT_NE(xml.find(asked), std::string::npos) << asked;
}

// The names and the version Explorer's Details tab shows, read through the resource's own
// translation table as Explorer reads it; the version as the download's readme states it on its
// first line, outside the build (the fixed numbers are the MSI's File version: msi_tables).
TEST(VersionInfo, NamesTheProgramAndItsVersionAsItsReadmeDoes) {
    const std::wstring program = BuiltFile("QM_PROGRAM");
    DWORD unused = 0;
    std::vector<BYTE> info(::GetFileVersionInfoSizeW(program.c_str(), &unused));
    ASSERT_TRUE(!info.empty() &&
                ::GetFileVersionInfoW(program.c_str(), 0, DWORD(info.size()), info.data()));
    const auto query = [&info](const std::wstring& path) -> void* {
        void* value = nullptr;
        UINT length = 0;
        return ::VerQueryValueW(info.data(), path.c_str(), &value, &length) && length ? value
                                                                                      : nullptr;
    };
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_NE(translation, nullptr);
    std::wstring names;
    for (const wchar_t* key :
         {L"FileDescription", L"ProductName", L"CompanyName", L"ProductVersion", L"FileVersion"}) {
        wchar_t path[64]{};
        std::swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1],
                      key);
        const auto* value = static_cast<const wchar_t*>(query(path));
        names += std::wstring(value != nullptr ? value : L"(none)") + L"|";
    }
    char first[128]{};
    if (std::FILE* readme = ::_wfopen(BuiltFile("QM_README").c_str(), L"rb")) {
        static_cast<void>(std::fgets(first, sizeof(first), readme));
        std::fclose(readme);
    }
    const std::string line(first + (std::strncmp(first, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0));  // a BOM
    const std::string version = line.substr(0, line.find_first_of("\r\n")).substr(29);
    EXPECT_EQ(line.substr(0, 29), "Quillmarrow Default Settings ");
    EXPECT_EQ(names, L"Quillmarrow Default Settings|Quillmarrow Default Settings|Vendrakel|" +
                         std::wstring(version.begin(), version.end()) + L"|" +
                         std::wstring(version.begin(), version.end()) + L"|");
}

}  // namespace
