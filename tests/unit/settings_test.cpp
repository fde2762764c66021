#include <tuple>

#include "tests/unit/settings_fixture.h"

using ui::ControlId;

TEST_F(SettingsTest, FirstRunCreatesTheKeyWithThreeTrueValuesAndSelectsTheUpperButtons) {
    const auto dialog = Start();
    EXPECT_EQ(registry.KeyClass(hkcu, kKey), "REG_DWORD");
    EXPECT_EQ(AllStored(), (Stored3{"True", "True", "True"}));
    EXPECT_EQ(registry.GetValue(hkcu, kKey, "AllFolders")->bytes, std::string("True\0", 5));
    ASSERT_TRUE(dialog->Loaded());
    EXPECT_TRUE(toolkit.Displayed(*dialog));
    for (const ControlId upper :
         {ControlId::optAllFolders, ControlId::optTwoPane, ControlId::optSideMenu}) {
        EXPECT_EQ(dialog->Value(upper), kTrue);
        EXPECT_EQ(dialog->Value(ui::PartnerOf(upper)), kFalse);
    }
    // The buttons are filled while the window is still hidden.
    EXPECT_LT(Position("DoEvents"), Position("Display"));
}

// What a stored value reads as, and what the load writes back in its place.
class Normalisation
    : public SettingsTest,
      public ::testing::WithParamInterface<std::tuple<std::uint32_t, std::string, bool>> {};

TEST_P(Normalisation, StoredValueReadsAsItsDefaultAndIsRewrittenCanonically) {
    const auto& [type, bytes, expected] = GetParam();
    registry.PutValue(hkcu, kKey, "TwoPane", type, bytes);
    Seed("AllFolders", "False");
    Start();
    EXPECT_EQ(modMain::blnTwoPane, ToTruth(expected));
    EXPECT_EQ(Stored("TwoPane"), expected ? "True" : "False");
    EXPECT_EQ(modMain::blnAllFolders, kFalse);  // the neighbours keep their own values
    EXPECT_EQ(modMain::blnSideMenu, kTrue);
    EXPECT_EQ(frmOptions()->Value(ControlId::optFolderWindow), ToTruth(!expected));
}

INSTANTIATE_TEST_SUITE_P(
    StoredTexts, Normalisation,
    ::testing::Values(std::make_tuple(reg::kRegSz, std::string("FALSE\0", 6), false),
                      std::make_tuple(reg::kRegSz, std::string("false\0", 6), false),
                      std::make_tuple(reg::kRegSz, std::string("fAlSe\0", 6), false),
                      std::make_tuple(reg::kRegSz, std::string("False\0junk", 10), false),
                      std::make_tuple(reg::kRegSz, std::string("0\0", 2), true),
                      std::make_tuple(reg::kRegSz, std::string("no\0", 3), true),
                      std::make_tuple(reg::kRegSz, std::string(" false\0", 7), true),
                      std::make_tuple(reg::kRegSz, std::string("false \0", 7), true),
                      std::make_tuple(reg::kRegSz, std::string("\0", 1), true),
                      std::make_tuple(reg::kRegSz, std::string("True\0", 5), true),
                      std::make_tuple(reg::kRegDword, std::string(4, '\0'), true),
                      std::make_tuple(reg::kRegExpandSz, std::string("False\0", 6), true),
                      std::make_tuple(reg::kRegMultiSz, std::string("False\0\0", 7), true),
                      std::make_tuple(reg::kRegBinary, std::string("False"), true)));

TEST_F(SettingsTest, AFalseStoredWithoutTerminatorStaysFalse) {
    registry.PutValue(hkcu, kKey, "SideMenu", reg::kRegSz, "False");
    Start();
    EXPECT_EQ(modMain::blnSideMenu, kFalse);
    EXPECT_EQ(Stored("SideMenu"), "False");
}

TEST_F(SettingsTest, LoadReadsAllThreeBeforeWritingAnyAndClosesEachKey) {
    Seed("AllFolders", "True");
    Seed("TwoPane", "True");
    Seed("SideMenu", "True");
    std::vector<reg::Operation> calls;
    registry.SetHook([&](reg::Operation op) { calls.push_back(op); });
    modMain::LoadDefaultSettings();

    using enum reg::Operation;
    const std::vector<reg::Operation> read{OpenKey, QueryValue, QueryValue, CloseKey};
    const std::vector<reg::Operation> write{OpenKey, SetValue, CloseKey};
    std::vector<reg::Operation> expected;
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), read.begin(), read.end());
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), write.begin(), write.end());
    EXPECT_EQ(calls, expected);

    calls.clear();
    Start();
    calls.clear();
    frmOptions()->OnClick(ControlId::cmdOK);
    expected.assign(write.begin(), write.end());
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), write.begin(), write.end());
    EXPECT_EQ(calls, expected);
}

