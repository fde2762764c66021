#pragma once
// What the dialog tests share: a form that records its clicks, a fixture that loads it on the
// Win32 toolkit, and the build's files it reads.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Trap.h"
#include "common/Fault.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Toolkit.h"
#include "ui/Form.h"
#include "ui/layout.h"

namespace dialog_test {

using ui::ControlId;
using enum ui::ControlId;

class RecordingForm final : public ui::Form {
  public:
    const ui::WindowSpec& Window() const override { return ui::OptionsWindow(); }
    ui::ControlTable Controls() const override { return ui::OptionsControls(); }
    void OnLoad() override {}
    void OnClick(ControlId button) override {
        clicks.push_back(button);
        // A handler's failure, whose report fails too when unloading the form fails.
        if (failing) app::RunTrapped([] { throw Fault("a failing handler"); });
    }
    std::vector<ControlId> clicks;
    bool failing = false;

  protected:
    void OnUnloaded() override {
        if (failing) throw Fault("a failing unload");
    }
};

// The Win32 toolkit, installed for as long as this lives.
struct InstalledWin32Toolkit {
    win32::Win32Toolkit toolkit{::GetModuleHandleW(nullptr)};
    InstalledWin32Toolkit() { ui::InstallToolkit(&toolkit); }
    ~InstalledWin32Toolkit() { ui::InstallToolkit(nullptr); }
};

inline HWND TheDialog() {
    return ::FindWindowW(L"#32770", L"Quillmarrow 2004 Default Settings");
}

inline HICON TitleBarIcon(WPARAM which) {
    return reinterpret_cast<HICON>(::SendMessageW(TheDialog(), WM_GETICON, which, 0));
}

// An icon's image as Windows holds it once decoded: its size, pixels (top row first, 0xAARRGGBB;
// an 8-bit image's alpha is 0xFF where its AND mask is clear) and that mask (set: screen shows).
struct IconImage {
    SIZE size;
    std::vector<DWORD> pixels;
    std::vector<bool> masked;
};
inline IconImage AsWindowsHoldsIt(HICON icon, bool alpha) {
    ICONINFO info{};
    BITMAP colour{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) return {};
    ::GetObjectW(info.hbmColor, sizeof(colour), &colour);
    const LONG width = colour.bmWidth, height = colour.bmHeight;
    IconImage image{{width, height}, std::vector<DWORD>(std::size_t(width * height)), {}};
    std::vector<DWORD> mask(image.pixels.size());
    const win32::WindowDc screen(nullptr);
    BITMAPINFO format{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    ::GetDIBits(screen.get(), info.hbmColor, 0, UINT(height), image.pixels.data(), &format, 0);
    ::GetDIBits(screen.get(), info.hbmMask, 0, UINT(height), mask.data(), &format, 0);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        image.masked.push_back((mask[i] & 0xFFFFFF) != 0);
        if (!alpha)
            image.pixels[i] = (image.pixels[i] & 0xFFFFFF) | (image.masked[i] ? 0 : 0xFF000000);
    }
    return image;
}

inline std::wstring TextOf(HWND window) {
    wchar_t text[512]{};
    ::GetWindowTextW(window, text, 512);
    return text;
}

inline HWND Control(ControlId id) {
    return ::GetDlgItem(TheDialog(), win32::ChildId(id));
}

// A form loaded on the Win32 toolkit for each test, and the keys a user presses.
class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ui::Load(*form_); }
    void TearDown() override { ui::Unload(*form_); }
    void Key(int virtualKey) {
        HWND focus = ::GetFocus();
        const auto key = static_cast<WPARAM>(virtualKey);
        ::PostMessageW(focus, WM_KEYDOWN, key, 0);
        if (key == VK_RETURN || key == VK_ESCAPE || key == VK_SPACE)
            ::PostMessageW(focus, WM_CHAR, key, 0);
        ::PostMessageW(focus, WM_KEYUP, key, 0);
        toolkit_.DoEvents();
    }
    bool Checked(ControlId id) { return toolkit_.IsChecked(*form_, id); }

    InstalledWin32Toolkit installed_;
    win32::Win32Toolkit& toolkit_ = installed_.toolkit;
    std::shared_ptr<RecordingForm> form_ = std::make_shared<RecordingForm>();
};

// A file of the build machine named by an environment variable, as Wine sees it on drive Z:.
inline std::wstring BuiltFile(const char* variable) {
    std::wstring path = L"Z:";
    for (const char* c = std::getenv(variable); c != nullptr && *c != '\0'; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

inline bool LoadDetachProbe() {
    return ::LoadLibraryW(BuiltFile("QM_DETACH_PROBE").c_str()) != nullptr;
}

// A resource of the program file (QM_PROGRAM), read as data; empty when there is none.
inline std::string ProgramResource(LPCWSTR type, LPCWSTR name) {
    HMODULE program =
        ::LoadLibraryExW(BuiltFile("QM_PROGRAM").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = program == nullptr ? nullptr : ::FindResourceW(program, name, type);
    const auto* data = found == nullptr ? nullptr : ::LockResource(::LoadResource(program, found));
    std::string bytes(static_cast<const char*>(data),
                      data == nullptr ? 0 : ::SizeofResource(program, found));
    if (program != nullptr) ::FreeLibrary(program);
    return bytes;
}

}  // namespace dialog_test
