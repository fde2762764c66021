// RegStringHandler against the fake registry: what each call is handed, and odd or changing data.
#include <gtest/gtest.h>

#include <array>

#include "registry/RegStringHandler.h"
#include "tests/fakes/FakeRegistry.h"

namespace {

using namespace std::literals;
using Log = std::vector<std::string>;
constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;

class Store : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(registry.OpenHandles(), 0U); }
    Text Read() { return store.ReadString(kHive, u"K", u"V"); }
    Log Calls() { return std::exchange(registry.log, {}); }  // the calls since the last look
    // Runs `change` before the data query of every read round.
    void BeforeDataQuery(const std::function<void()>& change) {
        registry.intercept = [change](const std::string& call) {
            if (call.starts_with("Query V ")) change();
            return reg::kSuccess;
        };
    }

    FakeRegistry registry;
    RegStringHandler store{registry};
};

TEST_F(Store, EachCallIsHandedTheTrimmedPathItsAccessAndTheCountWithoutTerminator) {
    EXPECT_EQ(store.WriteString(kHive, u"\\\\A\\\\B\\", u"V", u"Tru\u00e9"), kTrue);
    EXPECT_EQ(Calls(), (Log{"Open A\\\\B f003f", "Create A\\\\B REG_DWORD f003f",
                            "Set V 4 Tru\xe9\0"s, "Close"}));
    EXPECT_EQ(store.ReadString(kHive, u"\\A\\\\B\\\\", u"V"), u"Tru\u00e9");
    EXPECT_EQ(Calls(), (Log{"Open A\\\\B 20019", "Query V", "Query V 5", "Close"}));
    EXPECT_EQ(store.DeleteValue(kHive, u"\\A\\\\B\\", u"V"), kTrue);
    EXPECT_EQ(Calls(), (Log{"Open A\\\\B f003f", "DeleteValue V", "Close"}));
    EXPECT_EQ(store.DeleteKey(kHive, u"A\\\\B\\"), kTrue);
    EXPECT_EQ(Calls(), (Log{"Open A\\\\B f003f", "DeleteKey ", "Close"}));
    EXPECT_EQ(store.WriteString(kHive, u"\\\\", u"AtRoot", u""), kTrue);  // the root itself
    EXPECT_EQ(Calls(), (Log{"Open (null) f003f", "Set AtRoot 0 \0"s, "Close"}));
    EXPECT_EQ(store.ReadString(kHive, u"", u"AtRoot"), u"");
    EXPECT_EQ(Calls(), (Log{"Open (null) 20019", "Query AtRoot", "Query AtRoot 0", "Close"}));
    EXPECT_EQ(store.DeleteValue(kHive, u"A\\C", u"V"), kFalse);  // no such key: nothing made
    EXPECT_EQ(Calls(), Log{"Open A\\C f003f"}) << "and no handle to close";
    EXPECT_EQ(registry.keys.count("A\\C") + registry.keys.count("A\\\\B"), 0U);
}

TEST_F(Store, ANameThatCannotCrossAsItIsOrDataTheCodePageLacksIsRefusedBeforeAnyCall) {
    registry.Put("K", "V", "x\0"s);
    for (const TextView refused : {u"K\u0100"sv, u"K\0V"sv}) {  // U+0100: not in Latin-1
        EXPECT_EQ(store.ReadString(kHive, refused, u"V"), u"");
        EXPECT_EQ(store.ReadString(kHive, u"K", refused), u"");
        EXPECT_EQ(store.WriteString(kHive, refused, u"V", u"x"), kFalse);
        EXPECT_EQ(store.WriteString(kHive, u"New", refused, u"x"), kFalse);
        EXPECT_EQ(store.DeleteValue(kHive, u"K", refused), kFalse);
        EXPECT_EQ(store.DeleteKey(kHive, refused), kFalse);
    }
    EXPECT_EQ(store.WriteString(kHive, u"New", u"V", u"\u0100"), kFalse);
    EXPECT_EQ(registry.log, Log{});
}

TEST_F(Store, OnlyAStringReadsAndItsTextEndsAtTheFirstNulOrItsLastByte) {
    for (const std::uint32_t type : {reg::kRegExpandSz, reg::kRegMultiSz, reg::kRegDword}) {
        registry.Put("K", "V", "True\0"s, type);
        EXPECT_EQ(Read(), u"") << type;
    }
    const std::pair<std::string, TextView> texts[] = {
        {"ab\0cd\0"s, u"ab"}, {"False"s, u"False"}, {""s, u""}, {"\0"s, u""}};
    for (const auto& [bytes, text] : texts) {
        registry.Put("K", "V", bytes);
        EXPECT_EQ(Read(), text);
    }
    const Text big(70000, u'\u00e9');  // beyond any fixed or 16-bit buffer
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V", big), kTrue);
    EXPECT_EQ(Read(), big);
    EXPECT_EQ(store.ReadString(kHive, u"Missing", u"V"), u"");
    EXPECT_EQ(registry.keys.count("Missing"), 0U);
}

TEST_F(Store, AValueThatChangesBetweenTheQueriesReadsAsItIsNowOrEmpty) {
    registry.Put("K", "V", "True\0"s);
    BeforeDataQuery([&] { registry.Put("K", "V", "Falsehood\0"s); });  // grew: asked again
    EXPECT_EQ(Read(), u"Falsehood");
    BeforeDataQuery([&] { registry.Put("K", "V", "No\0"s); });  // shrank
    EXPECT_EQ(Read(), u"No");
    BeforeDataQuery([&] { registry.Put("K", "V", "Tru"); });  // shrank, lost its terminator
    registry.Put("K", "V", "Falsehood\0"s);
    EXPECT_EQ(Read(), u"Tru");
    BeforeDataQuery([&] { registry.keys.at("K").clear(); });  // vanished
    EXPECT_EQ(Read(), u"");
    BeforeDataQuery([&] { registry.Put("K", "V", "1234", reg::kRegDword); });  // changed type
    registry.Put("K", "V", "True\0"s);
    EXPECT_EQ(Read(), u"");
    BeforeDataQuery([&] { registry.Put("K", "V", registry.Get("K", "V")->bytes + "x"); });
    EXPECT_EQ(Read(), u"");  // keeps growing: given up on
}

// The registry's numbers as Microsoft documents them (winerror.h, winnt.h): the program hands them
// to advapi32 as they are, and the fake shares them, so a mistyped one shows only here.
TEST(RegistryNumbers, AreTheOnesWindowsDocuments) {
    using namespace reg;
    EXPECT_EQ((std::array{kSuccess, kFileNotFound, kAccessDenied, kInvalidHandle, kInvalidParameter,
                          kBadPathname, kMoreData}),
              (std::array<Status, 7>{0, 2, 5, 6, 87, 161, 234}));
    EXPECT_EQ((std::array{kRegNone, kRegSz, kRegExpandSz, kRegBinary, kRegDword, kRegMultiSz,
                          kKeyRead, kKeyAllAccess, kOptionNonVolatile, kHkeyCurrentUser}),
              (std::array<std::uint32_t, 10>{0, 1, 2, 3, 4, 7, 0x20019, 0xF003F, 0, 0x80000001}));
    // HKEY_CURRENT_USER is ((HKEY)(ULONG_PTR)((LONG)0x80000001)): sign-extended in 64 bits.
    EXPECT_EQ(RootKey(kHkeyCurrentUser), static_cast<Hkey>(std::intptr_t{-0x7FFFFFFF}));
}

}  // namespace
