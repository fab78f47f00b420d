#include "app/settings.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace rirevar {
namespace {

using test::CaseName;
using test::Hex;
using test::ToHex;

using Lines = std::vector<std::string>;

Settings FromLines(const Lines& lines) {
  Settings settings;
  settings.Lines() = lines;
  return settings;
}

// Lines shown as bytes, so that a failure does not print mojibake.
std::vector<std::string> HexLines(const Lines& lines) {
  std::vector<std::string> shown;
  for (const std::string& line : lines) shown.push_back(ToHex(line));
  return shown;
}

// ---- Reading a key ----

struct ReadCase {
  std::string name;
  Lines lines;
  std::string key;
  std::string value;
};

const ReadCase kReadCases[] = {
    {"MissingKeyReadsEmpty", {"Caption=nuv"}, "Interval", ""},
    {"FirstOfTwoLinesWins", {"Interval=15", "Interval=30"}, "Interval", "15"},
    {"KeyWrittenInLowerCaseIsFound", {"interval=5"}, "Interval", "5"},
    {"KeyAskedInOtherCaseIsFound", {"Interval=5"}, "iNTERVAL", "5"},
    {"ValueKeepsItsEqualsSigns", {"AllFilter=s_id<>9 and a=b"}, "AllFilter", "s_id<>9 and a=b"},
    {"NameEndsAtTheFirstEquals", {"a=b=c"}, "a=b", ""},
    {"EmptyValueOfAnExistingLine", {"Caption=", "Caption=nuv"}, "Caption", ""},
    {"LineWithoutEqualsIsNeverAKey", {"Interval", "Interval=7"}, "Interval", "7"},
    {"LineWithoutEqualsAloneReadsEmpty", {"Interval"}, "Interval", ""},
    {"LongerNameIsNoMatch", {"Pop10=x", "Pop1=y"}, "Pop1", "y"},
    {"ShorterNameIsNoMatch", {"Pop1=y"}, "Pop10", ""},
    {"BlanksInTheNameCount", {"Interval =5"}, "Interval", ""},
    {"ShiftJisValueReadAsBytes", {"Caption=" + Hex("83 8A 83 93 83 53")}, "Caption", Hex("83 8A 83 93 83 53")},
    {"ShiftJisNameFound", {Hex("8F 90 96 BC") + "=1"}, Hex("8F 90 96 BC"), "1"},
    // "ア" is 83 41 and "ヂ" is 83 61: their second bytes are "A" and "a".
    {"SecondByteOfShiftJisIsNotCaseFolded", {Hex("83 61") + "=1"}, Hex("83 41"), ""},
};

class ReadTable : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTable, ValueGivesTheFirstMatchingLine) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ToHex(FromLines(c.lines).Value(c.key)), ToHex(c.value));
}

INSTANTIATE_TEST_SUITE_P(Settings, ReadTable, testing::ValuesIn(kReadCases), CaseName<ReadCase>);

// ---- Writing a key ----

struct WriteCase {
  std::string name;
  Lines before;
  std::string key;
  std::string value;
  Lines after;
  std::string readBack;
};

const WriteCase kWriteCases[] = {
    {"NewKeyGoesToTheEnd", {"A=1", "B=2"}, "C", "3", {"A=1", "B=2", "C=3"}, "3"},
    {"ChangedKeyKeepsItsPlace", {"A=1", "Interval=15", "B=2"}, "Interval", "30", {"A=1", "Interval=30", "B=2"}, "30"},
    {"KeyTakesTheWritersSpelling", {"interval=15"}, "Interval", "30", {"Interval=30"}, "30"},
    {"OnlyTheFirstOfTwoLinesChanges", {"Interval=15", "Interval=20"}, "Interval", "30",
     {"Interval=30", "Interval=20"}, "30"},
    {"EmptyValueRemovesTheFirstLineOnly", {"A=1", "Interval=15", "Interval=20"}, "Interval", "",
     {"A=1", "Interval=20"}, "20"},
    {"EmptyValueOfAMissingKeyChangesNothing", {"A=1"}, "B", "", {"A=1"}, ""},
    {"ValueWithEqualsSigns", {}, "AllFilter", "a=b", {"AllFilter=a=b"}, "a=b"},
    {"LineWithoutEqualsIsLeftAndKeyAppended", {"Interval", "x"}, "Interval", "5", {"Interval", "x", "Interval=5"}, "5"},
    {"RemovingNeverTakesALineWithoutEquals", {"Interval"}, "Interval", "", {"Interval"}, ""},
    {"LineBreaksInTheValueBecomeBlanks", {}, "AllFilter", "a\r\nb\nc\rd", {"AllFilter=a b c d"}, "a b c d"},
    {"ShiftJisValueStoredAsBytes", {"Caption=nuv"}, "Caption", Hex("83 5C 95 5C 82"), {"Caption=" + Hex("83 5C 95 5C 82")},
     Hex("83 5C 95 5C 82")},
};

