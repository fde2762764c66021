#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/text.h"

// The options dialog as data: the window and its thirteen controls, in the order the layout lists
// them. That is not the order of creation: the Win32 toolkit creates them in tab order, which the
// dialog manager's Tab follows. Every position and size is in twips (1/1440 inch); option buttons
// are placed relative to the top-left corner of their frame, everything else relative to the
// client area.
namespace ui {

enum class ControlId : std::int8_t {
    None = -1,
    cmdOK,
    cmdReset,
    fraShortcutLocation,
    optSideMenu,
    optStartMenu,
    fraWindowStyle,
    optFolderWindow,
    optTwoPane,
    fraFolderTree,
    optSubfoldersOnly,
    optAllFolders,
    cmdCancel,
    lblOptionInfo,
};
inline constexpr std::size_t kControlCount = 13;

enum class ControlKind : std::uint8_t { CommandButton, Frame, OptionButton, Label };

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlSpec {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    ControlId container;  // None: the control stands on the dialog
    TextView caption;
    TwipsRect rect;
    int tabIndex;
    bool initiallySelected;  // option buttons only
    TextView tooltip;        // empty: none
};

struct WindowSpec {
    std::string_view name;
    TextView caption;
    int clientWidth;  // twips
    int clientHeight;
};

inline constexpr int kTwipsPerInch = 1440;

using ControlTable = std::span<const ControlSpec, kControlCount>;

const WindowSpec& OptionsWindow();
ControlTable OptionsControls();  // in the layout's order

// A control of a table by its id; throws InvalidArgumentFault when the table has none.
const ControlSpec& ControlSpecOf(ControlId id, ControlTable controls = OptionsControls());
// The table's controls by ascending tab index.
std::array<ControlSpec, kControlCount> InTabOrder(ControlTable controls = OptionsControls());

// The other button of an option button's exclusive pair; None for anything else.
ControlId PartnerOf(ControlId id);

// The control's rectangle relative to the client area (a frame's offset added for its buttons).
TwipsRect ClientTwips(const ControlSpec& entry, ControlTable controls = OptionsControls());

// Twips to device pixels at the given dots per inch, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

}  // namespace ui
