// What the program asks of Windows beyond the dialog's behaviour: how it ends on a failure, where
// its DLLs come from, what its template and its resources (manifest, version) hold.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <set>
#include <string_view>
#include <tuple>

#include "platform/win32/tests/DialogFixture.h"
#include "platform/win32/tests/RunningProgram.h"
#include "testing/ImportSlots.h"

namespace {

using namespace dialog_test;

// Each in a child with the detach probe (only an orderly end detaches it): a failure escaping the
// failure routine exits with 3, in order, no window left; a terminate fails fast for Windows Error
// Reporting, asking for the exception address (Wine ignores it; the report needs it).
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

// The DLLs Windows' own code loads by bare name for a dialog (docs/dialog.md) that Wine has (no
// cryptbase) and loads no earlier than the program (its comctl32 and user32 load version and
// uxtheme before any code of the program runs); and one of a name no system has.
constexpr const wchar_t* kSystemsBareNames[] = {L"dwmapi.dll", L"msimg32.dll", L"oleacc.dll"};
constexpr wchar_t kPlanted[] = L"qm_planted_probe.dll";
constexpr wchar_t kDialogTitle[] = L"Quillmarrow 2004 Default Settings";

std::wstring Lowered(std::wstring text) {
    std::ranges::transform(text, text.begin(), ::towlower);
    return text;
}

// The program as downloaded, a DLL planted beside it: a bare-name load inside it (Wine makes none
// once the program runs) searches System32 alone; critical errors ask for no disk, crashes go to
// Windows Error Reporting (no SEM_NOGPFAULTERRORBOX). A second start while it runs shows only its
// message (its style: unit tests; its icon: dialog tests), ending once dismissed, the first kept.
TEST(TheProgram, SearchesOnlySystem32AsksForNoDiskAndMeetsASecondStartWithAMessage) {
    ProgramFolder folder("QM_PROGRAM");
    ASSERT_TRUE(folder.Plant("QM_DETACH_PROBE", kPlanted));
    const RunningProgram first(folder.Program());
    const HWND dialog = first.WaitForWindow();
    ASSERT_EQ(TextOf(dialog), kDialogTitle);
    EXPECT_EQ(first.Call("LoadLibraryW", kPlanted), 0U) << "the planted DLL loaded";
    EXPECT_EQ(first.Call("GetErrorMode"), DWORD{SEM_FAILCRITICALERRORS});

    const RunningProgram second(folder.Program());
    const HWND box = second.WaitForWindow();
    std::wstring texts;  // the prompt (the icon's has none)
    for (HWND child = nullptr; (child = ::FindWindowExW(box, child, L"Static", nullptr));)
        texts += TextOf(child);
    EXPECT_EQ(std::tuple(TextOf(box), texts, second.Windows().size()),
              std::tuple(std::wstring(L"Quillmarrow Default Settings"),
                         std::wstring(L"Quillmarrow Default Settings is already running on your "
                                      L"system."),
                         std::size_t{1}))
        << "the title, the prompt, no window but the message box";
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.ExitCode(10000), 0U);
    EXPECT_EQ(first.Windows(), std::vector{dialog}) << "the first instance as it was";
}

// The program's own wWinMain where kernel32 has no SetDefaultDllDirectories (Windows 7 without
// KB2533623): its folder stays first for bare names no system has, but Windows' DLLs come from
// System32 whatever is planted beside it. On std::terminate its own handler, not the one before,
// fails fast; a failure that escapes the failure routine exits with 3.
TEST(TheProgram, OnAKernel32WithoutDefaultDllDirectoriesHasWindowsDllsFromSystem32) {
    ProgramFolder folder("QM_HOOKED_PROGRAM");
    for (const wchar_t* name : kSystemsBareNames)
        ASSERT_TRUE(folder.Plant("QM_DETACH_PROBE", name));
    ASSERT_TRUE(folder.Plant("QM_DETACH_PROBE", kPlanted));
    {
        const RunningProgram program(folder.Program());
        ASSERT_EQ(TextOf(program.WaitForWindow()), kDialogTitle) << std::hex << program.ExitCode(0);
        EXPECT_NE(program.Call("LoadLibraryW", kPlanted), 0U) << "the fallback not taken";
        wchar_t system[MAX_PATH]{};
        const std::wstring system32(system, ::GetSystemDirectoryW(system, MAX_PATH));
        std::set<std::wstring> wanted, found;
        for (const wchar_t* name : kSystemsBareNames) {
            EXPECT_NE(program.Call("LoadLibraryW", name), 0U) << name;
            wanted.insert(Lowered(system32 + L'\\' + name));
        }
        for (const std::wstring& path : program.Modules())
            if (wanted.contains(Lowered(path))) found.insert(Lowered(path));
        EXPECT_EQ(found, wanted);
    }
    ::SetEnvironmentVariableW(L"QM_TERMINATE_AT_START", L"1");
    const RunningProgram terminated(folder.Program());
    ::SetEnvironmentVariableW(L"QM_TERMINATE_AT_START", nullptr);
    EXPECT_EQ(terminated.ExitCode(20000), 0xC0000602U)
        << std::hex << "STATUS_FAIL_FAST_EXCEPTION; 0xBAD07E43: the handler before wWinMain";
    ::SetEnvironmentVariableW(L"QM_ESCAPE_AT_START", L"1");
    const RunningProgram escaped(folder.Program());
    ::SetEnvironmentVariableW(L"QM_ESCAPE_AT_START", nullptr);
    EXPECT_EQ(escaped.ExitCode(20000), 3U) << "a failure escaping the failure routine";
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

// The names and version Explorer's Details tab shows, read through the resource's translation
// table as Explorer does; the version as the project declares it (the fixed numbers: msi_tables).
TEST(VersionInfo, NamesTheProgramAndTheVersionTheProjectDeclares) {
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
    const std::string declared = std::getenv("QM_VERSION") ? std::getenv("QM_VERSION") : "";
    const std::wstring version(declared.begin(), declared.end());  // the project's, as declared
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(names, L"Quillmarrow Default Settings|Quillmarrow Default Settings|Vendrakel|" +
                         version + L"|" + version + L"|");
}

}  // namespace
