// What RegStringHandler relies on from the real registry, on a scratch key of HKEY_CURRENT_USER,
// in the ANSI code page QM_EXPECT_ACP names: the prefix's 1252, 932 (double-byte) or UTF-8 (its
// conversion held to what Windows documents); see each test for the facts.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

#include "platform/win32/registry/Win32Registry.h"
#include "testing/ImportSlots.h"
#include "registry/RegStringHandler.h"

namespace {

using namespace std::string_literals;
constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;

// A text beyond ASCII as the code page writes it, and a text the code page cannot hold.
struct CodePage {
    UINT id;
    Text text;
    std::string bytes;
    Text lacking;
};
const CodePage& ExpectedCodePage() {
    static const CodePage pages[] = {
        {1252, u"M\u00FCller", "M\xFCller", u"\u0100"},  // best fit would make U+0100 "A"
        {932, u"\u65E5\u672C", "\x93\xFA\x96\x7B", u"\u0100"},
        {65001, u"M\u00FCller", "M\xC3\xBCller", u"\xD800"},  // an unpaired surrogate
    };
    const char* expected = std::getenv("QM_EXPECT_ACP");
    const UINT id = expected == nullptr ? 1252 : static_cast<UINT>(std::atoi(expected));
    const auto* found = std::ranges::find(pages, id, &CodePage::id);
    return found != std::end(pages) ? *found : pages[0];
}

// WideCharToMultiByte as Microsoft documents it, which Wine is not: WC_ERR_INVALID_CHARS with the
// code page argument CP_UTF8 or 54936 only (not CP_ACP, whatever it stands for), and under UTF-8 no
// other flag (ERROR_INVALID_FLAGS), default character or used-default pointer (..._PARAMETER).
decltype(&::WideCharToMultiByte) g_convert = nullptr;
int WINAPI StrictWideCharToMultiByte(UINT page, DWORD flags, LPCWCH text, int length, LPSTR bytes,
                                     int size, LPCCH defaultChar, LPBOOL usedDefault) {
    const bool utf8 = (page == CP_ACP ? ::GetACP() : page) == CP_UTF8;
    const bool flagsValid =
        ((flags & WC_ERR_INVALID_CHARS) == 0 || page == CP_UTF8 || page == 54936) &&
        !(utf8 && (flags & ~DWORD{WC_ERR_INVALID_CHARS}) != 0);
    if (!flagsValid || (utf8 && (defaultChar != nullptr || usedDefault != nullptr))) {
        ::SetLastError(flagsValid ? ERROR_INVALID_PARAMETER : ERROR_INVALID_FLAGS);
        return 0;
    }
    return g_convert(page, flags, text, length, bytes, size, defaultChar, usedDefault);
}

class Advapi32 : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_convert = import_slots::RedirectImport("WideCharToMultiByte", &StrictWideCharToMultiByte);
    }
    void SetUp() override {
        ASSERT_NE(g_convert, nullptr) << "the conversion held to Windows' rules";
        ASSERT_EQ(::GetACP(), page.id) << "the ANSI code page this run is for";
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str()); }
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

    const CodePage& page = ExpectedCodePage();
    reg::Win32Registry api;
    RegStringHandler store{api};
    const std::string scratch = "Software\\QuillmarrowFacts-" + std::to_string(::GetTickCount64());
};

TEST_F(Advapi32, StringsKeepEveryByteAndTheNulAfterThemAndReadWholeAsAnotherProgramStoredThem) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\A\\B"), u"V", page.text), kTrue);
    EXPECT_EQ(Read("\\A\\B", "V"), page.bytes + '\0');
    EXPECT_EQ(store.ReadString(kHive, Path("\\A\\B"), u"V"), page.text);
    EXPECT_EQ(Read("\\A") + Read("\\A\\B"), "REG_DWORDREG_DWORD") << "the class of created keys";

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, KEY_SET_VALUE, &key), 0);
    const auto put = [key](const char* name, const std::string& bytes, DWORD count) {
        return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                                count);
    };
    EXPECT_EQ(put("Bare", "FalseX", 5), ERROR_SUCCESS);  // no NUL after it: none is stored
    EXPECT_EQ(put("Inner", "Fa\0lse\0"s, 7), ERROR_SUCCESS);
    ::RegCloseKey(key);
    ASSERT_EQ(Read("", "Bare"), "False") << "stored without a terminator";
    EXPECT_EQ(store.ReadString(kHive, Path(""), u"Bare"), u"False");
    EXPECT_EQ(store.ReadString(kHive, Path(""), u"Inner"), u"Fa");
}

TEST_F(Advapi32, AKeyTheUserMayOnlyReadStillReadsButDoesNotChange) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\Locked"), u"V", u"False"), kTrue);
    HKEY key = nullptr;
    PSECURITY_DESCRIPTOR readOnly = nullptr;  // and deletion, for the clean-up
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;;KRSD;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    ::RegOpenKeyExA(HKEY_CURRENT_USER, (scratch + "\\Locked").c_str(), 0, WRITE_DAC, &key);
    EXPECT_EQ(::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    ::RegCloseKey(key);
    ::LocalFree(readOnly);
    EXPECT_EQ(store.ReadString(kHive, Path("\\Locked"), u"V"), u"False");
    EXPECT_EQ(store.WriteString(kHive, Path("\\Locked"), u"V", u"True"), kFalse);
}

TEST_F(Advapi32, DeletionRemovesTheOpenedKeyWithoutSubkeysOrAValueThatExistsAndNothingElse) {
    ASSERT_EQ(store.WriteString(kHive, Path("\\K\\Child"), u"V", u"x"), kTrue);
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\K")), kFalse) << "it has a subkey";
    EXPECT_EQ(store.DeleteValue(kHive, Path("\\K\\Child"), u"W"), kFalse);
    EXPECT_EQ(store.DeleteValue(kHive, Path("\\K\\Child"), u"V"), kTrue);
    EXPECT_EQ(Read("\\K\\Child", "V"), "(failed)");
    EXPECT_EQ(store.DeleteKey(kHive, Path("\\K\\Child")), kTrue);
    EXPECT_EQ(Read("\\K\\Child") + Read("\\K"), "(no key)REG_DWORD")
        << "the key itself gone, not its parent";
}

TEST_F(Advapi32, TextsTheCodePageLacksAreRefusedNotTakenForTheirBestFit) {
    const Text& lacking = page.lacking;
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
