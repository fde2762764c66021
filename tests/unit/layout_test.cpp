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
    for (const ui::ControlSpec& spec : ui::OptionsControls()) {
        if (spec.kind != ui::ControlKind::OptionButton) {
            EXPECT_EQ(ui::PartnerOf(spec.id), ControlId::None) << spec.name;
            continue;
        }
        const ControlId partner = ui::PartnerOf(spec.id);
        ASSERT_NE(partner, ControlId::None) << spec.name;
        EXPECT_EQ(ui::PartnerOf(partner), spec.id);
        EXPECT_EQ(ui::Spec(partner).container, spec.container);
        EXPECT_EQ(ui::Spec(spec.container).kind, ui::ControlKind::Frame);
        EXPECT_EQ(spec.initiallySelected, spec.rect.top < ui::Spec(partner).rect.top) << spec.name;
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
    for (const auto& spec : ui::OptionsControls()) {
        if (!spec.tooltip.empty()) withTips.insert(spec.name);
        EXPECT_EQ(spec.caption.find(u'&'), TextView::npos) << "access key in " << spec.name;
    }
    EXPECT_EQ(withTips, (std::set<std::string_view>{"cmdOK", "cmdCancel", "cmdReset"}));
}
