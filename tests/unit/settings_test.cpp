// The default settings through the dialog: what a stored value means, what is written back, what
// OK and Cancel do to the registry, and a second start. (Reset is one of the journeys; that closing
// the window runs no handler, one of the dialog tests.)
#include <algorithm>

#include "tests/unit/app_fixture.h"

namespace {

using namespace std::string_literals;
using ui::ControlId;

using Settings = AppTest;

TEST_F(Settings, StoredValuesReadAsFalseOnlyForFalseInAnyCaseAndAreWrittenBackCanonically) {
    const struct {
        std::uint32_t type;
        std::string bytes;
        bool expected;
    } cases[] = {{reg::kRegSz, "FALSE\0"s, false},      {reg::kRegSz, "fAlSe\0junk"s, false},
                 {reg::kRegSz, "False"s, false},        {reg::kRegSz, " false\0"s, true},
                 {reg::kRegSz, "0\0"s, true},           {reg::kRegSz, "\0"s, true},
                 {reg::kRegExpandSz, "False\0"s, true}, {reg::kRegMultiSz, "False\0\0"s, true},
                 {reg::kRegBinary, "False"s, true},     {reg::kRegDword, "\0\0\0\0"s, true}};
    for (const auto& [type, bytes, expected] : cases) {
        SCOPED_TRACE(bytes);
        registry.Put(kKey, "TwoPane", bytes, type);
        Seed("AllFolders", "false");
        modMain::LoadDefaultSettings();
        EXPECT_EQ(modMain::blnTwoPane, ToTruth(expected));
        EXPECT_EQ(modMain::blnAllFolders, kFalse);
        EXPECT_EQ(modMain::blnSideMenu, kTrue);  // missing
        EXPECT_EQ(AllStored(), expected ? "False True True" : "False False True");
    }
}

TEST_F(Settings, FirstRunFillsTheHiddenDialogFromThreeReadsBeforeAnyWrite) {
    const auto dialog = Start();
    EXPECT_EQ(AllStored(), "True True True");
    // The key is missing: each read is an open that finds nothing, and no write comes before them.
    const auto firstWrite = std::ranges::find_if(
        registry.calls, [](const FakeRegistry::Call& call) { return call.op != "Open"; });
    EXPECT_EQ(std::count_if(registry.calls.begin(), firstWrite,
                            [](const FakeRegistry::Call& call) {
                                return call.name == kKey && call.access == reg::kKeyRead;
                            }),
              3);

    EXPECT_LT(toolkit.Position("SetChecked"), toolkit.Position("DoEvents"));  // pending events run
    EXPECT_LT(toolkit.Position("DoEvents"), toolkit.Position("Display"));
    for (const ControlId upper :
         {ControlId::optAllFolders, ControlId::optTwoPane, ControlId::optSideMenu}) {
        EXPECT_EQ(dialog->Value(upper), kTrue);
        EXPECT_EQ(dialog->Value(ui::PartnerOf(upper)), kFalse);
    }
}

TEST_F(Settings, AStoredKeyIsReadValueByValueInOrderBeforeAnyWrite) {
    for (const char* name : {"SideMenu", "TwoPane", "AllFolders"}) Seed(name, "False");
    modMain::LoadDefaultSettings();
    std::vector<std::string> read;
    for (const FakeRegistry::Call& call : registry.calls) {
        if (call.op == "Set") break;
        if (call.op == "Query" && call.size != 0) read.push_back(call.name.value_or("(null)"));
    }
    EXPECT_EQ(read, (std::vector<std::string>{"AllFolders", "TwoPane", "SideMenu"}));
    EXPECT_EQ(AllStored(), "False False False");
}

TEST_F(Settings, OkStoresTheUpperButtonOfEachPairAndUnloadsTheDialog) {
    Seed("TwoPane", "False");
    const auto dialog = Start();
    EXPECT_EQ(dialog->Value(ControlId::optFolderWindow), kTrue);
    toolkit.UserSelects(*dialog, ControlId::optSubfoldersOnly);
    toolkit.UserSelects(*dialog, ControlId::optTwoPane);
    dialog->SetValue(ControlId::optSideMenu, kFalse);  // neither button of the pair selected
    EXPECT_EQ(AllStored(), "True False True");         // nothing stored before OK

    dialog->OnClick(ControlId::cmdOK);
    EXPECT_EQ(AllStored(), "False True False");
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_TRUE(ui::LoadedForms().empty());
    EXPECT_TRUE(toolkit.MessageBoxes().empty());
}

TEST_F(Settings, AFailedWriteStopsNoLaterOneAndAFailedSaveIsReported) {
    Seed("AllFolders", "False");
    Seed("TwoPane", "FALSE");
    registry.beforeCall = [this](const FakeRegistry::Call& call) {  // the first value only
        if (call.op == "Set") registry.failing = {{"Set", reg::kAccessDenied}};
        if (call.op == "Set" && call.name != "AllFolders") registry.failing.clear();
    };
    const auto dialog = Start();
    EXPECT_EQ(dialog->Value(ControlId::optSubfoldersOnly), kTrue);
    EXPECT_EQ(AllStored(), "False False True");   // the later values repaired all the same
    EXPECT_TRUE(toolkit.MessageBoxes().empty());  // the load's failed repair is silent

    toolkit.UserSelects(*dialog, ControlId::optTwoPane);
    toolkit.UserSelects(*dialog, ControlId::optStartMenu);
    dialog->OnClick(ControlId::cmdOK);
    EXPECT_EQ(AllStored(), "False True False");
    EXPECT_EQ(toolkit.MessageBoxes(),
              std::vector<std::string>{"MsgBox 16 The default settings could not be saved. | "
                                       "Quillmarrow Default Settings"});
    EXPECT_FALSE(dialog->Loaded());
}

TEST_F(Settings, CancelStoresNothing) {
    const auto dialog = Start();
    const std::size_t callsAfterLoad = registry.calls.size();
    toolkit.UserSelects(*dialog, ControlId::optSubfoldersOnly);
    dialog->OnClick(ControlId::cmdCancel);
    EXPECT_FALSE(dialog->Loaded());
    EXPECT_EQ(registry.calls.size(), callsAfterLoad);
}

TEST_F(Settings, ASecondStartOnlyTellsTheUserAndTouchesNothing) {
    toolkit.previousInstance = true;
    modMain::Main();
    EXPECT_EQ(toolkit.log,
              (std::vector<std::string>{"PrevInstance",
                                        "MsgBox 64 Quillmarrow Default Settings is already "
                                        "running on your system. | Quillmarrow Default "
                                        "Settings"}));
    EXPECT_TRUE(registry.calls.empty());
}

}  // namespace