class WriteTable : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteTable, SetValueChangesTheFirstMatchingLine) {
  const WriteCase& c = GetParam();
  Settings settings = FromLines(c.before);
  settings.SetValue(c.key, c.value);
  EXPECT_EQ(HexLines(settings.Lines()), HexLines(c.after));
  EXPECT_EQ(ToHex(settings.Value(c.key)), ToHex(c.readBack));
}

INSTANTIATE_TEST_SUITE_P(Settings, WriteTable, testing::ValuesIn(kWriteCases), CaseName<WriteCase>);

TEST(Settings, KeysAddedOneAfterAnotherKeepTheirOrder) {
  Settings settings;
  for (const char* key : {"MaxMailSize", "SmtpPort", "ColAddress", "Interval", "Caption"}) settings.SetValue(key, "1");
  settings.SetValue("smtpport", "25");
  EXPECT_EQ(settings.Lines(), (Lines{"MaxMailSize=1", "smtpport=25", "ColAddress=1", "Interval=1", "Caption=1"}));
}

// ---- The file's bytes ----

struct ParseCase {
  std::string name;
  std::string bytes;
  Lines lines;
  std::string serialized;
};

const ParseCase kParseCases[] = {
    {"EmptyFileHasNoLines", "", {}, ""},
    {"LoneLineBreakIsOneEmptyLine", "\r\n", {""}, "\r\n"},
    {"LastLineWithoutBreak", "a=1\r\nb=2", {"a=1", "b=2"}, "a=1\r\nb=2\r\n"},
    {"FinalBreakMakesNoExtraLine", "a=1\r\n", {"a=1"}, "a=1\r\n"},
    {"EmptyLinesKept", "a\r\n\r\n\r\nb\r\n", {"a", "", "", "b"}, "a\r\n\r\n\r\nb\r\n"},
    {"LfAndCrBreakLinesToo", "a\nb\rc\r\nd", {"a", "b", "c", "d"}, "a\r\nb\r\nc\r\nd\r\n"},
    {"LfThenCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
    {"NulByteKept", std::string("a=\0b\r\n", 6), {std::string("a=\0b", 4)}, std::string("a=\0b\r\n", 6)},
};

class ParseTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, ParseCutsLinesAndSerializeEndsEachWithCrLf) {
  const ParseCase& c = GetParam();
  const Settings settings = Settings::Parse(c.bytes);
  EXPECT_EQ(HexLines(settings.Lines()), HexLines(c.lines));
  EXPECT_EQ(ToHex(settings.Serialize()), ToHex(c.serialized));
}

INSTANTIATE_TEST_SUITE_P(Settings, ParseTable, testing::ValuesIn(kParseCases), CaseName<ParseCase>);

// A file as users have them: Japanese values, hand-written lines, invalid Shift-JIS.
std::string RealisticFile() {
  return "Width=800\r\n"
         "Caption=" + Hex("83 8A 83 93 83 53") + "\r\n"
         "Div0=subject like '%" + Hex("83 8A 83 93 83 53") + "%' or subject like '%" + Hex("83 6F 83 69 83 69") +
         "%' >> 5\r\n"
         "hand-written note without equals\r\n"
         "\r\n"
         "Interval=15\r\n"
         "interval=30\r\n" +
         Hex("8F 90 96 BC 83 5C") + "=" + Hex("95 5C 94 5C") + "\r\n"
         "Pop0=default|pop.example.invalid|user|aGq12|110|0|0|\r\n"
         "Broken=" + Hex("FF 80 A0 FD 82") + "\r\n" +
         Hex("F0 FE") + "==" + Hex("82") + "\r\n";
}

