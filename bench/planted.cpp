// Linked into a bench-only copy of the program (program-planted.exe, bench/run --planted), never
// into the program: a regression planted on purpose, to show that the bench's verdict catches one.
// The copy's one call of GetCursorPos, made while the dialog is placed, first spins the processor
// for 10 ms.
#include <windows.h>

#include "testing/ImportSlots.h"

namespace {

constexpr LONGLONG kPlantedMs = 10;

decltype(&::GetCursorPos) original = nullptr;

BOOL WINAPI SlowGetCursorPos(LPPOINT point) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    do {
        ::QueryPerformanceCounter(&now);
    } while ((now.QuadPart - start.QuadPart) * 1000 < kPlantedMs * frequency.QuadPart);
    return original(point);
}

// Installed while the runtime starts, before the entry point.
struct Planting {
    Planting() noexcept { original = import_slots::RedirectImport("GetCursorPos", &SlowGetCursorPos); }
};
const Planting planting;

}  // namespace
