// What the registry string store relies on from the registry, checked the same way against
// every provider of the seam.
#include <array>

#include "tests/contract/ContractFixture.h"

namespace {

using namespace std::string_literals;

constexpr std::uint32_t kCreatedNew = 1;
constexpr std::uint32_t kOpenedExisting = 2;
constexpr reg::Status kKeyDeleted = 1018;

using KeyContract = ContractTest;
using ValueContract = ContractTest;
using CodePageContract = ContractTest;

TEST_F(KeyContract, CreateMakesTheWholePathAndGivesEveryNewKeyTheClass) {
    std::uint32_t disposition = 0;
    const TestKey leaf(Api(), Create(Path("A\\B\\C"), &disposition));
    ASSERT_NE(leaf.get(), 0U);
    EXPECT_EQ(disposition, kCreatedNew);
    EXPECT_EQ(Env().KeyClass(leaf.get()), "REG_DWORD");

    reg::Hkey middle = 0;
    ASSERT_EQ(Open(Path("A\\B").c_str(), reg::kKeyRead, &middle), reg::kSuccess);
    const TestKey middleKey(Api(), middle);
    EXPECT_EQ(Env().KeyClass(middle), "REG_DWORD");

    const TestKey again(Api(), Create(Path("A\\B\\C"), &disposition));
    EXPECT_EQ(disposition, kOpenedExisting);
}

TEST_F(KeyContract, OpeningAMissingKeyFailsAndClearsTheHandle) {
    reg::Hkey key = 0x4242;
    EXPECT_EQ(Api().RegOpenKeyExA(Hkcu(), Path("Missing").c_str(), 0, reg::kKeyRead, &key),
              reg::kFileNotFound);
    EXPECT_EQ(key, 0U);
}

TEST_F(KeyContract, BackslashesInPaths) {
    const TestKey created(Api(), Create(Path("One\\Two")));
    reg::Hkey key = 0;

    const std::string leading = "\\" + Path("One");
    EXPECT_EQ(Open(leading.c_str(), reg::kKeyRead, &key), reg::kBadPathname);
    EXPECT_EQ(key, 0U);
    EXPECT_EQ(Api().RegCreateKeyExA(Hkcu(), leading.c_str(), 0, nullptr, 0, reg::kKeyAllAccess,
                                    nullptr, &key, nullptr),
              reg::kBadPathname);
    EXPECT_EQ(key, 0U);

    // A trailing backslash is accepted, and a doubled one inside separates like one.
    for (const std::string& path : {Path("One\\"), Path("One\\\\Two"), Path("One\\Two\\\\")}) {
        ASSERT_EQ(Open(path.c_str(), reg::kKeyRead, &key), reg::kSuccess) << path;
        EXPECT_EQ(Api().RegCloseKey(key), reg::kSuccess);
    }
    const TestKey doubled(Api(), Create(Path("One\\\\Two")));
    ASSERT_EQ(SetRaw(doubled.get(), "v", reg::kRegSz, "x", 1), reg::kSuccess);
    EXPECT_EQ(SizeOf(created.get(), "v").status, reg::kSuccess);
}

TEST_F(KeyContract, KeyAndValueNamesIgnoreCase) {
    const TestKey created(Api(), Create(Path("MixedCase")));
    ASSERT_EQ(SetRaw(created.get(), "AllFolders", reg::kRegSz, "True", 4), reg::kSuccess);

    reg::Hkey key = 0;
    const std::string upper = Path("MIXEDCASE");
    ASSERT_EQ(Open(upper.c_str(), reg::kKeyRead, &key), reg::kSuccess);
    const TestKey opened(Api(), key);
    EXPECT_EQ(SizeOf(key, "ALLFOLDERS").size, 5U);
    EXPECT_EQ(SizeOf(key, "allfolders").size, 5U);
}

TEST_F(KeyContract, APredefinedRootOpensAsItselfAndClosingItDoesNothing) {
    for (const char* subKey : {static_cast<const char*>(nullptr), ""}) {
        reg::Hkey key = 0;
        ASSERT_EQ(Open(subKey, reg::kKeyAllAccess, &key), reg::kSuccess);
        EXPECT_EQ(key, Hkcu());
        EXPECT_EQ(Api().RegCloseKey(key), reg::kSuccess);
    }
    // Still usable after the close.
    reg::Hkey key = 0;
    EXPECT_EQ(Open(Env().Scratch().c_str(), reg::kKeyRead, &key), reg::kSuccess);
    EXPECT_EQ(Api().RegCloseKey(key), reg::kSuccess);
}

TEST_F(KeyContract, DeleteKeyWithAnEmptyNameDeletesTheOpenedKeyButNotOneWithSubkeys) {
    const TestKey parent(Api(), Create(Path("Parent")));
    const TestKey child(Api(), Create(Path("Parent\\Child")));

    EXPECT_EQ(Api().RegDeleteKeyA(parent.get(), ""), reg::kAccessDenied);
    EXPECT_EQ(Api().RegDeleteKeyA(parent.get(), nullptr), reg::kInvalidParameter);
    EXPECT_TRUE(Exists(Path("Parent\\Child")));

    // The key's own rights count, not the handle's: a read handle deletes.
    reg::Hkey readOnly = 0;
    ASSERT_EQ(Open(Path("Parent\\Child").c_str(), reg::kKeyRead, &readOnly), reg::kSuccess);
    const TestKey readKey(Api(), readOnly);
    EXPECT_EQ(Api().RegDeleteKeyA(readOnly, ""), reg::kSuccess);
    EXPECT_FALSE(Exists(Path("Parent\\Child")));
    EXPECT_EQ(Api().RegDeleteKeyA(parent.get(), ""), reg::kSuccess);
    EXPECT_FALSE(Exists(Path("Parent")));
}

TEST_F(KeyContract, AHandleToADeletedKeyStillClosesButDoesNothingElse) {
    const TestKey gone(Api(), Create(Path("Gone")));
    ASSERT_EQ(Api().RegDeleteKeyA(gone.get(), ""), reg::kSuccess);

    EXPECT_EQ(SetRaw(gone.get(), "v", reg::kRegSz, "x", 1), kKeyDeleted);
    EXPECT_EQ(SizeOf(gone.get(), "v").status, kKeyDeleted);
    EXPECT_EQ(Api().RegDeleteKeyA(gone.get(), ""), kKeyDeleted);
    reg::Hkey key = 0;
    EXPECT_EQ(Api().RegOpenKeyExA(gone.get(), nullptr, 0, reg::kKeyRead, &key), kKeyDeleted);
    EXPECT_EQ(Api().RegCreateKeyExA(gone.get(), "Sub", 0, nullptr, 0, reg::kKeyAllAccess, nullptr,
                                    &key, nullptr),
              kKeyDeleted);
    EXPECT_EQ(key, 0U);
}

TEST_F(KeyContract, AReadHandleCannotChangeValues) {
    const TestKey created(Api(), Create(Path("Key")));
    ASSERT_EQ(SetRaw(created.get(), "v", reg::kRegSz, "x", 1), reg::kSuccess);
    reg::Hkey key = 0;
    ASSERT_EQ(Open(Path("Key").c_str(), reg::kKeyRead, &key), reg::kSuccess);
    const TestKey reader(Api(), key);

    EXPECT_EQ(SetRaw(key, "v", reg::kRegSz, "y", 1), reg::kAccessDenied);
    EXPECT_EQ(Api().RegDeleteValueA(key, "v"), reg::kAccessDenied);
    EXPECT_EQ(SizeOf(key, "v").status, reg::kSuccess);
}

TEST_F(KeyContract, AReadOnlyKeyOpensForReadingOnly) {
    const TestKey created(Api(), Create(Path("ReadOnly")));
    ASSERT_EQ(SetRaw(created.get(), "v", reg::kRegSz, "x", 1), reg::kSuccess);
    Env().MakeReadOnly(Path("ReadOnly"));

    reg::Hkey key = 0;
    EXPECT_EQ(Open(Path("ReadOnly").c_str(), reg::kKeyAllAccess, &key), reg::kAccessDenied);
    EXPECT_EQ(key, 0U);
    EXPECT_EQ(Api().RegCreateKeyExA(Hkcu(), Path("ReadOnly").c_str(), 0, nullptr, 0,
                                    reg::kKeyAllAccess, nullptr, &key, nullptr),
              reg::kAccessDenied);
    EXPECT_EQ(key, 0U);

    ASSERT_EQ(Open(Path("ReadOnly").c_str(), reg::kKeyRead, &key), reg::kSuccess);
    const TestKey reader(Api(), key);
    EXPECT_EQ(SizeOf(key, "v").size, 2U);
    EXPECT_EQ(SetRaw(key, "v", reg::kRegSz, "y", 1), reg::kAccessDenied);

    // Wine, unlike Windows, checks neither creating a subkey below it nor deleting it.
    const TestKey below(Api(), Create(Path("ReadOnly\\Below")));
    EXPECT_NE(below.get(), 0U);
    EXPECT_EQ(Api().RegDeleteKeyA(below.get(), ""), reg::kSuccess);
    EXPECT_EQ(Api().RegDeleteKeyA(key, ""), reg::kSuccess);
    EXPECT_FALSE(Exists(Path("ReadOnly")));
}

TEST_F(KeyContract, AnInaccessibleKeyDoesNotOpenButKeysBelowItDo) {
    const TestKey deep(Api(), Create(Path("Closed\\Deep")));
    Env().MakeInaccessible(Path("Closed"));

    reg::Hkey key = 0;
    EXPECT_EQ(Open(Path("Closed").c_str(), reg::kKeyRead, &key), reg::kAccessDenied);
    EXPECT_EQ(key, 0U);
    ASSERT_EQ(Open(Path("Closed\\Deep").c_str(), reg::kKeyRead, &key), reg::kSuccess);
    EXPECT_EQ(Api().RegCloseKey(key), reg::kSuccess);
}

TEST_F(ValueContract, AStringCountedWithoutItsTerminatorKeepsTheNulThatFollowsIt) {
    const TestKey key(Api(), Create(Path("Values")));
    ASSERT_EQ(SetRaw(key.get(), "sz", reg::kRegSz, "True\0"s, 4), reg::kSuccess);
    EXPECT_EQ(Stored(key.get(), "sz"), "True\0"s);
    EXPECT_EQ(SizeOf(key.get(), "sz").type, reg::kRegSz);

    // Every string type gets it; other types and a following non-NUL byte do not.
    ASSERT_EQ(SetRaw(key.get(), "expand", reg::kRegExpandSz, "True\0"s, 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "multi", reg::kRegMultiSz, "True\0"s, 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "binary", reg::kRegBinary, "True\0"s, 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "bare", reg::kRegSz, "TrueX", 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "empty", reg::kRegSz, "\0"s, 0), reg::kSuccess);
    EXPECT_EQ(SizeOf(key.get(), "expand").size, 5U);
    EXPECT_EQ(SizeOf(key.get(), "multi").size, 5U);
    EXPECT_EQ(Stored(key.get(), "binary"), "True");
    EXPECT_EQ(Stored(key.get(), "bare"), "True");
    EXPECT_EQ(SizeOf(key.get(), "empty").size, 0U);

    // A counted NUL is kept as it is, with nothing added after it.
    ASSERT_EQ(SetRaw(key.get(), "counted", reg::kRegSz, "ab\0cd\0"s, 6), reg::kSuccess);
    EXPECT_EQ(Stored(key.get(), "counted"), "ab\0cd\0"s);
}

TEST_F(ValueContract, DataQueriesDeliverWithinTheCapacityGiven) {
    const TestKey key(Api(), Create(Path("Values")));
    ASSERT_EQ(SetRaw(key.get(), "sz", reg::kRegSz, "True\0"s, 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "bare", reg::kRegSz, "TrueX", 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "binary", reg::kRegBinary, "Bin!", 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "empty", reg::kRegSz, "\0"s, 0), reg::kSuccess);

    auto query = [&](const char* name, std::uint32_t capacity, std::string* buffer,
                     std::uint32_t* type) {
        *buffer = std::string(8, ' ');
        *type = 0;
        const reg::Status status =
            Api().RegQueryValueExA(key.get(), name, nullptr, type,
                                   reinterpret_cast<std::uint8_t*>(buffer->data()), &capacity);
        return std::make_pair(status, capacity);
    };
    std::string buffer;
    std::uint32_t type = 0;

    // Too small: nothing delivered, the size needed and the type reported.
    EXPECT_EQ(query("sz", 3, &buffer, &type), std::make_pair(reg::kMoreData, 5U));
    EXPECT_EQ(buffer, std::string(8, ' '));
    EXPECT_EQ(type, reg::kRegSz);

    EXPECT_EQ(query("sz", 5, &buffer, &type), std::make_pair(reg::kSuccess, 5U));
    EXPECT_EQ(buffer, "True\0   "s);
    // A string stored without a terminator comes without one when there is no room for it...
    EXPECT_EQ(query("bare", 4, &buffer, &type), std::make_pair(reg::kSuccess, 4U));
    EXPECT_EQ(buffer, "True    ");
    // ...and with one, not counted, when there is.
    EXPECT_EQ(query("bare", 6, &buffer, &type), std::make_pair(reg::kSuccess, 4U));
    EXPECT_EQ(buffer, "True\0   "s);
    EXPECT_EQ(query("binary", 6, &buffer, &type), std::make_pair(reg::kSuccess, 4U));
    EXPECT_EQ(buffer, "Bin!    ");
    EXPECT_EQ(query("empty", 0, &buffer, &type), std::make_pair(reg::kSuccess, 0U));
    EXPECT_EQ(query("empty", 4, &buffer, &type), std::make_pair(reg::kSuccess, 0U));
    EXPECT_EQ(buffer, std::string(8, ' '));
}

TEST_F(ValueContract, AMissingValueIsNotFoundAndReadsAsNoTypeAndNoSize) {
    const TestKey key(Api(), Create(Path("Values")));
    std::uint32_t type = 77;
    std::uint32_t size = 55;
    EXPECT_EQ(Api().RegQueryValueExA(key.get(), "missing", nullptr, &type, nullptr, &size),
              reg::kFileNotFound);
    EXPECT_EQ(type, reg::kRegNone);
    EXPECT_EQ(size, 0U);
    // A data query clears the type but leaves the capacity as it was.
    type = 77;
    size = 4;
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_EQ(Api().RegQueryValueExA(key.get(), "missing", nullptr, &type, buffer.data(), &size),
              reg::kFileNotFound);
    EXPECT_EQ(type, reg::kRegNone);
    EXPECT_EQ(size, 4U);
    EXPECT_EQ(Api().RegDeleteValueA(key.get(), "missing"), reg::kFileNotFound);
}

TEST_F(ValueContract, ANullOrEmptyNameIsTheDefaultValue) {
    const TestKey key(Api(), Create(Path("Values")));
    ASSERT_EQ(SetRaw(key.get(), nullptr, reg::kRegSz, "dflt", 4), reg::kSuccess);
    EXPECT_EQ(Stored(key.get(), ""), "dflt\0"s);
    ASSERT_EQ(Api().RegDeleteValueA(key.get(), ""), reg::kSuccess);
    EXPECT_EQ(SizeOf(key.get(), nullptr).status, reg::kFileNotFound);
}

TEST_F(ValueContract, SettingReplacesAValueOfAnyTypeAndDeletingRemovesIt) {
    const TestKey key(Api(), Create(Path("Values")));
    ASSERT_EQ(SetRaw(key.get(), "v", reg::kRegDword, "\x01\0\0\0"s, 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "v", reg::kRegSz, "False\0"s, 5), reg::kSuccess);
    EXPECT_EQ(SizeOf(key.get(), "v").type, reg::kRegSz);
    EXPECT_EQ(Stored(key.get(), "v"), "False\0"s);

    EXPECT_EQ(Api().RegDeleteValueA(key.get(), "v"), reg::kSuccess);
    EXPECT_EQ(SizeOf(key.get(), "v").status, reg::kFileNotFound);
}

TEST_F(ValueContract, EveryByteSurvivesAStringValue) {
    const TestKey key(Api(), Create(Path("Values")));
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
    ASSERT_EQ(
        SetRaw(key.get(), "all", reg::kRegSz, bytes, static_cast<std::uint32_t>(bytes.size())),
        reg::kSuccess);
    EXPECT_EQ(Stored(key.get(), "all"), bytes + '\0');
}

TEST_F(CodePageContract, TextsCrossInCodePage1252) {
    reg::RegistryApi& api = Api();
    EXPECT_EQ(api.ToAnsi(u"Gr\u00fc\u00dfe \u20ac\u2122"),
              "Gr\xfc\xdf"
              "e \x80\x99");
    EXPECT_EQ(api.ToAnsi(u"\u0081\u008d"), "\x81\x8d");  // the code page's unused bytes
    EXPECT_EQ(api.ToAnsi(u"\u0100\u0131"), "Ai");        // best fit
    EXPECT_EQ(api.ToAnsi(u"\u4e2d\u2260\u0080"), "???");
    EXPECT_EQ(api.ToAnsi(u"\U0001F600"), "??");  // each half of a surrogate pair
    EXPECT_EQ(api.ToAnsi(u"a\0b"s), "a\0b"s);
    EXPECT_EQ(api.ToAnsi(u""), "");

    EXPECT_EQ(api.FromAnsi("\x80\x81\x9f\xff"), u"\u20ac\u0081\u0178\u00ff");
    EXPECT_EQ(api.FromAnsi("a\0b"s), u"a\0b"s);
    EXPECT_EQ(api.FromAnsi(""), u"");
}

}  // namespace
