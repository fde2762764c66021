#pragma once

#include <memory>

#include "ui/Form.h"

// The options dialog: three framed pairs of option buttons, an information label and the OK,
// Cancel and Reset buttons. It handles its load event and the clicks of its three buttons.
class FrmOptions final : public ui::Form {
  public:
    const ui::WindowSpec& Window() const override;
    std::span<const ui::ControlSpec, ui::kControlCount> Controls() const override;

    void OnLoad() override { Form_Load(); }
    void OnClick(ui::ControlId button) override;

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdReset_Click();

  protected:
    void OnUnloaded() override;
};

// The dialog's single instance, created on first use; unloading it lets the next use create a
// new one.
std::shared_ptr<FrmOptions> frmOptions();
