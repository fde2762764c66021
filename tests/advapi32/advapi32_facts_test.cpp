// The registry's own behaviour that RegStringHandler relies on, on a scratch key of the real
// HKEY_CURRENT_USER: a string counted without its terminator, the class of created keys, a key
// the user may only read, and a key deletion that is not recursive.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/registry/Win32Registry.h"
#include "registry/RegStringHandler.h"

namespace {

using namespace std::string_literals;
constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;
const HKEY kHkcu = HKEY_CURRENT_USER;

class Advapi32 : public ::testing::Test {
  protected:
    void TearDown() override {
        // A read-only key would stop the tree from going: give everyone everything first.
        for (const char* sub : {"", "\\Locked"}) SetAcl(scratch + sub, "D:P(A;;KA;;;WD)");
        ::RegDeleteTreeA(kHkcu, scratch.c_str());
    }
    static bool SetAcl(const std::string& path, const char* sddl) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(kHkcu, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        bool done = false;
        if (::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                   &descriptor, nullptr)) {
            done = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
            ::LocalFree(descriptor);
        }
        ::RegCloseKey(key);
        return done;
    }
    // The class string and the raw bytes of one value, through advapi32 directly.
    std::string ClassOf(const std::string& sub) const {
        HKEY key = nullptr;
        char keyClass[64] = {};
        DWORD length = sizeof keyClass;
        if (::RegOpenKeyExA(kHkcu, (scratch + sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "(no key)";
        ::RegQueryInfoKeyA(key, keyClass, &length, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(key);
        return std::string(keyClass, length);
    }
    std::string Raw(const std::string& sub, const char* name) const {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(kHkcu, (scratch + sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "(no key)";
        char bytes[64] = {};
        DWORD size = 0;
        ::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);  // the size stored
        if (size > sizeof bytes ||
            ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(bytes),
                               &size) != ERROR_SUCCESS)
            size = 0;
        ::RegCloseKey(key);
        return std::string(bytes, size);
    }
    Text Path(const std::string& sub) const {
        const std::string path = scratch + sub;
        return Text(path.begin(), path.end());
    }

    reg::Win32Registry api;
    RegStringHandler store{api};
    const std::string scratch =
        "Software\\QuillmarrowFacts-" + std::to_string(::GetCurrentProcessId());
};

TEST_F(Advapi32, AStringCountedWithoutTerminatorKeepsTheNulAfterIt) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\A\\B"), u"V", u"True"), kTrue);
    EXPECT_EQ(Raw("\\A\\B", "V"), "True\0"s);
    EXPECT_EQ(store.ReadString(kHive, Path("\\A\\B"), u"V"), u"True");
    EXPECT_EQ(ClassOf("\\A"), "REG_DWORD");
    EXPECT_EQ(ClassOf("\\A\\B"), "REG_DWORD");
}

TEST_F(Advapi32, AKeyTheUserMayOnlyReadStillReadsButDoesNotChange) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\Locked"), u"V", u"False"), kTrue);
    ASSERT_TRUE(SetAcl(scratch + "\\Locked", "D:P(A;;KR;;;WD)"));
    EXPECT_EQ(store.ReadString(kHive, Path("\\Locked"), u"V"), u"False");
    EXPECT_EQ(store.WriteString(kHive, Path("\\Locked"), u"V", u"True"), kFalse);
    EXPECT_EQ(Raw("\\Locked", "V"), "False\0"s);
}

TEST_F(Advapi32, DeletingAKeyWithSubkeysIsRefused) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\Parent\\Child"), u"V", u"x"), kTrue);
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\Parent")), kFalse);
    EXPECT_EQ(ClassOf("\\Parent\\Child"), "REG_DWORD");
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\Parent\\Child")), kTrue);
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\Parent")), kTrue);
    EXPECT_EQ(ClassOf("\\Parent"), "(no key)");
}

}  // namespace