TEST(Settings, CrLfFileRoundTripsByteForByte) {
  const std::string bytes = RealisticFile();
  const Settings settings = Settings::Parse(bytes);
  ASSERT_EQ(settings.Lines().size(), 11u);
  EXPECT_EQ(ToHex(settings.Value("INTERVAL")), ToHex("15"));
  EXPECT_EQ(ToHex(settings.Value(Hex("8F 90 96 BC 83 5C"))), ToHex(Hex("95 5C 94 5C")));
  EXPECT_EQ(ToHex(settings.Value(Hex("F0 FE"))), ToHex("=" + Hex("82")));
  EXPECT_EQ(ToHex(settings.Serialize()), ToHex(bytes));
}

// ---- "|" lists ----

struct SplitCase {
  std::string name;
  std::string text;
  Lines fields;
};

const SplitCase kSplitCases[] = {
    {"EmptyTextIsOneEmptyField", "", {""}},
    {"NoSeparatorIsOneField", "a", {"a"}},
    {"TwoFields", "a|b", {"a", "b"}},
    {"OnlySeparatorsGiveEmptyFields", "||||", {"", "", "", "", ""}},
    {"EmptyFieldsAtBothEnds", "|a|", {"", "a", ""}},
    {"NoTrimming", " a | b ", {" a ", " b "}},
    {"AccountLine", "default|pop.example.invalid|user|aGq12|110|0|0|",
     {"default", "pop.example.invalid", "user", "aGq12", "110", "0", "0", ""}},
    // "ポ" is 83 7C.
    {"SecondByteOfShiftJisIsNoSeparator", Hex("83 7C 7C 83 7C"), {Hex("83 7C"), Hex("83 7C")}},
    {"HalfWidthKanaBeforeASeparator", Hex("C3 7C BD"), {Hex("C3"), Hex("BD")}},
    {"LoneLeadByteAtTheEnd", Hex("61 7C 83"), {"a", Hex("83")}},
};

class SplitTable : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, SplitFieldsGivesEveryField) {
  EXPECT_EQ(HexLines(SplitFields(GetParam().text, '|')), HexLines(GetParam().fields));
}

INSTANTIATE_TEST_SUITE_P(Settings, SplitTable, testing::ValuesIn(kSplitCases), CaseName<SplitCase>);

// ---- Stored passwords ----

std::string EveryByte() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

struct PasswordCase {
  std::string name;
  std::string password;
};

const PasswordCase kPasswordCases[] = {
    {"Empty", ""},
    {"PlainLetters", "secret"},
    {"ContainsTheLetterA", "banana"},
    {"ContainsABlank", "pass word"},
    {"BytesAbove127", Hex("83 70 83 58 FF 80")},
    {"SeparatorsAndLineBreaks", "a|b=c\r\nd"},
    {"EveryByteValue", EveryByte()},
    {"LongerThanTheKey", std::string(300, 'x')},
};

bool OnlyDigitsAndLetters(const std::string& text) {
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

// Every "a" of a stored text begins a triple "a" + "A".."P" + "d".."s".
bool EveryAStartsATriple(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != 'a') continue;
    if (i + 2 >= text.size() || text[i + 1] < 'A' || text[i + 1] > 'P' || text[i + 2] < 'd' || text[i + 2] > 's') {
      return false;
    }
    i += 2;
  }
  return true;
}

class PasswordTable : public testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordTable, RoundTripsForEveryStartAsDigitsAndLetters) {
  const std::string& password = GetParam().password;
  for (int start = 0; start < 128; ++start) {
    SCOPED_TRACE(start);
    const std::string stored = ScramblePassword(password, start);
    EXPECT_TRUE(OnlyDigitsAndLetters(stored)) << stored;
    EXPECT_TRUE(EveryAStartsATriple(stored)) << stored;
    EXPECT_EQ(ToHex(UnscramblePassword(stored, start)), ToHex(password));
  }
}

INSTANTIATE_TEST_SUITE_P(Passwords, PasswordTable, testing::ValuesIn(kPasswordCases), CaseName<PasswordCase>);

TEST(Passwords, StartChangesTheStoredText) {
  EXPECT_NE(ScramblePassword("secret", 0), ScramblePassword("secret", 1));
}

TEST(Passwords, KeyPositionAdvancesOnePerByteAndWrapsAfter127) {
  EXPECT_EQ(ScramblePassword("xy", 5), ScramblePassword("x", 5) + ScramblePassword("y", 6));
  EXPECT_EQ(ScramblePassword("xy", 127), ScramblePassword("x", 127) + ScramblePassword("y", 0));
}

