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
        const auto pair = [&](ControlId upper) {
            return std::pair(form->Value(upper), form->Value(ui::PartnerOf(upper)));
        };
        EXPECT_EQ(pair(ControlId::optAllFolders), std::pair(kTrue, kFalse));
        form->SetValue(ControlId::optSubfoldersOnly, Truth{1});  // any non-zero value selects
        EXPECT_EQ(pair(ControlId::optAllFolders), std::pair(kFalse, kTrue));
        EXPECT_EQ(pair(ControlId::optTwoPane), std::pair(kTrue, kFalse));
        form->SetValue(ControlId::optStartMenu, kFalse);  // already clear: its partner stays
        EXPECT_EQ(pair(ControlId::optSideMenu), std::pair(kTrue, kFalse));
        form->SetValue(ControlId::optSideMenu, kFalse);
        EXPECT_EQ(pair(ControlId::optSideMenu), std::pair(kFalse, kFalse));
        EXPECT_THROW(form->SetValue(ControlId::cmdOK, kTrue), InvalidArgumentFault);
        EXPECT_EQ(form->Loaded(), loaded);  // setting values neither loads nor shows a form
        ui::Unload(*form);
        // Unloading forgets the choices made in the window.
        EXPECT_EQ(form->Value(ControlId::optSubfoldersOnly), ToTruth(!loaded));
    }
    EXPECT_FALSE(toolkit.Logged("Display"));
}

}  // namespace
