#include "app/frmOptions.h"

#include "app/Trap.h"
#include "app/modMain.h"

namespace {
std::shared_ptr<FrmOptions> g_instance;
}

const ui::WindowSpec& FrmOptions::Window() const {
    return ui::OptionsWindow();
}

std::span<const ui::ControlSpec, ui::kControlCount> FrmOptions::Controls() const {
    return ui::OptionsControls();
}

void FrmOptions::OnClick(ui::ControlId button) {
    switch (button) {
        case ui::ControlId::cmdOK:
            cmdOK_Click();
            break;
        case ui::ControlId::cmdCancel:
            cmdCancel_Click();
            break;
        case ui::ControlId::cmdReset:
            cmdReset_Click();
            break;
        default:
            break;  // option buttons, frames and the label have no handler
    }
}

// Each handler holds the dialog for its own duration: unloading it from inside the handler must
// not destroy the object while the handler still runs.

void FrmOptions::Form_Load() {
    const auto self = shared_from_this();
    app::RunTrapped([] { modMain::ShowDefaultSettings(); });
}

void FrmOptions::cmdOK_Click() {
    const auto self = shared_from_this();
    app::RunTrapped([this] {
        modMain::SaveDefaultSettings();
        ui::Unload(*this);
    });
}

void FrmOptions::cmdCancel_Click() {
    const auto self = shared_from_this();
    app::RunTrapped([this] { ui::Unload(*this); });
}

void FrmOptions::cmdReset_Click() {
    const auto self = shared_from_this();
    app::RunTrapped([] { modMain::ShowDefaultSettings(); });
}

void FrmOptions::OnUnloaded() {
    if (g_instance.get() == this) g_instance.reset();
}

std::shared_ptr<FrmOptions> frmOptions() {
    if (!g_instance) g_instance = std::make_shared<FrmOptions>();
    return g_instance;
}