TEST(Passwords, StartIsACharacterCodeWithItsTopBitCleared) {
  const char shiftJisLead = '\x82';
  EXPECT_EQ(ScramblePassword("secret", shiftJisLead), ScramblePassword("secret", 0x02));
  EXPECT_EQ(UnscramblePassword(ScramblePassword("secret", 0x02), shiftJisLead), "secret");
  EXPECT_EQ(ScramblePassword("secret", 'd' + 128), ScramblePassword("secret", 'd'));
}

TEST(Passwords, EmptyPasswordRemovesTheStoredLine) {
  Settings settings = FromLines({"DBName=mail", "DBPasswd=aGq12"});
  settings.SetValue("DBPasswd", ScramblePassword("", 'm'));
  EXPECT_EQ(settings.Lines(), (Lines{"DBName=mail"}));
  EXPECT_EQ(UnscramblePassword(settings.Value("DBPasswd"), 'm'), "");
}

// The same value written as one character and as a triple reads back alike.
struct SpellingCase {
  std::string name;
  std::string single;
  std::string triple;
};

const SpellingCase kSpellingCases[] = {
    {"Digit", "0", "aDs"},       // 48 = 16 * 3 + 0
    {"UpperCase", "Z", "aFi"},   // 90 = 16 * 5 + 10
    {"LowerCase", "b", "aGq"},   // 98 = 16 * 6 + 2
    {"HighestValue", "z", "aHi"},  // 122 = 16 * 7 + 10
};

class SpellingTable : public testing::TestWithParam<SpellingCase> {};

TEST_P(SpellingTable, TripleReadsAsItsValue) {
  for (int start : {0, 64, 127}) {
    EXPECT_EQ(ToHex(UnscramblePassword(GetParam().triple, start)), ToHex(UnscramblePassword(GetParam().single, start)))
        << start;
  }
}

INSTANTIATE_TEST_SUITE_P(Passwords, SpellingTable, testing::ValuesIn(kSpellingCases), CaseName<SpellingCase>);

struct MalformedCase {
  std::string name;
  std::string stored;
  std::size_t length;
};

const MalformedCase kMalformedCases[] = {
    {"LoneA", "a", 1},
    {"AWithOneCharacterAfter", "ab", 2},
    {"TripleThenTrailingA", "aaaa", 2},
    {"TripleOfUnexpectedCharacters", "a~\x01", 1},
    {"TripleOfHighBytes", "a\xFF\x80", 1},
    {"CharactersAStoredTextNeverHas", "|=\r\n\xFF", 5},
    {"AtTheEndAfterAValidTriple", "aDsa", 2},
};

class MalformedTable : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTable, UnscrambleGivesOneByteAPieceAlways) {
  const MalformedCase& c = GetParam();
  for (int start = 0; start < 128; ++start) {
    const std::string password = UnscramblePassword(c.stored, start);
    EXPECT_EQ(password.size(), c.length) << start;
    EXPECT_EQ(password, UnscramblePassword(c.stored, start)) << start;
  }
}

INSTANTIATE_TEST_SUITE_P(Passwords, MalformedTable, testing::ValuesIn(kMalformedCases), CaseName<MalformedCase>);

// ---- Font strings ----

constexpr std::int32_t kClWindow = static_cast<std::int32_t>(0xFF000005);

struct FontCase {
  std::string name;
  FontSpec font;
  std::int32_t controlColor;
  std::string text;
};

FontSpec Font(int charset, std::int32_t color, int height, std::string name, int size) {
  FontSpec font;
  font.charset = charset;
  font.color = color;
  font.height = height;
  font.name = std::move(name);
  font.size = size;
  return font;
}

const FontCase kFontCases[] = {
    {"DesignFont", FontSpec{}, kClWindow,
     "128|-16777208|-12|" + Hex("82 6C 82 72 20 82 6F 83 53 83 56 83 62 83 4E") + "|9|-16777211"},
    {"PlainColours", Font(0, 0x00FF8000, -16, "Courier New", 12), 0x00FFFFFF, "0|16744448|-16|Courier New|12|16777215"},
    // "ＤＦＰポップ体": "ポ" is 83 7C, a "|" as its second byte.
    {"FaceNameWithSeparatorByte", Font(128, -16777192, 20, Hex("82 63 82 65 82 6F 83 7C 83 62 83 76 91 CC"), 15),
     0, "128|-16777192|20|" + Hex("82 63 82 65 82 6F 83 7C 83 62 83 76 91 CC") + "|15|0"},
    {"FaceNameWithEqualsAndBlanks", Font(1, 0, -9, " a=b ", 7), -1, "1|0|-9| a=b |7|-1"},
    {"LargestColours", Font(128, INT32_MIN, 0, "x", 0), INT32_MAX, "128|-2147483648|0|x|0|2147483647"},
};

