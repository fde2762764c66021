// RegStringHandler end to end through the seam, against every provider.
#include "registry/RegStringHandler.h"
#include "tests/contract/ContractFixture.h"

namespace {

using namespace std::string_literals;

class StoreContract : public ContractTest {
  protected:
    // A fresh store per call, as the program uses it.
    static RegStringHandler Store() { return RegStringHandler(Api()); }
    static Text PathText(std::string_view sub) {
        const std::string path = Path(sub);
        return Text(path.begin(), path.end());  // the scratch path is plain ASCII
    }
    static constexpr std::uint32_t kHive = reg::kHkeyCurrentUser;
};

TEST_F(StoreContract, WritesStringsWithTheirTerminatorAndReadsThemBack) {
    const Text key = PathText("Settings");
    for (const TextView text : {TextView(u"True"), TextView(u"False"), TextView(u""),
                                TextView(u"Gr\u00fc\u00dfe \u20ac")}) {
        EXPECT_EQ(Store().WriteString(kHive, key, u"Value", text), kTrue);
        EXPECT_EQ(Store().ReadString(kHive, key, u"Value"), text);
    }

    EXPECT_EQ(Store().WriteString(kHive, key, u"AllFolders", u"False"), kTrue);
    reg::Hkey opened = 0;
    ASSERT_EQ(Open(Path("Settings").c_str(), reg::kKeyRead, &opened), reg::kSuccess);
    const TestKey settings(Api(), opened);
    EXPECT_EQ(SizeOf(opened, "AllFolders").type, reg::kRegSz);
    EXPECT_EQ(Stored(opened, "AllFolders"), "False\0"s);
    EXPECT_EQ(Stored(opened, "Value"),
              "Gr\xfc\xdf"
              "e \x80\0"s);
}

TEST_F(StoreContract, AWriteCreatesTheMissingPathWithTheClassRegDword) {
    EXPECT_EQ(Store().WriteString(kHive, PathText("Vendor\\Product 2004"), u"TwoPane", u"True"),
              kTrue);
    for (const char* sub : {"Vendor", "Vendor\\Product 2004"}) {
        reg::Hkey key = 0;
        ASSERT_EQ(Open(Path(sub).c_str(), reg::kKeyRead, &key), reg::kSuccess) << sub;
        const TestKey opened(Api(), key);
        EXPECT_EQ(Env().KeyClass(key), "REG_DWORD") << sub;
    }
    EXPECT_EQ(Store().ReadString(kHive, PathText("Vendor\\Product 2004"), u"twopane"), u"True");
}

TEST_F(StoreContract, ReadingNeverCreatesAnything) {
    EXPECT_EQ(Store().ReadString(kHive, PathText("Missing\\Deeper"), u"Value"), u"");
    EXPECT_FALSE(Exists(Path("Missing")));
    EXPECT_EQ(Store().WriteString(kHive, PathText("Present"), u"Other", u"x"), kTrue);
    EXPECT_EQ(Store().ReadString(kHive, PathText("Present"), u"Value"), u"");
}

TEST_F(StoreContract, SlashesAroundThePathAreIgnored) {
    const Text plain = PathText("Trimmed");
    EXPECT_EQ(Store().WriteString(kHive, u"\\\\" + plain + u"\\\\\\", u"Value", u"Yes"), kTrue);
    EXPECT_EQ(Store().ReadString(kHive, plain, u"Value"), u"Yes");
    EXPECT_EQ(Store().ReadString(kHive, u"\\" + plain, u"Value"), u"Yes");
}

TEST_F(StoreContract, OnlyStringValuesRead) {
    const TestKey key(Api(), Create(Path("Types")));
    ASSERT_EQ(SetRaw(key.get(), "dword", reg::kRegDword, "\x01\0\0\0"s, 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "expand", reg::kRegExpandSz, "True\0"s, 4), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "multi", reg::kRegMultiSz, "True\0\0"s, 6), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "binary", reg::kRegBinary, "True", 4), reg::kSuccess);
    for (const TextView name : {u"dword", u"expand", u"multi", u"binary"}) {
        EXPECT_EQ(Store().ReadString(kHive, PathText("Types"), name), u"") << name.size();
    }
    // Writing replaces them with a string.
    EXPECT_EQ(Store().WriteString(kHive, PathText("Types"), u"dword", u"False"), kTrue);
    EXPECT_EQ(Store().ReadString(kHive, PathText("Types"), u"dword"), u"False");
}

