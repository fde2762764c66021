#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/MemoryRegistry.h"

// Passes every call on to a MemoryRegistry and writes down what it was given. On request it
// throws std::bad_alloc in place of a call, or converts texts as UTF-8 (a code page with more
// bytes than characters).
class SpyRegistry final : public reg::RegistryApi {
  public:
    struct Call {
        Call(reg::Operation operation, reg::Hkey handle, std::optional<std::string> given = {})
            : op(operation), key(handle), name(std::move(given)) {}

        reg::Operation op;
        reg::Hkey key = 0;
        std::optional<std::string> name;  // subkey or value name; nullopt for a null pointer
        std::uint32_t access = 0;         // rights asked for; the reserved word of a set
        std::optional<std::string> keyClass;
        std::uint32_t type = 0;
        std::optional<std::uint32_t> size;  // the count given (nullopt: no size pointer)
        std::optional<std::string> data;    // the data given, and for queries one byte more
        // A create with reserved 0, options 0, no security attributes and a disposition
        // variable set to 0.
        bool plainCreate = false;
    };

    MemoryRegistry model;
    std::vector<Call> calls;
    std::optional<reg::Operation> throwOn;
    bool throwOnConvert = false;
    bool utf8 = false;

    reg::Status RegOpenKeyExA(reg::Hkey key, const char* subKey, std::uint32_t options,
                              std::uint32_t sam, reg::Hkey* result) override {
        Call call(reg::Operation::OpenKey, key, Str(subKey));
        call.access = sam;
        Record(call);
        return model.RegOpenKeyExA(key, subKey, options, sam, result);
    }
    reg::Status RegCreateKeyExA(reg::Hkey key, const char* subKey, std::uint32_t reserved,
                                const char* keyClass, std::uint32_t options, std::uint32_t sam,
                                const void* security, reg::Hkey* result,
                                std::uint32_t* disposition) override {
        Call call(reg::Operation::CreateKey, key, Str(subKey));
        call.access = sam;
        call.keyClass = Str(keyClass);
        call.plainCreate = reserved == 0 && options == 0 && security == nullptr &&
                           disposition != nullptr && *disposition == 0;
        Record(call);
        return model.RegCreateKeyExA(key, subKey, reserved, keyClass, options, sam, security,
                                     result, disposition);
    }
    reg::Status RegQueryValueExA(reg::Hkey key, const char* name, std::uint32_t* reserved,
                                 std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* size) override {
        Call call(reg::Operation::QueryValue, key, Str(name));
        call.type = type == nullptr ? 0xDEADU : *type;
        if (size != nullptr) call.size = *size;
        if (data != nullptr && size != nullptr) {
            call.data = std::string(reinterpret_cast<const char*>(data), *size + 1U);
        }
        Record(call);
        return model.RegQueryValueExA(key, name, reserved, type, data, size);
    }
    reg::Status RegSetValueExA(reg::Hkey key, const char* name, std::uint32_t reserved,
                               std::uint32_t type, const std::uint8_t* data,
                               std::uint32_t size) override {
        Call call(reg::Operation::SetValue, key, Str(name));
        call.access = reserved;
        call.type = type;
        call.size = size;
        // With the byte after the counted data, which the registry looks at too.
        call.data = std::string(reinterpret_cast<const char*>(data), size + 1U);
        Record(call);
        return model.RegSetValueExA(key, name, reserved, type, data, size);
    }
    reg::Status RegDeleteValueA(reg::Hkey key, const char* name) override {
        Record(Call(reg::Operation::DeleteValue, key, Str(name)));
        return model.RegDeleteValueA(key, name);
    }
    reg::Status RegDeleteKeyA(reg::Hkey key, const char* subKey) override {
        Record(Call(reg::Operation::DeleteKey, key, Str(subKey)));
        return model.RegDeleteKeyA(key, subKey);
    }
    reg::Status RegCloseKey(reg::Hkey key) override {
        Record(Call(reg::Operation::CloseKey, key));
        return model.RegCloseKey(key);
    }

    std::string ToAnsi(TextView text) override {
        if (throwOnConvert) throw std::bad_alloc();
        if (!utf8) return model.ToAnsi(text);
        std::string bytes;
        for (const char16_t unit : text) {  // BMP only: enough for the tests
            if (unit < 0x80) {
                bytes += static_cast<char>(unit);
            } else if (unit < 0x800) {
                bytes += static_cast<char>(0xC0 | (unit >> 6));
                bytes += static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                bytes += static_cast<char>(0xE0 | (unit >> 12));
                bytes += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (unit & 0x3F));
            }
        }
        return bytes;
    }
    Text FromAnsi(std::string_view bytes) override {
        if (throwOnConvert) throw std::bad_alloc();
        if (!utf8) return model.FromAnsi(bytes);
        Text text;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            const auto next = [&] { return static_cast<unsigned char>(bytes[++i]) & 0x3FU; };
            if (lead < 0x80) {
                text += static_cast<char16_t>(lead);
            } else if (lead < 0xE0 && i + 1 < bytes.size()) {
                text += static_cast<char16_t>(((lead & 0x1FU) << 6) | next());
            } else if (i + 2 < bytes.size()) {
                const unsigned middle = next();
                text += static_cast<char16_t>(((lead & 0x0FU) << 12) | (middle << 6) | next());
            } else {
                text += u'?';
            }
        }
        return text;
    }

    std::vector<reg::Operation> Ops() const {
        std::vector<reg::Operation> ops;
        for (const Call& call : calls) ops.push_back(call.op);
        return ops;
    }

  private:
    static std::optional<std::string> Str(const char* text) {
        return text == nullptr ? std::nullopt : std::optional<std::string>(text);
    }
    void Record(const Call& call) {
        calls.push_back(call);
        if (throwOn == call.op) throw std::bad_alloc();
    }
};