class FontTable : public testing::TestWithParam<FontCase> {};

TEST_P(FontTable, FontToTextWritesSixFields) {
  EXPECT_EQ(ToHex(FontToText(GetParam().font, GetParam().controlColor)), ToHex(GetParam().text));
}

TEST_P(FontTable, TextToFontReadsThemBack) {
  const FontCase& c = GetParam();
  FontSpec font = Font(0, 1, 2, "other", 3);
  EXPECT_EQ(TextToFont(font, c.text), std::optional<std::int32_t>(c.controlColor));
  EXPECT_EQ(font.charset, c.font.charset);
  EXPECT_EQ(font.color, c.font.color);
  EXPECT_EQ(font.height, c.font.height);
  EXPECT_EQ(ToHex(font.name), ToHex(c.font.name));
  EXPECT_EQ(font.size, c.font.size);
}

INSTANTIATE_TEST_SUITE_P(Fonts, FontTable, testing::ValuesIn(kFontCases), CaseName<FontCase>);

TEST(Fonts, FieldsAfterTheSixthAreIgnored) {
  FontSpec font;
  EXPECT_EQ(TextToFont(font, "1|2|3|Arial|4|5|extra|"), std::optional<std::int32_t>(5));
  EXPECT_EQ(font.name, "Arial");
  EXPECT_EQ(font.size, 4);
}

struct RejectedFontCase {
  std::string name;
  std::string text;
};

const RejectedFontCase kRejectedFontCases[] = {
    {"Empty", ""},
    {"FiveFields", "128|0|-12|Arial|9"},
    {"CharsetNotANumber", "x|0|-12|n|9|0"},
    {"ColourNotANumber", "128|red|-12|n|9|0"},
    {"HeightEmpty", "128|0||n|9|0"},
    {"SizeWithTrailingText", "128|0|-12|n|9pt|0"},
    {"ControlColourWithBlank", "128|0|-12|n|9| 0"},
    {"ControlColourMissingAfterSeparator", "128|0|-12|n|9|"},
    {"ColourBeyond32Bits", "128|4278190088|-12|n|9|0"},
    {"HexadecimalNumber", "128|0x10|-12|n|9|0"},
    // Cut at the second byte of "ポ" (83 7C), this would be six fields with "9" as the size.
    {"SecondByteOfShiftJisIsNoField", "128|0|-12|" + Hex("82 63 83 7C") + "9|0"},
};

class RejectedFontTable : public testing::TestWithParam<RejectedFontCase> {};

TEST_P(RejectedFontTable, TextToFontLeavesTheFontAlone) {
  FontSpec font = Font(0, 1, 2, "kept", 3);
  EXPECT_EQ(TextToFont(font, GetParam().text), std::nullopt);
  EXPECT_EQ(font.charset, 0);
  EXPECT_EQ(font.color, 1);
  EXPECT_EQ(font.height, 2);
  EXPECT_EQ(font.name, "kept");
  EXPECT_EQ(font.size, 3);
}

INSTANTIATE_TEST_SUITE_P(Fonts, RejectedFontTable, testing::ValuesIn(kRejectedFontCases), CaseName<RejectedFontCase>);

// ---- The file on disk ----

namespace fs = std::filesystem;

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "settings_test.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Every name in the directory tree, so that a temporary file left anywhere shows.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) names.insert(entry.path().string());
    return names;
  }

  fs::path dir_;
};

TEST_F(SettingsFile, WrittenFileReadsBackTheSameLines) {
  const Settings settings = Settings::Parse(RealisticFile());
  std::string error;
  ASSERT_TRUE(WriteSettingsFile(PathOf("nuv.ini"), settings, error)) << error;
  EXPECT_EQ(error, "");
  EXPECT_EQ(ToHex(Get(PathOf("nuv.ini"))), ToHex(RealisticFile()));
  const std::optional<Settings> read = ReadSettingsFile(PathOf("nuv.ini"), error);
  ASSERT_TRUE(read.has_value()) << error;
  EXPECT_EQ(HexLines(read->Lines()), HexLines(settings.Lines()));
  EXPECT_EQ(Entries(), std::set<std::string>{PathOf("nuv.ini")});
}

