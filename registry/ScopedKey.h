#pragma once

#include "registry/RegistryApi.h"

namespace reg {

// Owns the handle that an open or create call writes into Out(); closes it through the same
// RegistryApi when it goes out of scope. The handle counts as open exactly when it is nonzero,
// whatever status the call returned.
class ScopedKey {
  public:
    explicit ScopedKey(RegistryApi& api) : api_(api) {}
    ~ScopedKey() {
        if (handle_ == 0) return;
        try {
            static_cast<void>(api_.RegCloseKey(handle_));  // nothing to do about a failed close
        } catch (...) {
        }
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    Hkey* Out() { return &handle_; }
    Hkey Get() const { return handle_; }
    bool IsOpen() const { return handle_ != 0; }

  private:
    RegistryApi& api_;
    Hkey handle_ = 0;
};

}  // namespace reg
