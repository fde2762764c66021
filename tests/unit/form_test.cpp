// Option-button values: the same rules on a loaded form (in its window) and an unloaded one.
#include "common/Fault.h"
#include "tests/unit/app_fixture.h"

namespace {

using ui::ControlId;

class PlainForm final : public ui::Form {
  public:
    const ui::WindowSpec& Window() const override { return ui::OptionsWindow(); }
    ui::ControlTable Controls() const override { return ui::OptionsControls(); }
    void OnLoad() override {}
    void OnClick(ControlId) override {}
};

using FormValues = AppTest;

TEST_F(FormValues, SelectingClearsOnlyThePartnerAndClearingLeavesThePartnerAlone) {
    for (const bool loaded : {false, true}) {
        SCOPED_TRACE(loaded ? "loaded" : "unloaded");
        const auto form = std::make_shared<PlainForm>();
        if (loaded) ui::Load(*form);
        EXPECT_EQ(Pairs(*form), "10 10 10");
        form->SetValue(ControlId::optSubfoldersOnly, Truth{1});  // any non-zero value selects
        form->SetValue(ControlId::optStartMenu, kFalse);         // already clear: its partner stays
        EXPECT_EQ(Pairs(*form), "01 10 10");
        form->SetValue(ControlId::optSideMenu, kFalse);
        form->SetValue(ControlId::optTwoPane, kTrue);  // already selected: stays so
        EXPECT_EQ(Pairs(*form), "01 10 00");
        EXPECT_THROW(form->SetValue(ControlId::cmdOK, kTrue), InvalidArgumentFault);
        EXPECT_EQ(form->Loaded(), loaded);  // setting values neither loads nor shows a form
        ui::Unload(*form);
        EXPECT_EQ(Pairs(*form), loaded ? "10 10 10" : "01 10 00");  // the window's choices gone
    }
    EXPECT_EQ(Entries(toolkit.log, {"Display"}), Log{});
}

}  // namespace
