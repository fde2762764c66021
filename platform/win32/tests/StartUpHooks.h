#pragma once
// How the test build of the program (StartUpHooks.cpp) says that its hooks did not take, or that
// the terminate handler in place before wWinMain was still in place when std::terminate came.
#include <windows.h>

namespace hooked_program {

inline constexpr UINT kNotHookedExitCode = 0xBAD0600D;
inline constexpr UINT kForeignHandlerExitCode = 0xBAD07E43;

}  // namespace hooked_program
