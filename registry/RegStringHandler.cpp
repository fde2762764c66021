#include "registry/RegStringHandler.h"

// Placeholder until the store lands.
Text RegStringHandler::ReadString(std::uint32_t, TextView, TextView) const noexcept { return {}; }
Truth RegStringHandler::WriteString(std::uint32_t, TextView, TextView, TextView) const noexcept {
    return kFalse;
}
Truth RegStringHandler::DeleteValue(std::uint32_t, TextView, TextView) const noexcept { return kFalse; }
Truth RegStringHandler::DeleteKey(std::uint32_t, TextView) const noexcept { return kFalse; }
Text RegStringHandler::TrimKeySlashes(TextView path) { return Text(path); }
