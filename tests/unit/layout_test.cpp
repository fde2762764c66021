// The dialog's layout, transcribed once more by hand and compared with the table the program
// builds from: a typo in either shows up here.
#include <gtest/gtest.h>

#include <tuple>

#include "ui/layout.h"

namespace {

using enum ui::ControlId;
using enum ui::ControlKind;

constexpr TextView kOk = u"Click here to make the current settings default and exit";
constexpr TextView kCancel = u"Click here to exit without changing the default settings";
constexpr TextView kReset = u"Click here to return to the current default settings";
constexpr TextView kInfo =
    u"You can right click on a folder in Windows Explorer and click on \"Let Quillmarrow create a "
    u"shortcut\" on the context menu. That is the fastest way to work with Quillmarrow. The "
    u"default name and settings will be applied.";

// clang-format off
const ui::ControlSpec kExpected[] = {
    {cmdOK, "cmdOK", CommandButton, None, u"OK", {2310, 2340, 1140, 345}, 0, false, kOk},
    {cmdReset, "cmdReset", CommandButton, None, u"Reset", {5115, 2340, 1140, 345}, 2, false, kReset},
    {fraShortcutLocation, "fraShortcutLocation", Frame, None, u"Shortcut location", {5723, 975, 2670, 1020}, 9, false, u""},
    {optSideMenu, "optSideMenu", OptionButton, fraShortcutLocation, u"Put shortcut on side menu", {135, 270, 2460, 270}, 10, true, u""},
    {optStartMenu, "optStartMenu", OptionButton, fraShortcutLocation, u"Put shortcut on Start Menu", {135, 645, 2460, 270}, 11, false, u""},
    {fraWindowStyle, "fraWindowStyle", Frame, None, u"Window style", {2978, 975, 2670, 1020}, 6, false, u""},
    {optFolderWindow, "optFolderWindow", OptionButton, fraWindowStyle, u"Show folder window only", {135, 645, 2460, 270}, 8, false, u""},
    {optTwoPane, "optTwoPane", OptionButton, fraWindowStyle, u"Show two-pane window", {135, 270, 2460, 270}, 7, true, u""},
    {fraFolderTree, "fraFolderTree", Frame, None, u"Folder tree", {233, 975, 2670, 1020}, 3, false, u""},
    {optSubfoldersOnly, "optSubfoldersOnly", OptionButton, fraFolderTree, u"Show subfolders only", {135, 645, 2460, 270}, 5, false, u""},
    {optAllFolders, "optAllFolders", OptionButton, fraFolderTree, u"Show all folders", {135, 270, 2460, 270}, 4, true, u""},
    {cmdCancel, "cmdCancel", CommandButton, None, u"Cancel", {3705, 2340, 1140, 345}, 1, false, kCancel},
    {lblOptionInfo, "lblOptionInfo", Label, None, kInfo, {210, 270, 8160, 405}, 12, false, u""},
};
// clang-format on

TEST(Layout, TheTableIsTheDialogAsDesigned) {
    const ui::WindowSpec& window = ui::OptionsWindow();
    EXPECT_EQ(window.name, "frmOptions");
    EXPECT_EQ(window.caption, u"Quillmarrow 2004 Default Settings");
    EXPECT_EQ(window.clientWidth, 8580);
    EXPECT_EQ(window.clientHeight, 3015);

    // Every field of every row, in the order of creation.
    const auto fields = [](const ui::ControlSpec& c) {
        return std::tuple(c.id, c.name, c.kind, c.container, c.caption, c.rect.left, c.rect.top,
                          c.rect.width, c.rect.height, c.tabIndex, c.initiallySelected, c.tooltip);
    };
    for (std::size_t i = 0; i < ui::kControlCount; ++i) {
        EXPECT_EQ(fields(ui::OptionsControls()[i]), fields(kExpected[i])) << kExpected[i].name;
    }
}

}  // namespace
