#include <windows.h>

#include <exception>

#include "app/modMain.h"
#include "platform/win32/Boundary.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/registry/Win32Registry.h"
#include "registry/RegistryProvider.h"
#include "ui/Toolkit.h"

namespace {

// Installs the real providers for the lifetime of the run, and takes them away before they go.
class InstalledProviders {
  public:
    InstalledProviders(reg::RegistryApi& registry, ui::Toolkit& toolkit) {
        reg::InstallRegistry(&registry);
        ui::InstallToolkit(&toolkit);
    }
    ~InstalledProviders() {
        ui::InstallToolkit(nullptr);
        reg::InstallRegistry(nullptr);
    }
    InstalledProviders(const InstalledProviders&) = delete;
    InstalledProviders& operator=(const InstalledProviders&) = delete;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    win32::SearchOnlySystem32ForDlls();
    // No "insert a disk" prompts. A real crash, std::terminate included, is left to Windows
    // Error Reporting: it is a bug to hear about. A failure in the failure routine ends quietly
    // (see Boundary.h).
    ::SetErrorMode(SEM_FAILCRITICALERRORS);
    std::set_terminate(win32::EndAfterTerminate);
    try {
        reg::Win32Registry registry;
        win32::Win32Toolkit toolkit(instance);
        const InstalledProviders providers(registry, toolkit);
        modMain::Main();
        toolkit.RunMessageLoop();
    } catch (...) {
        // A failure that escaped the unexpected-error routine (or struck outside any handler).
        win32::EndAfterEscapedFailure();
    }
    return 0;
}
