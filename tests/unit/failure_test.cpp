// Failures in the routines and handlers: every form is unloaded before "Unexpected Error", the
// caller carries on, and a failure while reporting one escapes every trap.
#include <algorithm>

#include "app/Trap.h"
#include "tests/unit/app_fixture.h"

namespace {

using namespace std::string_literals;
using ui::ControlId;
using Failures = AppTest;

TEST_F(Failures, NoRegistryMeansTheDialogIsUnloadedBeforeOneMessageAndTheRoutineCarriesOn) {
    reg::InstallRegistry(nullptr);
    const auto first = frmOptions();
    modMain::Main();
    EXPECT_FALSE(first->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_LT(toolkit.Position("Destroy"), toolkit.Position("MsgBox"));
    EXPECT_GT(toolkit.Position("DoEvents"), toolkit.Position("MsgBox"));  // carried on
    EXPECT_FALSE(toolkit.Logged("Display"));
}

TEST_F(Failures, ADialogThatCannotBeMadeIsReportedAndLeavesNothingLoaded) {
    toolkit.failing = {"Realise"};
    const auto dialog = Start();
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_FALSE(toolkit.Logged("Display"));
    EXPECT_TRUE(registry.calls.empty()) << "no load event without a dialog";
}

TEST_F(Failures, AFailureAtOkStoresNothingAndStillClosesTheDialog) {
    const auto dialog = Start();
    Seed("AllFolders", "False");
    toolkit.failing = {"IsChecked"};
    dialog->OnClick(ControlId::cmdOK);
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_LT(toolkit.Position("Destroy"), toolkit.Position("MsgBox"));
    EXPECT_EQ(AllStored(), "False True True");
}

TEST_F(Failures, AFailureInsideTheFailureRoutineEscapesEveryTrap) {
    const auto dialog = Start();
    toolkit.failing = {"Destroy"};  // Cancel's unload fails, and so does the failure routine's
    EXPECT_THROW(dialog->OnClick(ControlId::cmdCancel), app::EscapedFailure);
    EXPECT_EQ(toolkit.log.back(), "FAILED Destroy frmOptions");  // reported once, not per trap
}

TEST_F(Failures, AFailedReportFourTrapsDeepEscapesThemAllAfterOneAttempt) {
    // Main, Form_Load, ShowDefaultSettings, LoadDefaultSettings (which finds no registry).
    toolkit.failing = {"MsgBox"};
    reg::InstallRegistry(nullptr);
    EXPECT_THROW(modMain::Main(), app::EscapedFailure);
    EXPECT_EQ(std::ranges::count(toolkit.log, "FAILED "s + kUnexpectedErrorBox), 1);
}

}  // namespace
