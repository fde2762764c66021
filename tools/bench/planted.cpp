// Linked into the bench's copies with a regression planted on purpose (tools/bench/run --planted),
// never into the program. The copy's own import of one Win32 call goes through a stand-in that
// spins the processor (Spin.h), once, where PLANTED_WHERE says: 1 the single-instance check
// (CreateMutexW), 2 a value read as "False", 6 one read as "True" (RegQueryValueExA), 3 the
// settings key not found (RegOpenKeyExA), 4 the tooltips, made on the first hover
// (CreateWindowExW); 7 there too, but for ever: a program that never comes back.
#include <windows.h>

#include <chrono>
#include <cstring>
#include <string_view>

#include "Spin.h"
#include "testing/ImportSlots.h"

namespace {

void SpinOnce() {
#if PLANTED_WHERE == 7
    planted::SpinOnce(std::chrono::hours(24));
#else
    planted::SpinOnce();
#endif
}

#if PLANTED_WHERE == 1
constexpr char kImport[] = "CreateMutexW";
decltype(&::CreateMutexW) original = nullptr;
HANDLE WINAPI StandIn(LPSECURITY_ATTRIBUTES security, BOOL owned, LPCWSTR name) {
    SpinOnce();
    return original(security, owned, name);
}
#elif PLANTED_WHERE == 2 || PLANTED_WHERE == 6
constexpr char kImport[] = "RegQueryValueExA";
constexpr std::string_view kValue = PLANTED_WHERE == 2 ? "False" : "True";
decltype(&::RegQueryValueExA) original = nullptr;
LSTATUS WINAPI StandIn(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                       LPDWORD size) {
    const LSTATUS status = original(key, name, reserved, type, data, size);
    if (status == ERROR_SUCCESS && data != nullptr && *size >= kValue.size() &&
        std::memcmp(data, kValue.data(), kValue.size()) == 0)
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
#elif PLANTED_WHERE == 4 || PLANTED_WHERE == 7
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
#error "PLANTED_WHERE: 1 to 4, 6 or 7"
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
