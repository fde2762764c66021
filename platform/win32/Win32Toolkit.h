#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/FormDialog.h"
#include "platform/win32/Handles.h"
#include "ui/Toolkit.h"

// The forms toolkit on Win32: modeless dialogs for the forms, MessageBoxW for messages, a named
// mutex for the previous-instance test and the message loop that drives the program.
namespace win32 {

inline constexpr wchar_t kInstanceMutexName[] = L"Local\\QuillmarrowDefaultSettings";

class Win32Toolkit final : public ui::Toolkit {
  public:
    explicit Win32Toolkit(HINSTANCE instance);
    ~Win32Toolkit() override = default;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    bool PrevInstance() override;
    void MsgBox(TextView prompt, ui::MsgBoxStyle style, TextView title) override;
    void Realise(ui::Form& form) override;
    void Display(ui::Form& form) override;
    void Destroy(ui::Form& form) override;
    bool IsChecked(const ui::Form& form, ui::ControlId id) override;
    void SetChecked(ui::Form& form, ui::ControlId id, bool checked) override;
    void DoEvents() override;

    // Drives the program until no form is loaded any more.
    void RunMessageLoop();

  private:
    using Dialogs = std::vector<std::unique_ptr<FormDialog>>;

    // The form's dialog in the list; its end when the form has none.
    Dialogs::iterator Find(const ui::Form& form);
    FormDialog& DialogOf(const ui::Form& form);
    void Dispatch(MSG& message);

    HINSTANCE instance_;
    std::optional<bool> previousInstance_;
    UniqueHandle instanceMutex_;  // held for the whole run: it marks this instance as running
    Dialogs dialogs_;
};

}  // namespace win32
