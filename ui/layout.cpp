#include "ui/layout.h"

#include <algorithm>

#include "common/Fault.h"

namespace ui {
namespace {

constexpr TextView kInfoText =
    u"You can right click on a folder in Windows Explorer and click on \"Let Quillmarrow create a "
    u"shortcut\" on the context menu. That is the fastest way to work with Quillmarrow. "
    u"The default name and settings will be applied.";

constexpr WindowSpec kWindow{"frmOptions", u"Quillmarrow 2004 Default Settings", 8580, 3015};

using enum ControlId;
using enum ControlKind;

// One row per control, in the layout's order (not the order of creation, see layout.h):
// id, name, kind, container, caption, {left, top, width, height}, tab index, selected, tooltip.
// clang-format off
constexpr std::array<ControlSpec, kControlCount> kControls{{
    {cmdOK,             "cmdOK",             CommandButton, None,                u"OK",                         {2310, 2340, 1140,  345},  0, false, u"Click here to make the current settings default and exit"},
    {cmdReset,          "cmdReset",          CommandButton, None,                u"Reset",                      {5115, 2340, 1140,  345},  2, false, u"Click here to return to the current default settings"},
    {fraShortcutLocation, "fraShortcutLocation", Frame,     None,                u"Shortcut location",          {5723,  975, 2670, 1020},  9, false, u""},
    {optSideMenu,       "optSideMenu",       OptionButton,  fraShortcutLocation, u"Put shortcut on side menu",  { 135,  270, 2460,  270}, 10, true,  u""},
    {optStartMenu,      "optStartMenu",      OptionButton,  fraShortcutLocation, u"Put shortcut on Start Menu", { 135,  645, 2460,  270}, 11, false, u""},
    {fraWindowStyle,    "fraWindowStyle",    Frame,         None,                u"Window style",               {2978,  975, 2670, 1020},  6, false, u""},
    {optFolderWindow,   "optFolderWindow",   OptionButton,  fraWindowStyle,      u"Show folder window only",    { 135,  645, 2460,  270},  8, false, u""},
    {optTwoPane,        "optTwoPane",        OptionButton,  fraWindowStyle,      u"Show two-pane window",       { 135,  270, 2460,  270},  7, true,  u""},
    {fraFolderTree,     "fraFolderTree",     Frame,         None,                u"Folder tree",                { 233,  975, 2670, 1020},  3, false, u""},
    {optSubfoldersOnly, "optSubfoldersOnly", OptionButton,  fraFolderTree,       u"Show subfolders only",       { 135,  645, 2460,  270},  5, false, u""},
    {optAllFolders,     "optAllFolders",     OptionButton,  fraFolderTree,       u"Show all folders",           { 135,  270, 2460,  270},  4, true,  u""},
    {cmdCancel,         "cmdCancel",         CommandButton, None,                u"Cancel",                     {3705, 2340, 1140,  345},  1, false, u"Click here to exit without changing the default settings"},
    {lblOptionInfo,     "lblOptionInfo",     Label,         None,                kInfoText,                     { 210,  270, 8160,  405}, 12, false, u""},
}};
// clang-format on

// An option button's partner is the other option button of its frame.
constexpr ControlId PartnerIn(ControlTable controls, ControlId id) {
    ControlId frame = None;
    for (const ControlSpec& entry : controls)
        if (entry.id == id && entry.kind == OptionButton) frame = entry.container;
    if (frame == None) return None;
    for (const ControlSpec& entry : controls)
        if (entry.kind == OptionButton && entry.container == frame && entry.id != id)
            return entry.id;
    return None;
}

// The partners above are unambiguous: every frame holds exactly two option buttons, and no other
// control holds any, nor does an option button stand on the dialog itself.
constexpr bool EveryFrameHoldsOnePair(ControlTable controls) {
    for (const ControlSpec& holder : controls) {
        if (holder.kind == OptionButton && holder.container == None) return false;
        int buttons = 0;
        for (const ControlSpec& entry : controls)
            if (entry.kind == OptionButton && entry.container == holder.id) ++buttons;
        if (buttons != (holder.kind == Frame ? 2 : 0)) return false;
    }
    return true;
}
static_assert(EveryFrameHoldsOnePair(kControls), "each frame holds one pair of option buttons");

}  // namespace

const WindowSpec& OptionsWindow() {
    return kWindow;
}

ControlTable OptionsControls() {
    return kControls;
}

const ControlSpec& ControlSpecOf(ControlId id, ControlTable controls) {
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [id](const ControlSpec& entry) { return entry.id == id; });
    if (found == controls.end()) throw InvalidArgumentFault("no such control");
    return *found;
}

std::array<ControlSpec, kControlCount> InTabOrder(ControlTable controls) {
    std::array<ControlSpec, kControlCount> sorted{};
    std::copy(controls.begin(), controls.end(), sorted.begin());
    std::stable_sort(sorted.begin(), sorted.end(), [](const ControlSpec& a, const ControlSpec& b) {
        return a.tabIndex < b.tabIndex;
    });
    return sorted;
}

ControlId PartnerOf(ControlId id) {
    return PartnerIn(kControls, id);
}

TwipsRect ClientTwips(const ControlSpec& entry, ControlTable controls) {
    TwipsRect rect = entry.rect;
    if (entry.container != None) {
        const TwipsRect& frame = ControlSpecOf(entry.container, controls).rect;
        rect.left += frame.left;
        rect.top += frame.top;
    }
    return rect;
}

int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                        : -((-scaled + half) / kTwipsPerInch));
}

}  // namespace ui