TEST_F(SettingsFile, ReplacingKeepsPermissionsAndANewFileIsTheOwnersOnly) {
  std::string error;
  ASSERT_TRUE(WriteSettingsFile(PathOf("new.ini"), FromLines({"a=1"}), error)) << error;
  EXPECT_EQ(fs::status(PathOf("new.ini")).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  Put(PathOf("nuv.ini"), "old=1\r\n");
  ::chmod(PathOf("nuv.ini").c_str(), 0640);
  ASSERT_TRUE(WriteSettingsFile(PathOf("nuv.ini"), FromLines({"new=2"}), error)) << error;
  EXPECT_EQ(Get(PathOf("nuv.ini")), "new=2\r\n");
  EXPECT_EQ(fs::status(PathOf("nuv.ini")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsFile, SymbolicLinkStaysAndItsTargetIsReplaced) {
  fs::create_directory(dir_ / "real");
  Put(PathOf("real/nuv.ini"), "old=1\r\n");
  fs::create_symlink(dir_ / "real" / "nuv.ini", dir_ / "nuv.ini");
  std::string error;
  ASSERT_TRUE(WriteSettingsFile(PathOf("nuv.ini"), FromLines({"new=2"}), error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "nuv.ini"));
  EXPECT_EQ(Get(PathOf("real/nuv.ini")), "new=2\r\n");
  EXPECT_EQ(Entries(), (std::set<std::string>{PathOf("nuv.ini"), PathOf("real"), PathOf("real/nuv.ini")}));
}

TEST_F(SettingsFile, MissingFileReadsAsNothingWithoutError) {
  std::string error = "left from before";
  EXPECT_EQ(ReadSettingsFile(PathOf("nuv.ini"), error), std::nullopt);
  EXPECT_EQ(error, "");
}

TEST_F(SettingsFile, UnreadableFileGivesNothingWithAnError) {
  fs::create_directory(dir_ / "nuv.ini");
  std::string error;
  EXPECT_EQ(ReadSettingsFile(PathOf("nuv.ini"), error), std::nullopt);
  EXPECT_NE(error.find(PathOf("nuv.ini")), std::string::npos) << error;
}

struct UnwritableCase {
  std::string name;
  std::string file;  // inside the test directory
};

const UnwritableCase kUnwritableCases[] = {
    {"MissingDirectory", "missing/nuv.ini"},
    {"ParentIsARegularFile", "plain/nuv.ini"},
    {"TargetIsADirectory", "folder"},
};

class UnwritableTable : public SettingsFile, public testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableTable, WriteFailsWithAnErrorAndLeavesEverythingAsItWas) {
  Put(PathOf("nuv.ini"), RealisticFile());
  Put(PathOf("plain"), "a plain file\r\n");
  fs::create_directory(dir_ / "folder");
  Put(PathOf("folder/inside"), "x");
  const std::set<std::string> before = Entries();

  const std::string path = PathOf(GetParam().file);
  std::string error;
  EXPECT_FALSE(WriteSettingsFile(path, FromLines({"a=1"}), error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(Entries(), before);
  EXPECT_EQ(ToHex(Get(PathOf("nuv.ini"))), ToHex(RealisticFile()));
  EXPECT_EQ(Get(PathOf("plain")), "a plain file\r\n");
}

INSTANTIATE_TEST_SUITE_P(SettingsFile, UnwritableTable, testing::ValuesIn(kUnwritableCases), CaseName<UnwritableCase>);

// A file size limit fails the write part-way, as a full disk does.
TEST_F(SettingsFile, DiskFullKeepsTheOldFileWhole) {
  Put(PathOf("nuv.ini"), RealisticFile());
  const Settings large = FromLines(Lines(1000, "Key=" + std::string(100, 'v')));

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  const auto previous = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool written = WriteSettingsFile(PathOf("nuv.ini"), large, error);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);

  EXPECT_FALSE(written);
  EXPECT_NE(error.find(PathOf("nuv.ini")), std::string::npos) << error;
  EXPECT_EQ(ToHex(Get(PathOf("nuv.ini"))), ToHex(RealisticFile()));
  EXPECT_EQ(Entries(), std::set<std::string>{PathOf("nuv.ini")});
}

}  // namespace
}  // namespace rirevar
