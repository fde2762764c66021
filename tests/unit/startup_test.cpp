#include "app/Trap.h"
#include "tests/unit/app_fixture.h"

using Startup = AppTest;

TEST_F(Startup, ASecondInstanceOnlySaysSoAndCreatesNoForm) {
    toolkit.previousInstance = true;
    modMain::Main();
    EXPECT_EQ(toolkit.log,
              (std::vector<std::string>{
                  "PrevInstance",
                  "MsgBox 64 Quillmarrow Default Settings is already running on your system. | "
                  "Quillmarrow Default Settings"}));
    EXPECT_FALSE(frmOptionsExists());
    EXPECT_TRUE(ui::LoadedForms().empty());
}

TEST_F(Startup, AFailedInstanceTestEndsInTheFailureMessage) {
    toolkit.failing = {"PrevInstance"};
    EXPECT_NO_THROW(modMain::Main());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_FALSE(frmOptionsExists());
}

TEST_F(Startup, ADialogThatCannotBeCreatedEndsInTheFailureMessage) {
    toolkit.failing = {"Realise"};
    EXPECT_NO_THROW(modMain::Main());
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_TRUE(Entries("Display").empty());
}

TEST_F(Startup, TheFailureRoutineSpeaksEvenWithNoFormLoaded) {
    modMain::HandleUnexpectedError();
    EXPECT_EQ(toolkit.log, std::vector<std::string>{kUnexpectedErrorBox});
}

TEST_F(Startup, ATrappedFailureLetsTheCallerCarryOn) {
    int after = 0;
    app::RunTrapped([&] {
        app::RunTrapped([] { throw std::runtime_error("inner"); });
        ++after;
    });
    EXPECT_EQ(after, 1);
    EXPECT_EQ(toolkit.MessageBoxes(), std::vector<std::string>{kUnexpectedErrorBox});
}

TEST_F(Startup, AFailureInsideTheFailureRoutineEscapesEveryTrap) {
    toolkit.failing = {"MsgBox"};
    int after = 0;
    EXPECT_THROW(app::RunTrapped([&] {
                     app::RunTrapped([] { throw std::runtime_error("inner"); });
                     ++after;
                 }),
                 app::EscapedFailure);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(Entries("FAILED MsgBox").size(), 1U);  // reported once, not once per trap
}
