#include "platform/win32/DialogTemplate.h"

namespace win32 {
namespace {

// The dialog: a fixed border (no sizing frame), the window menu and a minimise button, and the
// font the layout's rectangles were drawn for: "MS Shell Dlg" 8 pt (DS_SETFONT), which English
// Windows maps to Microsoft Sans Serif. Not DS_SHELLFONT: that adds DS_FIXEDSYS, which makes the
// face "MS Shell Dlg 2" (Tahoma), some 12 % wider, and the information text no longer fits
// its label.
constexpr DWORD kDialogStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT;
constexpr WORD kDialogFontPoints = 8;
constexpr TextView kDialogFontFace = u"MS Shell Dlg";

constexpr WORD kButtonClass = 0x0080;  // predefined classes by ordinal
constexpr WORD kStaticClass = 0x0082;

struct ControlClass {
    WORD atom;
    DWORD style;
};

ControlClass ClassOf(const ui::ControlSpec& entry, ui::ControlTable controls) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (entry.kind) {
        case ui::ControlKind::CommandButton:
            // Each button is a group of its own, so the arrow keys never move between them.
            return {kButtonClass, kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON};
        case ui::ControlKind::Frame:
            return {kButtonClass, kChild | WS_GROUP | BS_GROUPBOX};
        case ui::ControlKind::OptionButton: {
            // The upper button of a pair (first in tab order) opens the pair's group. No button
            // has a tab stop of its own: a radio button takes it with its check mark and gives it
            // up with it, so Tab lands on the selected button of a pair and on no other.
            const ui::ControlId partner = ui::PartnerOf(entry.id);
            const bool upper = ui::ControlSpecOf(partner, controls).tabIndex > entry.tabIndex;
            return {kButtonClass, kChild | BS_AUTORADIOBUTTON | (upper ? WS_GROUP : 0)};
        }
        case ui::ControlKind::Label:
            // Wraps inside its rectangle; '&' is plain text, so it marks no access key.
            return {kStaticClass, kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX};
    }
    return {kStaticClass, kChild};
}

}  // namespace

ui::ControlId ControlOfChildId(int childId) {
    const int index = childId - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(ui::kControlCount)) return ui::ControlId::None;
    return static_cast<ui::ControlId>(index);
}

std::vector<WORD> BuildDialogTemplate(const ui::WindowSpec& window, ui::ControlTable controls) {
    std::vector<WORD> out;
    const auto word = [&out](unsigned value) { out.push_back(static_cast<WORD>(value)); };
    const auto dword = [&word](DWORD value) {
        word(LOWORD(value));
        word(HIWORD(value));
    };
    const auto text = [&out, &word](TextView value) {
        out.insert(out.end(), value.begin(), value.end());
        word(0);
    };
    // Twips as dialog units of the dialog font at 96 DPI, to the nearest unit: 8-point MS Sans
    // Serif has base units of 6 x 13 pixels (4 x 8 dialog units), and a pixel is 15 twips.
    const auto rect = [&word](const ui::TwipsRect& twips) {
        const auto x = [](int twipsX) { return static_cast<unsigned>((twipsX * 2 + 22) / 45); };
        const auto y = [](int twipsY) { return static_cast<unsigned>((twipsY * 8 + 97) / 195); };
        word(x(twips.left));
        word(y(twips.top));
        word(x(twips.width));
        word(y(twips.height));
    };

    word(1);       // dlgVer
    word(0xFFFF);  // signature: an extended template
    dword(0);      // helpID
    dword(0);      // exStyle
    dword(kDialogStyle);
    word(static_cast<unsigned>(controls.size()));
    rect({0, 0, window.clientWidth, window.clientHeight});
    word(0);  // no menu
    word(0);  // the dialog class
    text(window.caption);
    word(kDialogFontPoints);
    word(FW_NORMAL);             // weight
    word(DEFAULT_CHARSET << 8);  // italic (low byte), charset (high byte)
    text(kDialogFontFace);

    // The dialog manager creates the controls in the template's order, and its Tab and Shift+Tab
    // follow the order of creation: so the template lists them in tab order, not in the layout's.
    for (const ui::ControlSpec& entry : ui::InTabOrder(controls)) {
        const ControlClass kind = ClassOf(entry, controls);
        if (out.size() % 2 != 0) word(0);  // each item starts on a DWORD boundary
        dword(0);                          // helpID
        dword(0);                          // exStyle
        dword(kind.style);
        rect(ui::ClientTwips(entry, controls));
        dword(static_cast<DWORD>(ChildId(entry.id)));
        word(0xFFFF);
        word(kind.atom);
        text(entry.caption);
        word(0);  // no creation data
    }
    return out;
}

}  // namespace win32
