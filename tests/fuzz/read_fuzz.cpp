// The fuzzer plays the registry for one ReadString: it decides whether the key opens and, for
// every query, the type, the size, the status and the bytes delivered. The store must not crash,
// must close the key it opened, and must give either the empty text or the start of what the
// last query delivered.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "registry/RegStringHandler.h"
#include "tests/fakes/FakeRegistry.h"

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// The read's own calls scripted; the fake's Latin-1 conversions.
class ScriptedRegistry final : public FakeRegistry {
  public:
    explicit ScriptedRegistry(FuzzedDataProvider& script) : script_(script) {}
    int openKeys = 0;
    std::string delivered;  // by the last data query

    reg::Status RegOpenKeyExA(reg::Hkey, const char*, std::uint32_t, std::uint32_t,
                              reg::Hkey* result) override {
        if (script_.ConsumeBool()) {
            *result = kKey;
            ++openKeys;
        }
        return Status();
    }
    reg::Status RegCreateKeyExA(reg::Hkey, const char*, std::uint32_t, const char*, std::uint32_t,
                                std::uint32_t, const void*, reg::Hkey*, std::uint32_t*) override {
        std::abort();  // a read creates nothing
    }
    reg::Status RegQueryValueExA(reg::Hkey key, const char*, std::uint32_t*, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) override {
        Require(key == kKey && openKeys == 1, "query on a key that is not open");
        *type = script_.ConsumeBool() ? reg::kRegSz : script_.ConsumeIntegral<std::uint32_t>();
        if (data == nullptr) {
            *size = script_.ConsumeIntegralInRange<std::uint32_t>(0, 4096);
            return Status();
        }
        delivered =
            script_.ConsumeBytesAsString(script_.ConsumeIntegralInRange<std::uint32_t>(0, *size));
        std::memcpy(data, delivered.data(), delivered.size());
        *size = static_cast<std::uint32_t>(delivered.size());
        return Status();
    }
    reg::Status RegCloseKey(reg::Hkey key) override {
        Require(key == kKey && openKeys == 1, "closing a key that is not open");
        --openKeys;
        return Status();
    }

  private:
    static constexpr reg::Hkey kKey = 0x1234;
    reg::Status Status() {
        constexpr reg::Status kStatuses[] = {reg::kSuccess, reg::kMoreData, reg::kFileNotFound,
                                             reg::kAccessDenied};
        return script_.PickValueInArray(kStatuses);
    }
    FuzzedDataProvider& script_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider script(data, size);
    ScriptedRegistry registry(script);
    const Text text = RegStringHandler(registry).ReadString(reg::kHkeyCurrentUser, u"\\K\\", u"V");
    Require(registry.openKeys == 0, "a key was left open");
    const Text delivered = registry.FromAnsi(registry.delivered);
    Require(text.find(u'\0') == Text::npos && delivered.starts_with(text),
            "the text is not the start of what was delivered");
    return 0;
}
