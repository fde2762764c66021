#include "platform/win32/ControlStyles.h"

#include <commctrl.h>

namespace win32 {

ui::ControlId ControlOfChildId(int childId) {
    const int index = childId - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(ui::kControlCount)) return ui::ControlId::None;
    return static_cast<ui::ControlId>(index);
}

ControlClass ClassOf(ui::ControlKind kind, bool firstOfPair) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ui::ControlKind::CommandButton:
            // Each button is a group of its own, so the arrow keys never move between them; no
            // button is the default button.
            return {WC_BUTTONW, kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON};
        case ui::ControlKind::Frame:
            return {WC_BUTTONW, kChild | WS_GROUP | BS_GROUPBOX};
        case ui::ControlKind::OptionButton:
            return {WC_BUTTONW, kChild | BS_AUTORADIOBUTTON | (firstOfPair ? WS_GROUP : 0)};
        case ui::ControlKind::Label:
            // Wraps inside its rectangle; '&' is plain text, so it marks no access key.
            return {WC_STATICW, kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX};
    }
    return {WC_STATICW, kChild};
}

}  // namespace win32
