#include "ui/Toolkit.h"

#include <stdexcept>

namespace ui {
namespace {
Toolkit* g_installed = nullptr;
}

void InstallToolkit(Toolkit* toolkit) {
    g_installed = toolkit;
}

Toolkit& InstalledToolkit() {
    if (g_installed == nullptr) throw std::runtime_error("no forms toolkit installed");
    return *g_installed;
}

}  // namespace ui
