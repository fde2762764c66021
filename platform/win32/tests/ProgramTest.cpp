// What the program asks of Windows beyond the dialog's face: how a terminate ends the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "common/Fault.h"
#include "platform/win32/tests/DialogFixture.h"

namespace {

using namespace dialog_test;

constexpr DWORD kStatusFailFast = 0xC0000602;  // STATUS_FAIL_FAST_EXCEPTION

void Fails() {
    throw Fault("a planted terminate");
}
void MustNotFail() noexcept {
    Fails();
}

TEST(Terminate, EndsTheProcessAsACrashForWindowsErrorReporting) {
    if (std::getenv("QM_TERMINATE") == nullptr) {
        // In a child: the terminate handler of the program (TerminateHandler.cpp) ends it.
        EXPECT_EQ(RunChild(L"Terminate.*", L"QM_TERMINATE", L"1"), kStatusFailFast)
            << "3: ended quietly as a failure of the failure routine";
        return;
    }
    MustNotFail();
}

}  // namespace
