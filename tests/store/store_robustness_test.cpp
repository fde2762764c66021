// RegStringHandler against a registry that changes under it, fails, throws or holds odd data:
// a clear result every time, and no key left open.
#include <gtest/gtest.h>

#include <functional>

#include "registry/RegStringHandler.h"
#include "tests/store/SpyRegistry.h"

namespace {

using namespace std::string_literals;
using Op = reg::Operation;

constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;
constexpr reg::Hkey kHkcu = reg::RootKey(kHive);

class StoreRobustness : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(spy.model.OpenHandleCount(), 0U); }

    // Runs `change` after the n-th size query (1-based) of each read from now on.
    void AfterSizeQuery(std::function<void(int)> change) {
        spy.model.SetHook([this, change = std::move(change)](Op op) {
            if (op != Op::QueryValue) return;
            if (++queries % 2 == 1) change((queries + 1) / 2);  // odd calls are size queries
        });
    }
    void Put(std::string_view bytes, std::uint32_t type = reg::kRegSz) {
        spy.model.PutValue(kHkcu, "K", "V", type, bytes);
    }
    Text Read() { return store.ReadString(kHive, u"K", u"V"); }

    SpyRegistry spy;
    RegStringHandler store{spy};
    int queries = 0;
};

TEST_F(StoreRobustness, AValueThatGrewAfterTheSizeQueryIsReadAgain) {
    Put("True\0"s);
    AfterSizeQuery([&](int round) {
        if (round == 1) Put("False\0"s);
    });
    EXPECT_EQ(Read(), u"False");
    EXPECT_EQ(queries, 4);
}

TEST_F(StoreRobustness, AValueThatKeepsGrowingIsGivenUpOnAfterFourRounds) {
    std::string text = "x";
    Put(text);
    AfterSizeQuery([&](int) {
        text += "x";
        Put(text);
    });
    EXPECT_EQ(Read(), u"");
    EXPECT_EQ(queries, 8);
}

TEST_F(StoreRobustness, AValueThatShrankIsReadAsItIsNow) {
    Put("False\0"s);
    AfterSizeQuery([&](int) { Put("True\0"s); });
    EXPECT_EQ(Read(), u"True");
    // Shrunk to bytes without a terminator: the query appends one inside the larger buffer.
    AfterSizeQuery([&](int) { Put("Tru"); });
    Put("False\0"s);
    EXPECT_EQ(Read(), u"Tru");
}

TEST_F(StoreRobustness, AValueThatVanishedOrChangedTypeReadsAsEmpty) {
    Put("True\0"s);
    AfterSizeQuery([&](int) { spy.model.RemoveValue(kHkcu, "K", "V"); });
    EXPECT_EQ(Read(), u"");

    Put("True\0"s);
    AfterSizeQuery([&](int) { Put("\1\0\0\0"s, reg::kRegDword); });
    EXPECT_EQ(Read(), u"");
}

TEST_F(StoreRobustness, ExceptionsNeverReachTheCallerAndKeysAreClosed) {
    for (const Op op : {Op::OpenKey, Op::CreateKey, Op::QueryValue, Op::SetValue, Op::DeleteValue,
                        Op::DeleteKey}) {
        SpyRegistry local;
        local.model.PutValue(kHkcu, "K", "V", reg::kRegSz, "True\0"s);
        const RegStringHandler failing(local);
        local.throwOn = op;
        const bool noKey = op == Op::OpenKey;
        const auto fails = [&](Op used) { return noKey || op == used; };
        EXPECT_EQ(failing.ReadString(kHive, u"K", u"V"), fails(Op::QueryValue) ? u"" : u"True");
        EXPECT_EQ(failing.WriteString(kHive, u"K", u"V", u"x"), ToTruth(!fails(Op::SetValue)));
        EXPECT_EQ(failing.WriteString(kHive, u"New", u"V", u"x"),
                  ToTruth(!fails(Op::SetValue) && op != Op::CreateKey));
        EXPECT_EQ(failing.DeleteValue(kHive, u"K", u"V"), ToTruth(!fails(Op::DeleteValue)));
        EXPECT_EQ(failing.DeleteKey(kHive, u"K"), ToTruth(!fails(Op::DeleteKey)));
        EXPECT_EQ(local.model.OpenHandleCount(), 0U) << static_cast<int>(op);
    }
    spy.throwOnConvert = true;
    Put("True\0"s);
    EXPECT_EQ(Read(), u"");
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V", u"x"), kFalse);
}

