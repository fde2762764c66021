// Failures in the routines and handlers: every form is unloaded before "Unexpected Error", the
// caller carries on, and a failure while reporting one escapes every trap.
#include "app/Trap.h"
#include "tests/unit/app_fixture.h"

namespace {

using namespace std::string_literals;
using Failures = AppTest;

TEST_F(Failures, NoRegistryMeansTheDialogIsUnloadedBeforeOneMessageAndTheRoutineCarriesOn) {
    reg::InstallRegistry(nullptr);
    Start();
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_EQ(Entries(toolkit.log, {"Realise", "Destroy", "MsgBox", "DoEvents", "Display"}),
              (Log{"Realise", "Destroy", kUnexpectedErrorBox, "DoEvents"}));  // carried on
}

TEST_F(Failures, ADialogThatCannotBeMadeIsReportedAndLeavesNothingLoaded) {
    toolkit.failing = {"Realise"};
    const auto dialog = Start();
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_EQ(Entries(toolkit.log, {"MsgBox", "Display"}), Log{kUnexpectedErrorBox});
    EXPECT_TRUE(registry.log.empty()) << "no load event without a dialog";
}

TEST_F(Failures, AFailureAtOkStoresNothingAndStillClosesTheDialog) {
    const auto dialog = Start();
    Seed("AllFolders", "False");
    toolkit.failing = {"IsChecked"};
    dialog->OnClick(ControlId::cmdOK);
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(Entries(toolkit.log, {"Destroy", "MsgBox"}), (Log{"Destroy", kUnexpectedErrorBox}));
    EXPECT_EQ(AllStored(), "False True True");
}

TEST_F(Failures, AFailureInsideTheFailureRoutineEscapesEveryTrapAfterOneAttempt) {
    // Four traps deep: Main, Form_Load, ShowDefaultSettings, LoadDefaultSettings (no registry).
    toolkit.failing = {"MsgBox"};
    reg::InstallRegistry(nullptr);
    EXPECT_THROW(modMain::Main(), app::EscapedFailure);
    EXPECT_EQ(Entries(toolkit.log, {"FAILED"}), Log{"FAILED "s + kUnexpectedErrorBox});

    ui::InstallToolkit(nullptr);  // no toolkit at all: no message can be shown either
    EXPECT_THROW(modMain::Main(), app::EscapedFailure);
    ui::InstallToolkit(&toolkit);

    toolkit.failing = {"Destroy"};  // Cancel's unload fails, and so does the failure routine's
    reg::InstallRegistry(&registry);
    const auto dialog = Start();
    EXPECT_THROW(dialog->OnClick(ControlId::cmdCancel), app::EscapedFailure);
    EXPECT_EQ(toolkit.log.back(), "FAILED Destroy");  // reported once, not per trap
}

}  // namespace
