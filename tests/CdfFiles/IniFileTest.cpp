// The INI-style reader behind .cdf descriptions.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CdfFiles/IniFile.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {
namespace {

using namespace harvex::testing;

// The reader of a file held in memory.
TIniFile InMemory(const std::string& name, std::string text) {
  return TIniFile(name, WithMemoryFile({}, name, std::move(text)));
}

struct TValueCase {
  const char* Name;
  const char* Text;
  const char* Section;
  const char* Key;
  const char* Expected;  // "<default>" when the default must come back
};

class IniValue : public ::testing::TestWithParam<TValueCase> {};

TEST_P(IniValue, ReadsTheValueAsTheProfileReaderDoes) {
  const TValueCase& row = GetParam();
  const TIniFile ini = InMemory("a.cdf", row.Text);
  EXPECT_EQ(ini.ReadString(row.Section, row.Key, "<default>"), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniValue,
    ::testing::Values(
        TValueCase{"Plain", "[c]\nGeomFileName=opt.out\n", "c", "GeomFileName", "opt.out"},
        TValueCase{"KeyInOtherCase", "[c]\nGEOMFILENAME=opt.out\n", "c", "GeomFileName", "opt.out"},
        TValueCase{"SectionInOtherCase", "[Conformer]\nk=v\n", "CONFORMER", "k", "v"},
        TValueCase{"BlanksAroundKeyAndValue", "[c]\n  k \t=  my file.out \t\n", "c", "k",
                   "my file.out"},
        TValueCase{"DoubleQuotes", "[c]\nk= \" sp.out \"\n", "c", "k", " sp.out "},
        TValueCase{"SingleQuotes", "[c]\nk='sp.out'\n", "c", "k", "sp.out"},
        TValueCase{"OnlyOnePairOfQuotes", "[c]\nk=\"\"sp.out\"\"\n", "c", "k", "\"sp.out\""},
        TValueCase{"MismatchedQuotesKept", "[c]\nk=\"sp.out'\n", "c", "k", "\"sp.out'"},
        TValueCase{"ValueAfterTheFirstEquals", "[c]\nk=a=b\n", "c", "k", "a=b"},
        TValueCase{"EmptyValue", "[c]\nk=\n", "c", "k", ""},
        TValueCase{"CrLfLineEnds", "[c]\r\nk=opt.out\r\nm=sp.out\r\n", "c", "k", "opt.out"},
        TValueCase{"LastLineWithoutEnd", "[c]\nk=opt.out", "c", "k", "opt.out"},
        TValueCase{"FirstOfRepeatedKeys", "[c]\nk=one\nk=two\n", "c", "k", "one"},
        TValueCase{"KeyOfTheNamedSectionOnly", "[a]\nx=1\n[b]\nk=2\n", "a", "k", "<default>"},
        TValueCase{"SecondSection", "[a]\nx=1\n[b]\nk=2\n", "b", "k", "2"},
        TValueCase{"LinesWithoutEqualsPassedOver", "[c]\njust text\nk=v\n", "c", "k", "v"},
        TValueCase{"MissingKey", "[c]\nk=v\n", "c", "other", "<default>"},
        TValueCase{"MissingSection", "[c]\nk=v\n", "d", "k", "<default>"},
        TValueCase{"KeysBeforeAnySection", "k=v\n[c]\n", "c", "k", "<default>"},
        TValueCase{"Utf8ByteOrderMark", "\xEF\xBB\xBF[c]\nk=v\n", "c", "k", "v"},
        TValueCase{"EmptyFile", "", "c", "k", "<default>"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(IniFile, ValueIsCutTo2047Characters) {
  const std::string value(3000, 'x');
  const TIniFile ini = InMemory("long.cdf", "[c]\nk=" + value + "\n");
  EXPECT_EQ(ini.ReadString("c", "k", ""), value.substr(0, 2047));
}

TEST(IniFile, ListsSectionNamesInFileOrder) {
  const TIniFile ini = InMemory("a.cdf", "junk\n[second one]\nk=v\n[First]\n[  x ]\n[y] tail\n");
  EXPECT_EQ(ini.ReadSectionNames(), (std::vector<std::string>{"second one", "First", "  x ", "y"}));
}

TEST(IniFile, MissingFileAndFolderHaveNoSectionsAndGiveDefaults) {
  TTempDir folder;
  std::filesystem::create_directory(folder.Path() / "folder.cdf");
  for (const char* name : {"absent.cdf", "folder.cdf"}) {
    const TIniFile ini(folder.PathOf(name));
    EXPECT_TRUE(ini.ReadSectionNames().empty()) << name;
    EXPECT_EQ(ini.ReadString("c", "k", "d"), "d") << name;
  }
}

// Each name of 8 letters takes 9 bytes of the 16384-byte list, whose last
// byte ends the list: 1820 names fit.
TEST(IniFile, SectionNamesBeyondTheListSizeAreLost) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "[s" + std::to_string(1000000 + i) + "]\n";
  const std::vector<std::string> names = InMemory("many.cdf", text).ReadSectionNames();
  ASSERT_EQ(names.size(), 1820u);
  EXPECT_EQ(names.back(), "s1001819");
}

}  // namespace
}  // namespace harvex
