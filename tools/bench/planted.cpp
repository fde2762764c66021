// Linked into the bench's copies with a regression planted on purpose (tools/bench/run --planted),
// never into the program. The copy's own import of one Win32 call goes through a stand-in that
// spins the processor for kPlanted, once, where PLANTED_WHERE says: 1 the single-instance check
// (CreateMutexW), 2 a value read as "False" (RegQueryValueExA), 3 the settings key not found
// (RegOpenKeyExA), 4 the tooltips, made on the first hover (CreateWindowExW).
#include <windows.h>

#include <chrono>
#include <cstring>

#include "testing/ImportSlots.h"

namespace {

// The regression's length (tools/bench/tests/test_verdict.py reads it here).
constexpr auto kPlanted = std::chrono::milliseconds(10);

void SpinOnce() {
    static bool spun = false;
    if (spun) return;
    spun = true;
    const auto until = std::chrono::steady_clock::now() + kPlanted;
    while (std::chrono::steady_clock::now() < until) {
    }
}

#if PLANTED_WHERE == 1
constexpr char kImport[] = "CreateMutexW";
decltype(&::CreateMutexW) original = nullptr;
HANDLE WINAPI StandIn(LPSECURITY_ATTRIBUTES security, BOOL owned, LPCWSTR name) {
    SpinOnce();
    return original(security, owned, name);
}
#elif PLANTED_WHERE == 2
constexpr char kImport[] = "RegQueryValueExA";
decltype(&::RegQueryValueExA) original = nullptr;
LSTATUS WINAPI StandIn(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                       LPDWORD size) {
    const LSTATUS status = original(key, name, reserved, type, data, size);
    if (status == ERROR_SUCCESS && data != nullptr && *size >= 5 &&
        std::memcmp(data, "False", 5) == 0)
        SpinOnce();
    return status;
}
#elif PLANTED_WHERE == 3
constexpr char kImport[] = "RegOpenKeyExA";
decltype(&::RegOpenKeyExA) original = nullptr;
LSTATUS WINAPI StandIn(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
    const LSTATUS status = original(root, path, options, access, key);
    if (status == ERROR_FILE_NOT_FOUND) SpinOnce();
    return status;
}
#elif PLANTED_WHERE == 4
constexpr char kImport[] = "CreateWindowExW";
decltype(&::CreateWindowExW) original = nullptr;
HWND WINAPI StandIn(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    LPVOID param) {
    SpinOnce();
    return original(exStyle, className, title, style, x, y, width, height, parent, menu, instance,
                    param);
}
#else
#error "PLANTED_WHERE: 1 to 4"
#endif

// Installed before the entry point. A copy that does not import the call, and so would carry no
// regression, ends before it shows anything: the bench stops.
struct Planting {
    Planting() noexcept {
        original = import_slots::RedirectImport(kImport, &StandIn);
        if (original == nullptr) ::ExitProcess(1);
    }
};
const Planting planting;

}  // namespace
