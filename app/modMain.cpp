#include "app/modMain.h"

#include <algorithm>
#include <array>

#include "app/Trap.h"
#include "app/frmOptions.h"
#include "registry/RegStringHandler.h"
#include "registry/RegistryProvider.h"
#include "ui/Toolkit.h"

namespace modMain {

Truth blnAllFolders = kFalse;
Truth blnTwoPane = kFalse;
Truth blnSideMenu = kFalse;

namespace {

// One stored default: its value name, its Boolean and the option button that means true.
struct SettingRow {
    TextView valueName;
    Truth* setting;
    ui::ControlId trueButton;
};

// Always processed in this order.
std::array<SettingRow, 3> Rows() {
    return {{{kAllFoldersValue, &blnAllFolders, ui::ControlId::optAllFolders},
             {kTwoPaneValue, &blnTwoPane, ui::ControlId::optTwoPane},
             {kSideMenuValue, &blnSideMenu, ui::ControlId::optSideMenu}}};
}

// Upper-case for the comparison with "FALSE". ASCII mapping only: independent of the locale, so
// the same stored text means the same thing on every machine.
Text UpperCase(TextView text) {
    Text upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char16_t c) {
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
    });
    return upper;
}

// Stored text to Boolean: "FALSE" in any case is false, everything else is true.
Truth Normalise(TextView stored) {
    return ToTruth(UpperCase(stored) != u"FALSE");
}

TextView StoredText(Truth value) {
    return value ? u"True" : u"False";
}

}  // namespace

void Main() {
    app::RunTrapped([] {
        ui::Toolkit& toolkit = ui::InstalledToolkit();
        if (toolkit.PrevInstance()) {
            toolkit.MsgBox(kAlreadyRunning, ui::MsgBoxStyle::Information, kAppTitle);
            return;
        }
        ui::Show(*frmOptions());
    });
}

void HandleUnexpectedError() {
    for (const auto& form : ui::LoadedForms()) ui::Unload(*form);
    ui::InstalledToolkit().MsgBox(kUnexpectedError, ui::MsgBoxStyle::Critical, kAppTitle);
}

void LoadDefaultSettings() {
    app::RunTrapped([] {
        const RegStringHandler handler(reg::InstalledRegistry());
        const auto rows = Rows();
        for (const SettingRow& row : rows) {
            *row.setting =
                Normalise(handler.ReadString(reg::kHkeyCurrentUser, kSettingsKey, row.valueName));
        }
        for (const SettingRow& row : rows) {
            // A failed write-back is not reported: the next load repairs the value again.
            static_cast<void>(handler.WriteString(reg::kHkeyCurrentUser, kSettingsKey,
                                                  row.valueName, StoredText(*row.setting)));
        }
    });
}

void ShowDefaultSettings() {
    app::RunTrapped([] {
        LoadDefaultSettings();
        const std::shared_ptr<FrmOptions> form = frmOptions();
        for (const SettingRow& row : Rows()) {
            form->SetValue(row.trueButton, *row.setting);
            form->SetValue(ui::PartnerOf(row.trueButton), Not(*row.setting));
        }
        ui::InstalledToolkit().DoEvents();
    });
}

void SaveDefaultSettings() {
    app::RunTrapped([] {
        const RegStringHandler handler(reg::InstalledRegistry());
        const std::shared_ptr<FrmOptions> form = frmOptions();
        const auto rows = Rows();
        for (const SettingRow& row : rows) *row.setting = form->Value(row.trueButton);
        bool allStored = true;
        for (const SettingRow& row : rows) {
            const Truth stored = handler.WriteString(reg::kHkeyCurrentUser, kSettingsKey,
                                                     row.valueName, StoredText(*row.setting));
            allStored = allStored && static_cast<bool>(stored);
        }
        // The user pressed OK to store the choices: a failed store must not pass for success.
        if (!allStored) {
            ui::InstalledToolkit().MsgBox(kSaveFailed, ui::MsgBoxStyle::Critical, kAppTitle);
        }
    });
}

}  // namespace modMain
