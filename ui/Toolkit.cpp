#include "ui/Toolkit.h"

#include "common/Fault.h"

namespace ui {
namespace {
Toolkit* g_installed = nullptr;
}

void InstallToolkit(Toolkit* toolkit) {
    g_installed = toolkit;
}

Toolkit& InstalledToolkit() {
    if (g_installed == nullptr) throw NotInstalledFault("no forms toolkit installed");
    return *g_installed;
}

}  // namespace ui