TEST_F(SettingsTest, OkStoresTheChoicesAndUnloadsTheDialog) {
    const auto dialog = Start();
    toolkit.UserSelects(*dialog, ControlId::optSubfoldersOnly);
    toolkit.UserSelects(*dialog, ControlId::optFolderWindow);
    toolkit.UserSelects(*dialog, ControlId::optStartMenu);
    EXPECT_EQ(AllStored(), (Stored3{"True", "True", "True"}));  // nothing stored before OK

    dialog->OnClick(ControlId::cmdOK);
    EXPECT_EQ(AllStored(), (Stored3{"False", "False", "False"}));
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_TRUE(toolkit.MessageBoxes().empty());
}

TEST_F(SettingsTest, OkWithoutChangesRewritesTheSameValues) {
    Seed("AllFolders", "False");
    Seed("TwoPane", "True");
    Seed("SideMenu", "False");
    Start()->OnClick(ControlId::cmdOK);
    EXPECT_EQ(AllStored(), (Stored3{"False", "True", "False"}));
}

TEST_F(SettingsTest, CancelAndClosingStoreNothingBeyondTheLoadsRepair) {
    Seed("TwoPane", "fAlSe");
    for (const bool viaCancel : {true, false}) {
        SCOPED_TRACE(viaCancel ? "Cancel" : "window closed");
        const auto dialog = Start();
        const std::string afterLoad = registry.Dump();
        toolkit.UserSelects(*dialog, ControlId::optSubfoldersOnly);
        toolkit.UserSelects(*dialog, ControlId::optTwoPane);
        if (viaCancel) {
            dialog->OnClick(ControlId::cmdCancel);
        } else {
            ui::Unload(*dialog);  // what the toolkit does for the close button
        }
        EXPECT_FALSE(dialog->Loaded());
        EXPECT_EQ(registry.Dump(), afterLoad);
        EXPECT_EQ(AllStored(), (Stored3{"True", "False", "True"}));
    }
}

TEST_F(SettingsTest, ResetShowsWhatIsStoredNowAndKeepsTheDialogOpen) {
    const auto dialog = Start();
    toolkit.UserSelects(*dialog, ControlId::optSubfoldersOnly);
    dialog->OnClick(ControlId::cmdReset);
    EXPECT_EQ(dialog->Value(ControlId::optAllFolders), kTrue);

    Seed("SideMenu", "FALSE");  // another program changes the stored default meanwhile
    dialog->OnClick(ControlId::cmdReset);
    EXPECT_TRUE(dialog->Loaded());
    EXPECT_EQ(dialog->Value(ControlId::optStartMenu), kTrue);
    EXPECT_EQ(dialog->Value(ControlId::optSideMenu), kFalse);
    EXPECT_EQ(Stored("SideMenu"), "False");
}

TEST_F(SettingsTest, NeighbouringValuesAndKeysAreLeftAsTheyWere) {
    registry.PutValue(hkcu, kKey, "Other", reg::kRegBinary, std::string("\x01\x00\xff", 3));
    registry.PutValue(hkcu, "Software\\Vendrakel", "Licence", reg::kRegSz, "ABC");
    registry.PutValue(hkcu, std::string(kKey) + "\\Sub", "Deep", reg::kRegDword, "1234");
    Start()->OnClick(ControlId::cmdOK);
    EXPECT_EQ(registry.GetValue(hkcu, kKey, "Other")->bytes, std::string("\x01\x00\xff", 3));
    EXPECT_EQ(registry.GetValue(hkcu, "Software\\Vendrakel", "Licence")->bytes, "ABC");
    EXPECT_EQ(registry.GetValue(hkcu, std::string(kKey) + "\\Sub", "Deep")->bytes, "1234");
}

TEST_F(SettingsTest, AReadOnlyKeyShowsItsRealValuesAndAFailedSaveIsReported) {
    Seed("AllFolders", "False");
    Seed("TwoPane", "False");
    Seed("SideMenu", "True");
    registry.SetKeyAccess(hkcu, kKey, reg::KeyAccess::ReadOnly);
    const auto dialog = Start();
    EXPECT_EQ(dialog->Value(ControlId::optSubfoldersOnly), kTrue);
    EXPECT_TRUE(toolkit.MessageBoxes().empty());  // the load's repair stays silent

    dialog->OnClick(ControlId::cmdOK);
    EXPECT_EQ(toolkit.MessageBoxes(),
              std::vector<std::string>{"MsgBox 16 The default settings could not be saved. | "
                                       "Quillmarrow Default Settings"});
    EXPECT_FALSE(dialog->Loaded());
}
