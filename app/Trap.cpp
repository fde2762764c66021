#include "app/Trap.h"

#include "app/modMain.h"

namespace app {

void ReportTrappedFailure() {
    try {
        modMain::HandleUnexpectedError();
    } catch (...) {
        throw EscapedFailure();
    }
}

}  // namespace app