TEST_F(StoreContract, TheTextEndsAtTheFirstNulOrElseAtTheEndOfTheData) {
    const TestKey key(Api(), Create(Path("Texts")));
    ASSERT_EQ(SetRaw(key.get(), "embedded", reg::kRegSz, "ab\0cd\0"s, 6), reg::kSuccess);
    // Stored by some other program without a terminator: still the whole text.
    ASSERT_EQ(SetRaw(key.get(), "bare", reg::kRegSz, "FalseX", 5), reg::kSuccess);
    ASSERT_EQ(SetRaw(key.get(), "empty", reg::kRegSz, "\0"s, 0), reg::kSuccess);
    EXPECT_EQ(Store().ReadString(kHive, PathText("Texts"), u"embedded"), u"ab");
    EXPECT_EQ(Store().ReadString(kHive, PathText("Texts"), u"bare"), u"False");
    EXPECT_EQ(Store().ReadString(kHive, PathText("Texts"), u"empty"), u"");
}

TEST_F(StoreContract, DeletionsReportWhetherTheRegistryDidIt) {
    ASSERT_EQ(Store().WriteString(kHive, PathText("Doomed\\Child"), u"Value", u"x"), kTrue);

    EXPECT_EQ(Store().DeleteValue(kHive, PathText("Doomed\\Child"), u"Value"), kTrue);
    EXPECT_EQ(Store().DeleteValue(kHive, PathText("Doomed\\Child"), u"Value"), kFalse);
    EXPECT_EQ(Store().DeleteValue(kHive, PathText("Nowhere"), u"Value"), kFalse);
    EXPECT_FALSE(Exists(Path("Nowhere")));

    // Not recursive: a key with subkeys stays.
    EXPECT_EQ(Store().DeleteKey(kHive, PathText("Doomed")), kFalse);
    EXPECT_TRUE(Exists(Path("Doomed\\Child")));
    EXPECT_EQ(Store().DeleteKey(kHive, PathText("Doomed\\Child\\")), kTrue);
    EXPECT_EQ(Store().DeleteKey(kHive, PathText("Doomed")), kTrue);
    EXPECT_FALSE(Exists(Path("Doomed")));
    EXPECT_EQ(Store().DeleteKey(kHive, PathText("Doomed")), kFalse);
}

TEST_F(StoreContract, AKeyTheUserMayOnlyReadStillReadsButDoesNotChange) {
    ASSERT_EQ(Store().WriteString(kHive, PathText("Locked"), u"SideMenu", u"False"), kTrue);
    Env().MakeReadOnly(Path("Locked"));

    EXPECT_EQ(Store().ReadString(kHive, PathText("Locked"), u"SideMenu"), u"False");
    EXPECT_EQ(Store().WriteString(kHive, PathText("Locked"), u"SideMenu", u"True"), kFalse);
    EXPECT_EQ(Store().DeleteValue(kHive, PathText("Locked"), u"SideMenu"), kFalse);
    EXPECT_EQ(Store().DeleteKey(kHive, PathText("Locked")), kFalse);
    EXPECT_EQ(Store().ReadString(kHive, PathText("Locked"), u"SideMenu"), u"False");
}

TEST_F(StoreContract, AKeyTheUserMayNotOpenLooksMissing) {
    ASSERT_EQ(Store().WriteString(kHive, PathText("Closed"), u"SideMenu", u"False"), kTrue);
    Env().MakeInaccessible(Path("Closed"));
    EXPECT_EQ(Store().ReadString(kHive, PathText("Closed"), u"SideMenu"), u"");
    EXPECT_EQ(Store().WriteString(kHive, PathText("Closed"), u"SideMenu", u"True"), kFalse);
}

}  // namespace
