#include "app/Trap.h"
#include "tests/unit/settings_fixture.h"

using ui::ControlId;

// Failures injected into the settings routines and the dialog's handlers: every form is unloaded
// before "Unexpected Error" appears, work done before the failure stands, the caller carries on.
using FailureTest = SettingsTest;

TEST_F(FailureTest, NoRegistryHandlerMeansNoDialogAndOneMessage) {
    reg::InstallRegistry(nullptr);  // the handler object cannot be created
    const auto shownBefore = frmOptions();
    modMain::Main();
    EXPECT_FALSE(shownBefore->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_LT(Position("Destroy"), Position("MsgBox"));
    // ShowDefaultSettings carried on: it set the buttons of an unloaded dialog (no window touched,
    // nothing loaded or shown again) and let events run.
    EXPECT_EQ(Entries("Realise").size(), 1U);
    EXPECT_TRUE(Entries("SetChecked").empty());
    EXPECT_TRUE(Entries("Display").empty());
    EXPECT_GT(Position("DoEvents"), Position("MsgBox"));
}

TEST_F(FailureTest, AControlThatCannotBeSetKeepsTheLoadsWriteBack) {
    Seed("TwoPane", "false");
    toolkit.failing = {"SetChecked"};
    const auto dialog = Start();
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_LT(Position("Destroy"), Position("MsgBox"));
    EXPECT_EQ(AllStored(), (Stored3{"True", "False", "True"}));
    EXPECT_EQ(modMain::blnTwoPane, kFalse);
    EXPECT_TRUE(Entries("DoEvents").empty());  // the failing routine stopped where it was
}

TEST_F(FailureTest, AControlThatCannotBeReadAtOkStoresNothingAndStillCloses) {
    const auto dialog = Start();
    Seed("AllFolders", "False");
    toolkit.UserSelects(*dialog, ControlId::optFolderWindow);
    toolkit.failing = {"IsChecked"};
    dialog->OnClick(ControlId::cmdOK);
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_EQ(AllStored(), (Stored3{"False", "True", "True"}));
}

TEST_F(FailureTest, ACrashingResetClosesTheDialog) {
    const auto dialog = Start();
    toolkit.failing = {"DoEvents"};
    dialog->OnClick(ControlId::cmdReset);
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
}

TEST_F(FailureTest, AFailureWhileReportingAFailureLeavesTheHandler) {
    const auto dialog = Start();
    toolkit.failing = {"Destroy"};  // Cancel's unload fails, and so does the failure routine's
    EXPECT_THROW(dialog->OnClick(ControlId::cmdCancel), app::EscapedFailure);
    toolkit.failing.clear();
}

TEST_F(FailureTest, AHandlerKeepsItsDialogAliveWhileUnloadingIt) {
    const std::weak_ptr<FrmOptions> watch = Start();
    ASSERT_FALSE(watch.expired());
    watch.lock()->OnClick(ControlId::cmdCancel);
    EXPECT_TRUE(watch.expired());  // the last reference went with the handler
    EXPECT_FALSE(frmOptionsExists());
}
