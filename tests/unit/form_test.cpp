#include "ui/Form.h"

#include "common/Fault.h"
#include "tests/unit/app_fixture.h"

using ui::ControlId;

namespace {

// A form whose load event only records itself.
class PlainForm final : public ui::Form {
  public:
    int loads = 0;
    const ui::WindowSpec& Window() const override { return ui::OptionsWindow(); }
    std::span<const ui::ControlSpec, ui::kControlCount> Controls() const override {
        return ui::OptionsControls();
    }
    void OnLoad() override { ++loads; }
    void OnClick(ControlId) override {}
};

struct Selection {
    Truth upper;
    Truth lower;
};

Selection Pair(const ui::Form& form, ControlId upper) {
    return {form.Value(upper), form.Value(ui::PartnerOf(upper))};
}

bool operator==(Selection a, Selection b) {
    return a.upper == b.upper && a.lower == b.lower;
}

}  // namespace

using FormModel = AppTest;

// The pair rule holds the same way whether the buttons live in a window or only in the model.
TEST_F(FormModel, SelectingOneButtonClearsOnlyItsPartner) {
    for (const bool loaded : {false, true}) {
        SCOPED_TRACE(loaded ? "loaded" : "unloaded");
        const auto form = std::make_shared<PlainForm>();
        if (loaded) ui::Load(*form);

        EXPECT_TRUE((Pair(*form, ControlId::optAllFolders) == Selection{kTrue, kFalse}));
        form->SetValue(ControlId::optSubfoldersOnly, kTrue);
        EXPECT_TRUE((Pair(*form, ControlId::optAllFolders) == Selection{kFalse, kTrue}));
        EXPECT_TRUE((Pair(*form, ControlId::optTwoPane) == Selection{kTrue, kFalse}));
        EXPECT_TRUE((Pair(*form, ControlId::optSideMenu) == Selection{kTrue, kFalse}));

        form->SetValue(ControlId::optFolderWindow, kTrue);
        form->SetValue(ControlId::optTwoPane, kTrue);
        EXPECT_TRUE((Pair(*form, ControlId::optTwoPane) == Selection{kTrue, kFalse}));

        // Clearing a button leaves its partner alone: a pair can end up with neither selected.
        form->SetValue(ControlId::optSideMenu, kFalse);
        EXPECT_TRUE((Pair(*form, ControlId::optSideMenu) == Selection{kFalse, kFalse}));
        ui::Unload(*form);
    }
}

TEST_F(FormModel, AnyNonZeroValueSelects) {
    const auto form = std::make_shared<PlainForm>();
    form->SetValue(ControlId::optStartMenu, Truth{1});
    EXPECT_EQ(form->Value(ControlId::optStartMenu), kTrue);
    EXPECT_EQ(form->Value(ControlId::optSideMenu), kFalse);
}

TEST_F(FormModel, OnlyOptionButtonsHaveAValue) {
    const auto form = std::make_shared<PlainForm>();
    EXPECT_THROW(form->SetValue(ControlId::cmdOK, kTrue), InvalidArgumentFault);
    EXPECT_THROW(static_cast<void>(form->Value(ControlId::fraFolderTree)), InvalidArgumentFault);
    EXPECT_THROW(static_cast<void>(form->Value(ControlId::None)), InvalidArgumentFault);
}

TEST_F(FormModel, SettingValuesOnAnUnloadedFormNeitherLoadsNorShowsIt) {
    const auto form = std::make_shared<PlainForm>();
    form->SetValue(ControlId::optFolderWindow, kTrue);
    EXPECT_FALSE(form->Loaded());
    EXPECT_TRUE(toolkit.log.empty());
    EXPECT_TRUE(ui::LoadedForms().empty());
}

TEST_F(FormModel, ShowLoadsOnceRunningTheLoadEventBeforeTheWindowAppears) {
    const auto form = std::make_shared<PlainForm>();
    ui::Show(*form);
    ui::Show(*form);
    EXPECT_EQ(form->loads, 1);
    EXPECT_EQ(toolkit.log, (std::vector<std::string>{"Realise frmOptions", "Display frmOptions",
                                                     "Display frmOptions"}));
    ASSERT_EQ(ui::LoadedForms().size(), 1U);
    EXPECT_EQ(ui::LoadedForms()[0], form);
}

TEST_F(FormModel, UnloadDestroysTheWindowOnceAndForgetsTheChoices) {
    const auto form = std::make_shared<PlainForm>();
    ui::Load(*form);
    form->SetValue(ControlId::optSubfoldersOnly, kTrue);
    ui::Unload(*form);
    ui::Unload(*form);
    EXPECT_EQ(Entries("Destroy").size(), 1U);
    EXPECT_FALSE(form->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_EQ(form->Value(ControlId::optAllFolders), kTrue);  // back to the layout's selection
}

TEST_F(FormModel, AWindowThatCannotBeCreatedLeavesTheFormUnloaded) {
    const auto form = std::make_shared<PlainForm>();
    toolkit.failing = {"Realise"};
    EXPECT_THROW(ui::Show(*form), std::runtime_error);
    EXPECT_FALSE(form->Loaded());
    EXPECT_EQ(form->loads, 0);
    EXPECT_TRUE(ui::LoadedForms().empty());
}
