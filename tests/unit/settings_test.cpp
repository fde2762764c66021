// The default settings through the dialog's handlers: what a stored text means, the write-back,
// the option buttons, OK, Reset and Cancel, failed writes, and a second start. (That closing the
// window runs no handler is one of the dialog tests.)
#include "common/Fault.h"
#include "tests/unit/app_fixture.h"

namespace {

using namespace std::string_literals;
using Settings = AppTest;

TEST_F(Settings, OnlyFalseInAnyCaseReadsAsFalseAndEveryValueIsWrittenBackCanonically) {
    modMain::LoadDefaultSettings();  // the first run: no key yet
    EXPECT_EQ(AllStored(), "True True True");
    const std::pair<std::string, bool> texts[] = {
        {"FALSE\0"s, false}, {"fAlSe\0junk"s, false}, {"False"s, false}, {" false\0"s, true},
        {"false \0"s, true}, {"0\0"s, true},          {"no\0"s, true},   {"\0"s, true}};
    for (const auto& [bytes, expected] : texts) {
        SCOPED_TRACE(bytes);
        registry.Put(kKey, "TwoPane", bytes);
        modMain::LoadDefaultSettings();
        EXPECT_EQ(modMain::blnTwoPane, ToTruth(expected));
        EXPECT_EQ(AllStored(), expected ? "True True True" : "True False True");
    }
}

TEST_F(Settings, OpeningReadsAllThreeInOrderBeforeAnyWriteAndFillsTheHiddenDialog) {
    Seed("AllFolders", "False");
    Seed("SideMenu", "FALSE");
    const auto dialog = Start();
    EXPECT_EQ(Entries(registry.log, {"Query", "Set"}),
              (Log{"Query AllFolders", "Query AllFolders 6", "Query TwoPane", "Query SideMenu",
                   "Query SideMenu 6", "Set AllFolders 5 False\0"s, "Set TwoPane 4 True\0"s,
                   "Set SideMenu 5 False\0"s}));
    EXPECT_EQ(Pairs(*dialog), "01 10 01");
    const Log shown = Entries(toolkit.log, {"SetChecked", "DoEvents", "Display"});
    EXPECT_EQ(Log(shown.end() - 3, shown.end()), (Log{"SetChecked", "DoEvents", "Display"}));
    ui::Show(*dialog);  // shown again: loaded already, so made once
    EXPECT_EQ(Entries(toolkit.log, {"Realise"}), Log{"Realise"});
}

TEST_F(Settings, ResetShowsWhatIsStoredOkStoresTheUpperButtonsAndCancelNothing) {
    Seed("TwoPane", "False");
    const auto dialog = Start();
    toolkit.UserSelects(ControlId::optSubfoldersOnly);
    Seed("SideMenu", "false");  // another program, meanwhile
    dialog->OnClick(ControlId::cmdReset);
    EXPECT_EQ(Pairs(*dialog), "10 01 01");
    EXPECT_EQ(AllStored(), "True False False");

    // Selecting a button clears its partner; clearing one leaves its partner alone.
    dialog->SetValue(ControlId::optSubfoldersOnly, Truth{1});  // any non-zero value selects
    dialog->SetValue(ControlId::optTwoPane, kTrue);
    dialog->SetValue(ControlId::optStartMenu, kFalse);  // neither button of the pair selected
    EXPECT_EQ(Pairs(*dialog), "01 10 00");
    EXPECT_THROW(dialog->SetValue(ControlId::cmdOK, kTrue), InvalidArgumentFault);
    EXPECT_THROW(static_cast<void>(dialog->Value(ControlId::cmdOK)), InvalidArgumentFault);
    EXPECT_EQ(AllStored(), "True False False");  // nothing stored before OK
    dialog->OnClick(ControlId::cmdOK);
    EXPECT_EQ(AllStored(), "False True False");
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_NE(frmOptions(), dialog) << "unloading destroyed the single instance";
    // A dialog not loaded: as designed; a selection clears its partner, and unloading forgets it.
    const auto other = std::make_shared<FrmOptions>();
    EXPECT_EQ(Pairs(*other), "10 10 10");
    other->SetValue(ControlId::optSubfoldersOnly, kTrue);
    EXPECT_EQ(Pairs(*other), "01 10 10");
    ui::Load(*other);
    ui::Unload(*other);
    EXPECT_EQ(Pairs(*other), "10 10 10");

    const auto again = Start();
    registry.log.clear();
    toolkit.UserSelects(ControlId::optAllFolders);
    again->OnClick(ControlId::cmdCancel);
    EXPECT_FALSE(again->Loaded());
    EXPECT_EQ(registry.log, Log{});
    EXPECT_EQ(Entries(toolkit.log, {"MsgBox"}), Log{});
}

TEST_F(Settings, AFailedWriteStopsNoLaterOneAndAFailedSaveIsReported) {
    Seed("AllFolders", "False");
    Seed("TwoPane", "FALSE");
    registry.intercept = [](const std::string& call) {  // AllFolders' writes fail
        return call.starts_with("Set AllFolders") ? reg::kAccessDenied : reg::kSuccess;
    };
    const auto dialog = Start();
    EXPECT_EQ(Pairs(*dialog), "01 01 10");
    EXPECT_EQ(AllStored(), "False False True");          // the later values repaired all the same
    EXPECT_EQ(Entries(toolkit.log, {"MsgBox"}), Log{});  // the load's failed repair is silent

    toolkit.UserSelects(ControlId::optTwoPane);
    toolkit.UserSelects(ControlId::optStartMenu);
    dialog->OnClick(ControlId::cmdOK);
    EXPECT_EQ(AllStored(), "False True False");
    EXPECT_EQ(Entries(toolkit.log, {"MsgBox"}),
              Log{"MsgBox 16 The default settings could not be saved. | "
                  "Quillmarrow Default Settings"});
    EXPECT_FALSE(dialog->Loaded());
}

TEST_F(Settings, ASecondStartOnlyTellsTheUserAndTouchesNothing) {
    toolkit.previousInstance = true;
    modMain::Main();
    EXPECT_EQ(toolkit.log, (Log{"PrevInstance",
                                "MsgBox 64 Quillmarrow Default Settings is already running on your "
                                "system. | Quillmarrow Default Settings"}));
    EXPECT_TRUE(registry.log.empty());
}

}  // namespace
