// The registry's own behaviour that RegStringHandler relies on, on a scratch key of the real
// HKEY_CURRENT_USER: a string counted without its terminator, the class of created keys, a key
// the user may only read, a key deletion that is not recursive, value deletion, and texts the
// ANSI code page lacks.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/registry/Win32Registry.h"
#include "registry/RegStringHandler.h"

namespace {

using namespace std::string_literals;
constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;

class Advapi32 : public ::testing::Test {
  protected:
    void TearDown() override {
        SetAcl("\\Locked", "D:P(A;;KA;;;WD)");  // a read-only key would stop the tree from going
        ::RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
    }
    bool SetAcl(const std::string& sub, const char* sddl) {
        HKEY key = nullptr;
        PSECURITY_DESCRIPTOR acl = nullptr;
        bool done = ::RegOpenKeyExA(HKEY_CURRENT_USER, (scratch + sub).c_str(), 0, WRITE_DAC,
                                    &key) == ERROR_SUCCESS &&
                    ::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                           &acl, nullptr) &&
                    ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, acl) == ERROR_SUCCESS;
        if (acl != nullptr) ::LocalFree(acl);
        if (key != nullptr) ::RegCloseKey(key);
        return done;
    }
    // The key's class string, or the value's stored bytes when a name is given.
    std::string Read(const std::string& sub, const char* name = nullptr) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, (scratch + sub).c_str(), 0, KEY_READ, &key) != 0)
            return "(no key)";
        char bytes[64] = {};
        DWORD size = sizeof bytes;
        const LONG status =
            name == nullptr
                ? ::RegQueryInfoKeyA(key, bytes, &size, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr)
                : ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(bytes),
                                     &size);
        ::RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::string(bytes, size) : "(failed)";
    }
    Text Path(const std::string& sub) const {
        const std::string path = scratch + sub;
        return Text(path.begin(), path.end());
    }

    reg::Win32Registry api;
    RegStringHandler store{api};
    const std::string scratch = "Software\\QuillmarrowFacts-" + std::to_string(::GetTickCount64());
};

TEST_F(Advapi32, CreatedKeysHaveTheClassAndACountedStringKeepsTheNulAfterIt) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\A\\B"), u"V", u"True"), kTrue);
    EXPECT_EQ(Read("\\A\\B", "V"), "True\0"s);
    EXPECT_EQ(Read("\\A"), "REG_DWORD");
    EXPECT_EQ(Read("\\A\\B"), "REG_DWORD");
}

TEST_F(Advapi32, StringsAnotherProgramStoredReadWholeThroughTheBinding) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const auto put = [key](const char* name, const std::string& bytes, DWORD count) {
        return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                                count);
    };
    EXPECT_EQ(put("Bare", "FalseX", 5), ERROR_SUCCESS);  // no NUL after it: none is stored
    EXPECT_EQ(put("Inner", "Fa\0lse\0"s, 7), ERROR_SUCCESS);
    EXPECT_EQ(put("Accented", "M\xFCller\0"s, 7), ERROR_SUCCESS);  // 1252, Wine's en-US code page
    ::RegCloseKey(key);
    ASSERT_EQ(Read("", "Bare"), "False") << "stored without a terminator";
    EXPECT_EQ(store.ReadString(kHive, Path(""), u"Bare"), u"False");
    EXPECT_EQ(store.ReadString(kHive, Path(""), u"Inner"), u"Fa");
    EXPECT_EQ(store.ReadString(kHive, Path(""), u"Accented"), u"M\u00FCller");
}

TEST_F(Advapi32, AKeyTheUserMayOnlyReadStillReadsButDoesNotChange) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\Locked"), u"V", u"False"), kTrue);
    ASSERT_TRUE(SetAcl("\\Locked", "D:P(A;;KR;;;WD)"));
    EXPECT_EQ(store.ReadString(kHive, Path("\\Locked"), u"V"), u"False");
    EXPECT_EQ(store.WriteString(kHive, Path("\\Locked"), u"V", u"True"), kFalse);
}

TEST_F(Advapi32, AKeyWithSubkeysIsNotDeleted) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\Parent\\Child"), u"V", u"x"), kTrue);
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\Parent")), kFalse);
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\Parent\\Child")), kTrue);
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\Parent")), kTrue);
    EXPECT_EQ(Read("\\Parent"), "(no key)");
}

TEST_F(Advapi32, DeletingAMissingValueOrKeyAnswersFalseAndChangesNothing) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\K"), u"V", u"x"), kTrue);
    EXPECT_EQ(store.DeleteValue(kHive, Path("\\K"), u"W"), kFalse);
    EXPECT_EQ(store.DeleteValue(kHive, Path("\\L"), u"V"), kFalse);
    EXPECT_EQ(Read("\\L"), "(no key)");
    EXPECT_EQ(Read("\\K", "V"), "x\0"s);
    EXPECT_EQ(store.DeleteValue(kHive, Path("\\K"), u"V"), kTrue);
    EXPECT_EQ(Read("\\K", "V"), "(failed)");
}

TEST_F(Advapi32, TextsTheCodePageLacksAreRefusedNotTakenForTheirBestFit) {
    ASSERT_EQ(::GetACP(), 1252U) << "a code page that lacks U+0100, which best fit makes 'A'";
    const Text lacking = u"\u0100";
    ASSERT_EQ(store.WriteString(kHive, Path("\\KA"), u"VA", u"kept"), kTrue);
    EXPECT_EQ(store.ReadString(kHive, Path("\\K") + lacking, u"VA"), u"");
    EXPECT_EQ(store.ReadString(kHive, Path("\\KA"), u"V" + lacking), u"");
    EXPECT_EQ(store.WriteString(kHive, Path("\\N") + lacking, u"V", u"x"), kFalse);
    EXPECT_EQ(store.WriteString(kHive, Path("\\KA"), u"W" + lacking, u"x"), kFalse);
    EXPECT_EQ(store.WriteString(kHive, Path("\\KA"), u"VA", u"x" + lacking), kFalse);
    EXPECT_EQ(Read("\\NA"), "(no key)");
    EXPECT_EQ(Read("\\KA", "WA"), "(failed)");
    EXPECT_EQ(Read("\\KA", "VA"), "kept\0"s);
}

}  // namespace
