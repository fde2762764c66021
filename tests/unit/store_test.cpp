// RegStringHandler against the fake registry: what each call is handed, and odd or changing data.
#include <gtest/gtest.h>

#include "registry/RegStringHandler.h"
#include "tests/fakes/FakeRegistry.h"

namespace {

using namespace std::literals;
constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;

class Store : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(registry.OpenHandles(), 0U); }
    Text Read() { return store.ReadString(kHive, u"K", u"V"); }
    // Runs `change` before the data query of every read round.
    void BeforeDataQuery(const std::function<void()>& change) {
        registry.beforeCall = [change](const FakeRegistry::Call& call) {
            if (call.op == "Query" && call.size != 0) change();
        };
    }

    FakeRegistry registry;
    RegStringHandler store{registry};
};

TEST_F(Store, ReadOpensTheTrimmedPathForReadingBelowTheSignExtendedRoot) {
    registry.Put("Soft\\\\Q", "V", "False\0"s);
    EXPECT_EQ(store.ReadString(kHive, u"\\\\Soft\\\\Q\\\\", u"V"), u"False");
    ASSERT_EQ(registry.Ops(), (std::vector<std::string>{"Open", "Query", "Query", "Close"}));
    EXPECT_EQ(registry.calls[0].key, reg::Hkey{0xFFFFFFFF80000001U});
    EXPECT_EQ(registry.calls[0].name, "Soft\\\\Q");
    EXPECT_EQ(registry.calls[0].access, reg::kKeyRead);
    EXPECT_EQ(registry.calls[2].size, 6U);
}

TEST_F(Store, WriteCountsTheTextWithoutTerminatorAndCreatesMissingKeysWithTheClass) {
    EXPECT_EQ(store.WriteString(kHive, u"\\A\\B\\", u"V", u"Tru\u00e9"), kTrue);
    ASSERT_EQ(registry.Ops(), (std::vector<std::string>{"Open", "Create", "Set", "Close"}));
    EXPECT_EQ(registry.calls[0].access, reg::kKeyAllAccess);
    EXPECT_EQ(registry.calls[1].name, "A\\B");
    EXPECT_EQ(registry.calls[1].keyClass, "REG_DWORD");
    EXPECT_EQ(registry.calls[1].access, reg::kKeyAllAccess);
    EXPECT_EQ(registry.calls[2].size, 4U);
    EXPECT_EQ(registry.calls[2].data, "Tru\xe9\0"s);  // the NUL after the counted bytes
    EXPECT_EQ(Text(u"Tru\u00e9"), store.ReadString(kHive, u"A\\B", u"V"));
}

TEST_F(Store, AnEmptyPathNamesTheRootAndDeleteKeyNamesNoSubkey) {
    EXPECT_EQ(store.WriteString(kHive, u"\\\\", u"AtRoot", u"x"), kTrue);
    EXPECT_EQ(registry.calls[0].name, std::nullopt);
    EXPECT_EQ(store.ReadString(kHive, u"", u"AtRoot"), u"x");

    registry.Put("A\\B", "V", "x\0"s);
    registry.calls.clear();
    EXPECT_EQ(store.DeleteKey(kHive, u"A"), kFalse);  // not recursive
    EXPECT_EQ(store.DeleteKey(kHive, u"A\\B\\"), kTrue);
    EXPECT_EQ(registry.calls[4].name, "");
    EXPECT_EQ(registry.calls[3].access, reg::kKeyAllAccess);
    EXPECT_EQ(registry.keys.count("A\\B"), 0U);
}

TEST_F(Store, DeleteValueRemovesTheOneValueItNamesAndCreatesNothing) {
    registry.Put("A\\B", "V", "x\0"s);
    registry.Put("A\\B", "W", "y\0"s);
    EXPECT_EQ(store.DeleteValue(kHive, u"\\A\\B\\", u"V"), kTrue);
    ASSERT_EQ(registry.Ops(), (std::vector<std::string>{"Open", "DeleteValue", "Close"}));
    EXPECT_EQ(registry.calls[0].name, "A\\B");
    EXPECT_EQ(registry.calls[0].access, reg::kKeyAllAccess);
    EXPECT_EQ(registry.calls[1].name, "V");
    EXPECT_FALSE(registry.Get("A\\B", "V"));
    EXPECT_TRUE(registry.Get("A\\B", "W"));
    EXPECT_EQ(store.DeleteValue(kHive, u"A\\B", u"V"), kFalse);  // gone already
    EXPECT_EQ(store.DeleteValue(kHive, u"A\\C", u"W"), kFalse);
    EXPECT_EQ(registry.keys.count("A\\C"), 0U);
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
    EXPECT_TRUE(registry.calls.empty());
}

TEST_F(Store, FailedCallsGiveEmptyOrFalseAndCloseWhatOpened) {
    registry.Put("K", "V", "True\0"s);
    for (const char* op : {"Open", "Query", "Set", "Create"}) {
        SCOPED_TRACE(op);
        const std::string failing = op;
        registry.failing = {{failing, reg::kAccessDenied}};
        registry.keys.erase("New");
        EXPECT_EQ(Read(), failing == "Open" || failing == "Query" ? u"" : u"True");
        EXPECT_EQ(store.WriteString(kHive, u"New", u"V", u"x"),
                  ToTruth(failing != "Set" && failing != "Create"));
        EXPECT_EQ(registry.OpenHandles(), 0U);
    }
}

TEST_F(Store, OtherTypesAndNulsInTheData) {
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

TEST_F(Store, AMebibyteValueRoundTrips) {
    Text big(std::size_t{1} << 20, u'q');
    big[12345] = u'\u00e9';
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V", big), kTrue);
    EXPECT_EQ(Read(), big);
}

}  // namespace
