#include "ui/layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <set>

using ui::ControlId;

TEST(Layout, TwipsBecomePixelsAtTheMonitorsDpi) {
    EXPECT_EQ(ui::TwipsToPixels(8580, 96), 572);
    EXPECT_EQ(ui::TwipsToPixels(3015, 96), 201);
    EXPECT_EQ(ui::TwipsToPixels(2978, 96), 199);  // 198.53 rounds up
    EXPECT_EQ(ui::TwipsToPixels(5723, 96), 382);  // 381.5 rounds half up
    EXPECT_EQ(ui::TwipsToPixels(8580, 144), 858);
    EXPECT_EQ(ui::TwipsToPixels(0, 96), 0);
}

TEST(Layout, TabOrderRunsFromTheButtonsThroughThePairsToTheLabel) {
    std::array<ControlId, ui::kControlCount> order{};
    std::ranges::transform(ui::InTabOrder(), order.begin(), &ui::ControlSpec::id);
    const std::array<ControlId, ui::kControlCount> expected{
        ControlId::cmdOK,           ControlId::cmdCancel,
        ControlId::cmdReset,        ControlId::fraFolderTree,
        ControlId::optAllFolders,   ControlId::optSubfoldersOnly,
        ControlId::fraWindowStyle,  ControlId::optTwoPane,
        ControlId::optFolderWindow, ControlId::fraShortcutLocation,
        ControlId::optSideMenu,     ControlId::optStartMenu,
        ControlId::lblOptionInfo};
    EXPECT_EQ(order, expected);
}

TEST(Layout, EachPairSitsInItsOwnFrameWithTheUpperButtonSelected) {
    for (const ui::ControlSpec& entry : ui::OptionsControls()) {
        if (entry.kind != ui::ControlKind::OptionButton) {
            EXPECT_EQ(ui::PartnerOf(entry.id), ControlId::None) << entry.name;
            continue;
        }
        const ControlId partner = ui::PartnerOf(entry.id);
        ASSERT_NE(partner, ControlId::None) << entry.name;
        EXPECT_EQ(ui::PartnerOf(partner), entry.id);
        EXPECT_EQ(ui::ControlSpecOf(partner).container, entry.container);
        EXPECT_EQ(ui::ControlSpecOf(entry.container).kind, ui::ControlKind::Frame);
        EXPECT_EQ(entry.initiallySelected, entry.rect.top < ui::ControlSpecOf(partner).rect.top)
            << entry.name;
    }
}

TEST(Layout, NoTwoControlsOverlapAndAllFitTheClientArea) {
    const auto& window = ui::OptionsWindow();
    const auto controls = ui::OptionsControls();
    for (const auto& a : controls) {
        const auto ra = ui::ClientTwips(a);
        EXPECT_GE(ra.left, 0);
        EXPECT_LE(ra.left + ra.width, window.clientWidth) << a.name;
        EXPECT_LE(ra.top + ra.height, window.clientHeight) << a.name;
        for (const auto& b : controls) {
            if (a.id == b.id || a.id == b.container || b.id == a.container) continue;
            const auto rb = ui::ClientTwips(b);
            const bool apart = ra.left + ra.width <= rb.left || rb.left + rb.width <= ra.left ||
                               ra.top + ra.height <= rb.top || rb.top + rb.height <= ra.top;
            EXPECT_TRUE(apart) << a.name << " overlaps " << b.name;
        }
    }
}

TEST(Layout, OnlyTheCommandButtonsHaveTooltips) {
    std::set<std::string_view> withTips;
    for (const auto& entry : ui::OptionsControls()) {
        if (!entry.tooltip.empty()) withTips.insert(entry.name);
        EXPECT_EQ(entry.caption.find(u'&'), TextView::npos) << "access key in " << entry.name;
    }
    EXPECT_EQ(withTips, (std::set<std::string_view>{"cmdOK", "cmdCancel", "cmdReset"}));
}
