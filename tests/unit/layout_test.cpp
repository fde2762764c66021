// The dialog's layout without Windows: every control's place in the client area in pixels at
// 96 DPI and the tab order, as the design gives them (the dialog tests see the same on Windows).
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ui/layout.h"

namespace {

using enum ui::ControlId;

TEST(Layout, EachControlSitsWhereTheDesignPutsItAt96DpiInTheDesignsTabOrder) {
    const auto pixels = [](int twips) { return ui::TwipsToPixels(twips, 96); };
    const ui::WindowSpec& window = ui::OptionsWindow();
    EXPECT_EQ(std::pair(pixels(window.clientWidth), pixels(window.clientHeight)),
              std::pair(572, 201));
    // Left, top, width and height in the client area (an option button's frame's plus its own).
    const std::pair<ui::ControlId, std::array<int, 4>> designed[] = {
        {cmdOK, {154, 156, 76, 23}},
        {cmdCancel, {247, 156, 76, 23}},
        {cmdReset, {341, 156, 76, 23}},
        {fraFolderTree, {16, 65, 178, 68}},
        {optAllFolders, {25, 83, 164, 18}},
        {optSubfoldersOnly, {25, 108, 164, 18}},
        {fraWindowStyle, {199, 65, 178, 68}},
        {optTwoPane, {208, 83, 164, 18}},
        {optFolderWindow, {208, 108, 164, 18}},
        {fraShortcutLocation, {382, 65, 178, 68}},
        {optSideMenu, {391, 83, 164, 18}},
        {optStartMenu, {391, 108, 164, 18}},
        {lblOptionInfo, {14, 18, 544, 27}}};
    std::vector<ui::ControlId> designedTabOrder;
    for (const auto& [id, at96] : designed) {
        const ui::ControlSpec& control = ui::ControlSpecOf(id);
        SCOPED_TRACE(control.name);
        const ui::TwipsRect rect = ui::ClientTwips(control);
        EXPECT_EQ((std::array{pixels(rect.left), pixels(rect.top), pixels(rect.width),
                              pixels(rect.height)}),
                  at96);
        designedTabOrder.push_back(id);  // listed above in the design's tab order
    }
    std::vector<ui::ControlId> tabOrder;
    for (const ui::ControlSpec& control : ui::InTabOrder()) tabOrder.push_back(control.id);
    EXPECT_EQ(tabOrder, designedTabOrder);
}

}  // namespace
