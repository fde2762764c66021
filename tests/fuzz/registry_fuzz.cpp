// Fills the in-memory registry with arbitrary keys, types and bytes, then runs the string store's
// four operations and its path trimming on arbitrary paths and names. Any crash, sanitizer report,
// handle left open or broken invariant stops the run.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/memory/MemoryRegistry.h"
#include "registry/RegStringHandler.h"

struct RegStringHandlerTestAccess {
    static Text Trim(TextView path) { return RegStringHandler::TrimKeySlashes(path); }
};

namespace {

constexpr reg::Hkey kHkcu = reg::RootKey(reg::kHkeyCurrentUser);

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Names that collide often (case, backslashes, code-page letters), or arbitrary bytes.
std::string AnsiName(FuzzedDataProvider& input) {
    static constexpr std::array<const char*, 8> kParts = {
        "", "a", "A", "Software", "\xe9t\xe9", "\xc9T\xc9", "\\", "\\\\"};
    if (input.ConsumeBool()) return input.ConsumeRandomLengthString(32);
    std::string name;
    const int parts = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < parts; ++i) {
        if (i > 0) name += '\\';
        name += kParts[input.ConsumeIntegralInRange<std::size_t>(0, kParts.size() - 1)];
    }
    return name;
}

Text TextName(FuzzedDataProvider& input, reg::RegistryApi& api) {
    if (input.ConsumeBool()) return api.FromAnsi(AnsiName(input));
    Text text;
    const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 24);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        text += input.ConsumeIntegral<char16_t>();
    }
    return text;
}

std::uint32_t ValueType(FuzzedDataProvider& input) {
    static constexpr std::array<std::uint32_t, 6> kTypes = {reg::kRegSz,       reg::kRegSz,
                                                            reg::kRegExpandSz, reg::kRegBinary,
                                                            reg::kRegDword,    reg::kRegMultiSz};
    if (input.ConsumeIntegralInRange(0, 7) == 0) return input.ConsumeIntegral<std::uint32_t>();
    return kTypes[input.ConsumeIntegralInRange<std::size_t>(0, kTypes.size() - 1)];
}

// Keys and values put straight into the model, some of them locked.
void Populate(FuzzedDataProvider& input, MemoryRegistry& model) {
    const int entries = input.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < entries; ++i) {
        std::string path = AnsiName(input);
        path.erase(0, path.find_first_not_of('\\'));  // the helpers take no leading backslash
        if (path.find_first_not_of('\\') == std::string::npos) path.clear();
        const std::string name = AnsiName(input);
        const std::uint32_t type = ValueType(input);
        model.PutValue(kHkcu, path, name, type, input.ConsumeRandomLengthString(64));
        if (input.ConsumeIntegralInRange(0, 5) == 0 && !path.empty()) {
            model.SetKeyAccess(
                kHkcu, path, input.ConsumeBool() ? reg::KeyAccess::ReadOnly : reg::KeyAccess::None);
        }
    }
}

// What a read gives back for a text that was written: the text as the code page keeps it, up
// to its first NUL.
Text AsStored(reg::RegistryApi& api, TextView text) {
    Text stored = api.FromAnsi(api.ToAnsi(text));
    return stored.substr(0, stored.find(u'\0'));
}

void CheckTrim(TextView path) {
    const Text trimmed = RegStringHandlerTestAccess::Trim(path);
    Require(trimmed.empty() || (trimmed.front() != u'\\' && trimmed.back() != u'\\'),
            "trimmed path keeps an outer backslash");
    Require(path.find(trimmed) != TextView::npos, "trimmed path is not part of the path");
    Require(RegStringHandlerTestAccess::Trim(trimmed) == trimmed, "trimming twice changes it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    MemoryRegistry model;
    Populate(input, model);

    // Sometimes another "process" rewrites a value between two of the store's calls.
    const bool racing = input.ConsumeIntegralInRange(0, 3) == 0;
    std::string racePath = AnsiName(input);
    racePath.erase(0, racePath.find_first_not_of('\\'));
    if (racePath.find_first_not_of('\\') == std::string::npos) racePath.clear();
    const std::string raceName = AnsiName(input);
    const std::string raceData = input.ConsumeRandomLengthString(16);
    std::string grown;
    if (racing) {
        model.SetHook([&](reg::Operation op) {
            if (op != reg::Operation::QueryValue) return;
            grown += raceData;
            model.PutValue(kHkcu, racePath, raceName, reg::kRegSz, grown);
        });
    }

    const RegStringHandler store(model);
    const std::uint32_t hive = input.ConsumeIntegralInRange(0, 15) == 0
                                   ? input.ConsumeIntegral<std::uint32_t>()
                                   : reg::kHkeyCurrentUser;
    while (input.remaining_bytes() > 0) {
        const Text path = TextName(input, model);
        const Text name = TextName(input, model);
        switch (input.ConsumeIntegralInRange(0, 4)) {
            case 0:
                static_cast<void>(store.ReadString(hive, path, name));
                break;
            case 1: {
                const Text text = TextName(input, model);
                const bool written = static_cast<bool>(store.WriteString(hive, path, name, text));
                if (written && !racing) {
                    Require(store.ReadString(hive, path, name) == AsStored(model, text),
                            "a written text does not read back");
                }
                break;
            }
            case 2:
                static_cast<void>(store.DeleteValue(hive, path, name));
                break;
            case 3:
                static_cast<void>(store.DeleteKey(hive, path));
                break;
            default:
                CheckTrim(path);
                break;
        }
        Require(model.OpenHandleCount() == 0, "a key handle was left open");
    }
    return 0;
}
