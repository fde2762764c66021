// What RegStringHandler hands the registry, call by call, and how it trims key paths.
#include <gtest/gtest.h>

#include "registry/RegStringHandler.h"
#include "tests/store/SpyRegistry.h"

struct RegStringHandlerTestAccess {
    static Text Trim(TextView path) { return RegStringHandler::TrimKeySlashes(path); }
};

namespace {

using namespace std::string_literals;
using Op = reg::Operation;

constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;
constexpr reg::Hkey kHkcu = reg::RootKey(kHive);

TEST(TrimKeySlashes, RemovesBackslashesAtBothEndsOnly) {
    const std::pair<TextView, TextView> cases[] = {
        {u"", u""},
        {u"\\", u""},
        {u"\\\\\\", u""},
        {u"Software", u"Software"},
        {u"\\\\Software\\Vendor\\", u"Software\\Vendor"},
        {u"Software\\\\Vendor", u"Software\\\\Vendor"},  // inside: left alone
        {u" \\Software/ ", u" \\Software/ "},            // blanks and slashes are not trimmed
        {u"/Software\\", u"/Software"},
    };
    for (const auto& [path, trimmed] : cases) {
        EXPECT_EQ(RegStringHandlerTestAccess::Trim(path), trimmed);
    }
}

class StoreCalls : public ::testing::Test {
  protected:
    SpyRegistry spy;
    RegStringHandler store{spy};
};

TEST_F(StoreCalls, ReadOpensForReadingAndQueriesSizeThenSpacePaddedData) {
    spy.model.PutValue(kHkcu, "Software\\Q", "AllFolders", reg::kRegSz, "False\0"s);
    EXPECT_EQ(store.ReadString(kHive, u"\\Software\\Q\\", u"AllFolders"), u"False");

    ASSERT_EQ(spy.Ops(), (std::vector{Op::OpenKey, Op::QueryValue, Op::QueryValue, Op::CloseKey}));
    const auto& open = spy.calls[0];
    EXPECT_EQ(open.key, kHkcu);
    EXPECT_EQ(open.name, "Software\\Q");
    EXPECT_EQ(open.access, reg::kKeyRead);
    const auto& sizeQuery = spy.calls[1];
    EXPECT_EQ(sizeQuery.name, "AllFolders");
    EXPECT_EQ(sizeQuery.type, 0U);
    EXPECT_EQ(sizeQuery.size, 0U);
    EXPECT_FALSE(sizeQuery.data);
    const auto& dataQuery = spy.calls[2];
    EXPECT_EQ(dataQuery.size, 6U);                   // the size, not size + 1...
    EXPECT_EQ(dataQuery.data, std::string(7, ' '));  // ...of a buffer one longer, all spaces
    EXPECT_EQ(spy.calls[3].key, dataQuery.key);
}

TEST_F(StoreCalls, WriteCreatesOnlyWhenTheOpenFails) {
    EXPECT_EQ(store.WriteString(kHive, u"Software\\New\\", u"TwoPane", u"True"), kTrue);
    ASSERT_EQ(spy.Ops(), (std::vector{Op::OpenKey, Op::CreateKey, Op::SetValue, Op::CloseKey}));
    EXPECT_EQ(spy.calls[0].access, reg::kKeyAllAccess);
    const auto& create = spy.calls[1];
    EXPECT_EQ(create.name, "Software\\New");
    EXPECT_EQ(create.keyClass, "REG_DWORD");
    EXPECT_EQ(create.access, reg::kKeyAllAccess);
    EXPECT_TRUE(create.plainCreate);
    const auto& set = spy.calls[2];
    EXPECT_EQ(set.type, reg::kRegSz);
    EXPECT_EQ(set.access, 0U);  // reserved
    EXPECT_EQ(set.size, 4U);
    EXPECT_EQ(set.data, "True\0"s);  // a NUL after the counted bytes

    spy.calls.clear();
    EXPECT_EQ(store.WriteString(kHive, u"Software\\New", u"TwoPane", u"False"), kTrue);
    EXPECT_EQ(spy.Ops(), (std::vector{Op::OpenKey, Op::SetValue, Op::CloseKey}));
    EXPECT_EQ(spy.calls[1].size, 5U);
    EXPECT_EQ(spy.model.GetValue(kHkcu, "Software\\New", "TwoPane"),
              (reg::RawValue{reg::kRegSz, "False\0"s}));
}

TEST_F(StoreCalls, TheByteCountIsTheLengthOfTheAnsiText) {
    spy.utf8 = true;
    const Text text = u"Gr\u00fc\u00dfe \u20ac";  // 7 characters, 11 bytes in UTF-8
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V", text), kTrue);
    EXPECT_EQ(spy.calls.back().op, Op::CloseKey);
    EXPECT_EQ(spy.calls[spy.calls.size() - 2].size, 11U);
    EXPECT_EQ(store.ReadString(kHive, u"K", u"V"), text);
}

TEST_F(StoreCalls, AnEmptyPathOpensTheRootItselfWithANullSubkey) {
    EXPECT_EQ(store.WriteString(kHive, u"\\\\", u"AtRoot", u"x"), kTrue);
    EXPECT_FALSE(spy.calls[0].name);
    EXPECT_EQ(spy.model.GetValue(kHkcu, "", "AtRoot"), (reg::RawValue{reg::kRegSz, "x\0"s}));
    EXPECT_EQ(store.ReadString(kHive, u"", u"AtRoot"), u"x");
    EXPECT_EQ(store.DeleteValue(kHive, u"\\", u"AtRoot"), kTrue);
    // The root cannot go, whatever the path says.
    EXPECT_EQ(store.DeleteKey(kHive, u""), kFalse);
}

TEST_F(StoreCalls, DeletionsOpenWithFullAccessAndDeleteKeyNamesNoSubkey) {
    spy.model.PutValue(kHkcu, "A\\B", "V", reg::kRegSz, "x");
    EXPECT_EQ(store.DeleteValue(kHive, u"A\\B", u"V"), kTrue);
    EXPECT_EQ(spy.calls[0].access, reg::kKeyAllAccess);
    EXPECT_EQ(spy.calls[1].name, "V");

    spy.calls.clear();
    EXPECT_EQ(store.DeleteKey(kHive, u"A\\B"), kTrue);
    ASSERT_EQ(spy.Ops(), (std::vector{Op::OpenKey, Op::DeleteKey, Op::CloseKey}));
    EXPECT_EQ(spy.calls[0].access, reg::kKeyAllAccess);
    EXPECT_EQ(spy.calls[1].name, "");  // an empty name, not a null pointer
    EXPECT_TRUE(spy.model.KeyExists(kHkcu, "A"));
}

TEST_F(StoreCalls, AKeyThatDoesNotOpenIsNeverClosedNorCreatedByReadsOrDeletions) {
    const std::string before = spy.model.Dump();
    EXPECT_EQ(store.ReadString(kHive, u"Missing\\Key", u"V"), u"");
    EXPECT_EQ(store.DeleteValue(kHive, u"Missing\\Key", u"V"), kFalse);
    EXPECT_EQ(store.DeleteKey(kHive, u"Missing\\Key"), kFalse);
    EXPECT_EQ(spy.Ops(), (std::vector{Op::OpenKey, Op::OpenKey, Op::OpenKey}));
    EXPECT_EQ(spy.model.Dump(), before);
}

TEST_F(StoreCalls, NamesAndTextsPassUnchanged) {
    EXPECT_EQ(store.WriteString(kHive, u"K", u" Mixed Case ", u"  padded  "), kTrue);
    EXPECT_EQ(spy.model.GetValue(kHkcu, "K", " Mixed Case "),
              (reg::RawValue{reg::kRegSz, "  padded  \0"s}));
}

TEST_F(StoreCalls, APathOrNameHoldingANulIsRefusedWithoutTouchingTheRegistry) {
    spy.model.PutValue(kHkcu, "K", "V", reg::kRegSz, "keep\0"s);
    EXPECT_EQ(store.ReadString(kHive, u"K\0X"s, u"V"), u"");
    EXPECT_EQ(store.ReadString(kHive, u"K", u"V\0X"s), u"");
    EXPECT_EQ(store.WriteString(kHive, u"K", u"V\0X"s, u"lost"), kFalse);
    EXPECT_EQ(store.DeleteValue(kHive, u"K", u"V\0X"s), kFalse);
    EXPECT_EQ(store.DeleteKey(kHive, u"K\0X"s), kFalse);
    EXPECT_TRUE(spy.calls.empty());
    EXPECT_EQ(store.ReadString(kHive, u"K", u"V"), u"keep");
}

}  // namespace