TEST_F(StoreRobustness, AFailingCloseDoesNotChangeTheResult) {
    Put("True\0"s);
    spy.throwOn = Op::CloseKey;
    EXPECT_EQ(Read(), u"True");
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V", u"False"), kTrue);
    // Those handles stay open: nobody is left to close them but the test.
    spy.throwOn.reset();
    for (const auto& call : spy.calls) {
        if (call.op == Op::CloseKey) {
            EXPECT_EQ(spy.model.RegCloseKey(call.key), reg::kSuccess);
        }
    }
}

TEST_F(StoreRobustness, EveryOperationClosesWhatItOpenedWhateverTheOutcome) {
    spy.model.PutValue(kHkcu, "Keys\\Full\\Child", "V", reg::kRegSz, "x\0"s);
    spy.model.PutValue(kHkcu, "Keys\\Full", "Dword", reg::kRegDword, "\1\0\0\0"s);
    spy.model.PutValue(kHkcu, "Keys\\ReadOnly", "V", reg::kRegSz, "x\0"s);
    spy.model.PutValue(kHkcu, "Keys\\Closed", "V", reg::kRegSz, "x\0"s);
    spy.model.SetKeyAccess(kHkcu, "Keys\\ReadOnly", reg::KeyAccess::ReadOnly);
    spy.model.SetKeyAccess(kHkcu, "Keys\\Closed", reg::KeyAccess::None);
    const std::u16string_view paths[] = {u"Keys\\Full",   u"Keys\\Full\\Child",   u"Keys\\ReadOnly",
                                         u"Keys\\Closed", u"Keys\\Missing\\Deep", u"",
                                         u"\\\\"};
    const std::u16string_view names[] = {u"V", u"Dword", u"Missing", u""};
    for (const auto path : paths) {
        for (const auto name : names) {
            static_cast<void>(store.ReadString(kHive, path, name));
            static_cast<void>(store.WriteString(kHive, path, name, u"y"));
            static_cast<void>(store.DeleteValue(kHive, path, name));
            ASSERT_EQ(spy.model.OpenHandleCount(), 0U);
        }
        static_cast<void>(store.DeleteKey(kHive, path));
        ASSERT_EQ(spy.model.OpenHandleCount(), 0U);
    }
    // An unknown root: nothing opens.
    EXPECT_EQ(store.ReadString(0x12345678U, u"K", u"V"), u"");
    EXPECT_EQ(store.WriteString(0x12345678U, u"K", u"V", u"x"), kFalse);
}

TEST_F(StoreRobustness, OddTypesAndContentsReadAsEmptyOrAsTheirText) {
    for (const std::uint32_t type : {reg::kRegNone, reg::kRegExpandSz, reg::kRegBinary,
                                     reg::kRegDword, reg::kRegMultiSz, 11U, 0xFFFFFFFFU}) {
        Put("True\0"s, type);
        EXPECT_EQ(Read(), u"") << type;
    }
    Put("");
    EXPECT_EQ(Read(), u"");
    Put("\0"s);
    EXPECT_EQ(Read(), u"");
    Put("ab\0cd"s);
    EXPECT_EQ(Read(), u"ab");
    // Without any NUL, every byte counts, including those the code page leaves unused.
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
    Put(bytes);
    EXPECT_EQ(Read(), spy.model.FromAnsi(bytes));
    EXPECT_EQ(Read()[0x80], u'\u0081');
}

TEST_F(StoreRobustness, AMebibyteStringRoundTrips) {
    Text big(1U << 20, u'q');
    big[12345] = u'\u00e9';
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V", big), kTrue);
    EXPECT_EQ(Read(), big);
    EXPECT_EQ(spy.model.GetValue(kHkcu, "K", "V")->bytes.size(), (1U << 20) + 1);
}

TEST_F(StoreRobustness, WrittenTextWithANulReadsBackUpToIt) {
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V", u"ab\0cd"s), kTrue);
    EXPECT_EQ(spy.model.GetValue(kHkcu, "K", "V")->bytes, "ab\0cd\0"s);
    EXPECT_EQ(Read(), u"ab");
}

}  // namespace
