#include "receive/message_reader.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"
#include "text/transfer_encoding.h"

namespace rirevar {
namespace {

using test::Hex;
using test::ToHex;

const std::string kUnknown1 = Hex("95 73 96 BE") + "1";   // 不明1
const std::string kAttached2 = Hex("93 59 95 74") + "2";  // 添付2
const std::string kHello = Hex("82 B1 82 F1 82 C9 82 BF 82 CD");  // こんにちは
const std::string kWorld = Hex("90 A2 8A 45");                    // 世界

struct Attachment {
  std::string name;
  std::string encoding;
  std::string content;
};

class Recorder : public MessageStore {
 public:
  bool StoreReceived(const ReceivedHeader& header, const std::string& body) override {
    headers.push_back(header);
    bodies.push_back(body);
    return !duplicate;
  }
  void StoreAttachment(const std::string& name, const std::string& encoding, const std::string& content) override {
    attachments.push_back({name, encoding, content});
  }
  void Progress(int percent) override { progress.push_back(percent); }

  bool duplicate = false;
  std::vector<ReceivedHeader> headers;
  std::vector<std::string> bodies;
  std::vector<Attachment> attachments;
  std::vector<int> progress;
};

std::vector<std::string> Fixture(const std::string& name) {
  std::ifstream file(std::string(RIREVAR_FIXTURES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  return test::MessageLines(std::string(std::istreambuf_iterator<char>(file), {}));
}

class TokyoTime : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
  }
};

Recorder Read(std::vector<std::string> lines, bool duplicate = false) {
  Recorder store;
  store.duplicate = duplicate;
  const ReceivedHeader header = ReadMessageHeader(lines);
  StoreMessageParts(header, lines, store);
  return store;
}

Recorder ReadFixture(const std::string& name, bool duplicate = false) { return Read(Fixture(name), duplicate); }

// Header fields.

struct FieldCase {
  std::string name;
  std::string field;
  std::vector<std::string> lines;
  std::string expected;
};

class HeaderFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(HeaderFieldTest, DecodesTheFirstField) {
  const FieldCase& c = GetParam();
  EXPECT_EQ(ToHex(HeaderField(c.field, c.lines)), ToHex(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderFieldTest,
    testing::Values(
        FieldCase{"value_after_blank", "Subject", {"Subject: abc"}, "abc"},
        FieldCase{"value_right_after_colon_keeps_first_letter", "Subject", {"Subject:abc"}, "abc"},
        FieldCase{"surrounding_blanks_trimmed", "Subject", {"Subject:   abc \t"}, "abc"},
        FieldCase{"name_in_any_letter_case", "Subject", {"SUBJECT: abc"}, "abc"},
        FieldCase{"longer_name_is_another_field", "Subject", {"Subject-Extra: x", "Subject: y"}, "y"},
        FieldCase{"first_of_two_fields", "To", {"To: a", "To: b"}, "a"},
        FieldCase{"missing_field_is_empty", "Cc", {"To: a"}, ""},
        FieldCase{"next_field_ends_the_value", "Subject", {"Subject: a", "From: b"}, "a"},
        FieldCase{"blank_and_tab_continuations_join_without_blank", "Subject", {"Subject: a", " b", "\tc"}, "abc"},
        FieldCase{"high_byte_line_continues", "Subject", {"Subject: a", Hex("82 A0")}, "a" + Hex("82 A0")},
        FieldCase{"empty_line_ends_the_value", "Subject", {"Subject: a", "", " b"}, "a"},
        FieldCase{"folded_encoded_words_join_without_blank", "Subject",
                  {"Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=", " =?ISO-2022-JP?B?GyRCN29MPhsoQg==?="},
                  Hex("93 FA 96 7B 8C EA 8C 8F 96 BC")},
        FieldCase{"raw_iso_2022_jp_converted", "Subject", {"Subject: " + Hex("1B 24 42 46 7C 4B 5C 38 6C 1B 28 42")},
                  Hex("93 FA 96 7B 8C EA")}),
    test::CaseName<FieldCase>);

struct ParamCase {
  std::string name;
  std::string value;
  std::string param;
  std::optional<std::string> expected;
};

class HeaderParamTest : public testing::TestWithParam<ParamCase> {};

TEST_P(HeaderParamTest, FindsTheParameter) {
  const ParamCase& c = GetParam();
  EXPECT_EQ(HeaderParam(c.value, c.param), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderParamTest,
    testing::Values(
        ParamCase{"quoted", "multipart/mixed; boundary=\"XYZ\"", "boundary", "XYZ"},
        ParamCase{"quoted_keeps_blanks_and_semicolons", "multipart/mixed; boundary=\"a b;c\"", "boundary", "a b;c"},
        ParamCase{"unquoted_ends_at_blank_keeping_semicolon", "multipart/mixed; boundary=XYZ; charset=x", "boundary",
                  "XYZ;"},
        ParamCase{"unquoted_runs_over_semicolon", "multipart/mixed; boundary=XYZ;charset=x", "boundary",
                  "XYZ;charset=x"},
        ParamCase{"letter_case_kept", "Multipart/Mixed; BOUNDARY=\"AbC\"", "boundary", "AbC"},
        ParamCase{"unterminated_quote_runs_to_end", "attachment; filename=\"a.pdf", "filename", "a.pdf"},
        ParamCase{"absent", "text/plain; charset=us-ascii", "boundary", std::nullopt},
        ParamCase{"empty_is_absent", "multipart/mixed; boundary=\"\"", "boundary", std::nullopt},
        ParamCase{"without_equals_is_absent", "multipart/mixed; boundary", "boundary", std::nullopt},
        ParamCase{"not_inside_a_double_byte_character", Hex("83 62") + "oundary=\"X\"", "boundary", std::nullopt}),
    test::CaseName<ParamCase>);

// Dates.

struct DateCase {
  std::string name;
  std::string value;
  std::string expected;
};

class DateTest : public TokyoTime, public testing::WithParamInterface<DateCase> {};

TEST_P(DateTest, ConvertsToLocalTime) { EXPECT_EQ(MessageDateToLocal(GetParam().value), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, DateTest,
    testing::Values(
        DateCase{"local_zone", "Mon, 1 Jul 2024 09:05:00 +0900", "2024-07-01 09:05:00"},
        DateCase{"two_digit_year_gmt_no_seconds", "1 Jul 24 00:05 GMT", "2024-07-01 09:05:00"},
        DateCase{"two_digit_year_of_last_century", "1 Jul 99 00:00:00 +0000", "1999-07-01 09:00:00"},
        DateCase{"three_digit_year", "1 Jul 124 00:00 +0000", "2024-07-01 09:00:00"},
        DateCase{"negative_offset", "Sun, 30 Jun 2024 20:05:00 -0400", "2024-07-01 09:05:00"},
        DateCase{"ut", "Mon, 01 Jul 2024 00:05:00 UT", "2024-07-01 09:05:00"},
        DateCase{"est", "Sun, 30 Jun 2024 19:05:00 EST", "2024-07-01 09:05:00"},
        DateCase{"edt", "Sun, 30 Jun 2024 20:05:00 EDT", "2024-07-01 09:05:00"},
        DateCase{"cst", "Sun, 30 Jun 2024 18:05:00 CST", "2024-07-01 09:05:00"},
        DateCase{"cdt", "Sun, 30 Jun 2024 19:05:00 CDT", "2024-07-01 09:05:00"},
        DateCase{"mst", "Sun, 30 Jun 2024 17:05:00 MST", "2024-07-01 09:05:00"},
        DateCase{"mdt", "Sun, 30 Jun 2024 18:05:00 mdt", "2024-07-01 09:05:00"},
        DateCase{"pst", "Sun, 30 Jun 2024 16:05:00 PST", "2024-07-01 09:05:00"},
        DateCase{"pdt", "Sun, 30 Jun 2024 17:05:00 PDT", "2024-07-01 09:05:00"},
        DateCase{"military_letter_counts_as_utc", "1 Jul 2024 00:05:00 A", "2024-07-01 09:05:00"},
        DateCase{"zulu", "1 Jul 2024 00:05:00 Z", "2024-07-01 09:05:00"},
        DateCase{"zone_comment", "Mon, 1 Jul 2024 09:05:00 +0900 (JST)", "2024-07-01 09:05:00"},
        DateCase{"extra_blanks", "  Mon ,  1  Jul   2024  09 : 05 : 00   +0900  ", "2024-07-01 09:05:00"},
        DateCase{"no_day_name", "1 Jul 2024 09:05:00 +0900", "2024-07-01 09:05:00"},
        DateCase{"full_month_name", "1 July 2024 09:05:00 +0900", "2024-07-01 09:05:00"},
        DateCase{"no_zone_is_utc", "1 Jul 2024 00:05:00", "2024-07-01 09:05:00"},
        DateCase{"into_next_year", "Tue, 31 Dec 2024 20:00:00 +0000", "2025-01-01 05:00:00"},
        DateCase{"leap_day", "Thu, 29 Feb 2024 00:00:00 +0900", "2024-02-29 00:00:00"},
        DateCase{"garbage", "garbage", "1899-12-30 00:00:00"},
        DateCase{"empty", "", "1899-12-30 00:00:00"},
        DateCase{"no_such_day", "31 Feb 2024 00:00:00 +0000", "1899-12-30 00:00:00"},
        DateCase{"no_such_month", "1 Foo 2024 00:00:00 +0000", "1899-12-30 00:00:00"},
        DateCase{"no_such_hour", "1 Jul 2024 25:00:00 +0000", "1899-12-30 00:00:00"},
        DateCase{"short_offset", "1 Jul 2024 09:05:00 +09", "1899-12-30 00:00:00"},
        DateCase{"no_time", "1 Jul 2024", "1899-12-30 00:00:00"}),
    test::CaseName<DateCase>);

// The header of a message.

TEST_F(TokyoTime, ReadMessageHeaderMovesTheHeaderOutAndReadsItsFields) {
  std::vector<std::string> lines = Fixture("folded_encoded_word_subject.eml");
  const ReceivedHeader header = ReadMessageHeader(lines);
  EXPECT_EQ(ToHex(header.subject), ToHex(Hex("93 FA 96 7B 8C EA 8C 8F 96 BC")));
  EXPECT_EQ(header.from, "sender@example.jp");
  EXPECT_EQ(header.to, "user@example.jp");
  EXPECT_EQ(header.cc, "");
  EXPECT_EQ(header.date, "2024-07-01 09:05:00");
  EXPECT_EQ(header.priority, 1);
  EXPECT_EQ(header.contentType, "text/plain; charset=ISO-2022-JP");
  EXPECT_EQ(header.transferEncoding, "7bit");
  EXPECT_EQ(header.rawHeader.substr(0, 25), "From: sender@example.jp\r\n");
  EXPECT_EQ(header.rawHeader.substr(header.rawHeader.size() - 33), "Content-Transfer-Encoding: 7bit\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "");
}

struct PriorityCase {
  std::string name;
  std::vector<std::string> lines;
  int expected;
};

class PriorityTest : public testing::TestWithParam<PriorityCase> {};

TEST_P(PriorityTest, ReadsTheFirstCharacter) {
  std::vector<std::string> lines = GetParam().lines;
  EXPECT_EQ(ReadMessageHeader(lines).priority, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PriorityTest,
                         testing::Values(PriorityCase{"highest", {"X-Priority: 1 (Highest)", ""}, 1},
                                         PriorityCase{"lowest", {"X-Priority: 5", ""}, 5},
                                         PriorityCase{"letter_gives_its_code_minus_48", {"X-Priority: a", ""}, 49},
                                         PriorityCase{"empty_is_normal", {"X-Priority:", ""}, 3},
                                         PriorityCase{"absent_is_normal", {"Subject: x", ""}, 3}),
                         test::CaseName<PriorityCase>);

TEST(ReadMessageHeader, WithoutBlankAfterColonKeepsTheWholeValue) {
  std::vector<std::string> lines = Fixture("subject_without_blank.eml");
  const ReceivedHeader header = ReadMessageHeader(lines);
  EXPECT_EQ(header.subject, "abc");
  EXPECT_EQ(header.from, "a@example.jp");
  EXPECT_EQ(header.date, "1899-12-30 00:00:00");
}

// Bodies and attachments.

struct MessageCase {
  std::string name;
  std::string fixture;
  std::string body;
  std::vector<Attachment> attachments;
};

class StoreMessagePartsTest : public testing::TestWithParam<MessageCase> {};

TEST_P(StoreMessagePartsTest, StoresBodyAndAttachments) {
  const MessageCase& c = GetParam();
  const Recorder store = ReadFixture(c.fixture);
  ASSERT_EQ(store.bodies.size(), 1u);
  EXPECT_EQ(ToHex(store.bodies[0]), ToHex(c.body));
  ASSERT_EQ(store.attachments.size(), c.attachments.size());
  for (std::size_t i = 0; i < c.attachments.size(); ++i) {
    EXPECT_EQ(ToHex(store.attachments[i].name), ToHex(c.attachments[i].name)) << i;
    EXPECT_EQ(store.attachments[i].encoding, c.attachments[i].encoding) << i;
    EXPECT_EQ(store.attachments[i].content, c.attachments[i].content) << i;
  }
}

std::string PdfBase64() {
  std::string pdf = "%PDF-1.4\n";
  for (int round = 0; round < 3; ++round) {
    for (int byte = 0; byte < 256; ++byte) pdf.push_back(static_cast<char>(byte));
  }
  return EncodeBase64(pdf);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoreMessagePartsTest,
    testing::Values(
        MessageCase{"single_part_iso_2022_jp", "folded_encoded_word_subject.eml", "\r\n" + kHello, {}},
        MessageCase{"single_part_base64_with_blanks_and_line_breaks", "base64_body_with_blanks_and_line_breaks.eml",
                    kHello + "\r\n" + kWorld, {}},
        MessageCase{"single_part_quoted_printable_decoded", "quoted_printable_single_part.eml",
                    "\r\n" + kHello + " " + kWorld, {}},
        MessageCase{"japanese_iso_2022_jp", "japanese_body_iso_2022_jp.eml",
                    "\r\n" + Hex("93 FA 96 7B 8C EA 82 CC 83 81 81 5B 83 8B 82 C5 82 B7 81 42 0D 0A") + kHello +
                        Hex("81 41") + kWorld + Hex("81 42"), {}},
        MessageCase{"japanese_euc_jp", "japanese_body_euc_jp.eml",
                    "\r\n" + Hex("93 FA 96 7B 8C EA 82 CC 83 81 81 5B 83 8B 82 C5 82 B7 81 42 0D 0A") + kHello +
                        Hex("81 41") + kWorld + Hex("81 42"), {}},
        MessageCase{"japanese_utf_8", "japanese_body_utf_8.eml",
                    "\r\n" + Hex("93 FA 96 7B 8C EA 82 CC 83 81 81 5B 83 8B 82 C5 82 B7 81 42 0D 0A") + kHello +
                        Hex("81 41") + kWorld + Hex("81 42"), {}},
        MessageCase{"japanese_shift_jis", "japanese_body_shift_jis.eml",
                    "\r\n" + Hex("93 FA 96 7B 8C EA 82 CC 83 81 81 5B 83 8B 82 C5 82 B7 81 42 0D 0A") + kHello +
                        Hex("81 41") + kWorld + Hex("81 42"), {}},
        MessageCase{"mixed_text_and_base64_pdf", "mixed_text_and_base64_pdf.eml", kHello + "\r\n",
                    {{"a.pdf", "base64", PdfBase64()}}},
        MessageCase{"unquoted_boundary_with_semicolon_keeps_whole_text",
                    "unquoted_boundary_followed_by_semicolon.eml",
                    "\r\n--XYZ\r\nContent-Type: text/plain\r\n\r\nhello\r\n--XYZ--", {}},
        MessageCase{"alternative_html_becomes_1_html", "alternative_plain_and_html.eml", "plain text\r\n",
                    {{"1.html", "", "<p>html</p>\r\n"}}},
        MessageCase{"second_text_part_and_unnamed_base64_get_counted_names",
                    "second_text_part_and_unnamed_base64.eml", "first\r\n",
                    {{kUnknown1, "", "second\r\n"}, {kAttached2, "base64", "QUJDREVG"}}},
        MessageCase{"nested_multipart", "nested_multipart.eml", "inner plain\r\n",
                    {{"1.html", "", "<b>inner</b>\r\n"}, {"list.csv", "", "a,b\r\n1,2\r\n"}}},
        MessageCase{"base64_text_part_decoded", "base64_utf8_text_part.eml", kHello + "\r\n" + kWorld, {}},
        MessageCase{"quoted_printable_text_part_decoded", "quoted_printable_utf8_text_part.eml",
                    kHello + " " + kWorld + "\r\n", {}},
        MessageCase{"cut_off_attachment_kept", "cut_off_in_attachment.eml", "text\r\n",
                    {{"x.zip", "base64", "UEsDBA=="}}},
        MessageCase{"cut_off_text_kept", "cut_off_in_text.eml", "line 1\r\nline 2", {}},
        MessageCase{"parts_without_content_type_keep_whole_text", "parts_without_content_type.eml",
                    "\r\n--part-boundary\r\n\r\nfirst part\r\n--part-boundary\r\n\r\nsecond part\r\n--part-boundary--", {}}),
    test::CaseName<MessageCase>);

TEST(StoreMessageParts, AttachmentFirstStoresAnEmptyBodyBeforeIt) {
  const Recorder store = Read({"Content-Type: multipart/mixed; boundary=B", "", "--B",
                               "Content-Type: application/octet-stream",
                               "Content-Disposition: attachment; filename=\"f.bin\"", "", "data", "--B--"});
  ASSERT_EQ(store.bodies.size(), 1u);
  EXPECT_EQ(store.bodies[0], "");
  ASSERT_EQ(store.attachments.size(), 1u);
  EXPECT_EQ(store.attachments[0].name, "f.bin");
  EXPECT_EQ(store.attachments[0].content, "data\r\n");
}

TEST(StoreMessageParts, DuplicateStopsBeforeAnyAttachment) {
  const Recorder afterText = ReadFixture("mixed_text_and_base64_pdf.eml", true);
  EXPECT_EQ(afterText.bodies.size(), 1u);
  EXPECT_TRUE(afterText.attachments.empty());

  const Recorder attachmentFirst = Read({"Content-Type: multipart/mixed; boundary=B", "", "--B",
                                         "Content-Type: application/pdf", "", "x", "--B",
                                         "Content-Type: application/pdf", "", "y", "--B--"},
                                        true);
  EXPECT_EQ(attachmentFirst.bodies.size(), 1u);
  EXPECT_TRUE(attachmentFirst.attachments.empty());
}

TEST(StoreMessageParts, ReportsProgressEvery512Lines) {
  std::vector<std::string> lines = {"Content-Type: multipart/mixed; boundary=B", "", "--B", "Content-Type: text/plain",
                                    ""};
  while (lines.size() < 1200) lines.push_back("x");
  lines.push_back("--B--");
  const Recorder store = Read(lines);
  const int count = static_cast<int>(lines.size()) - 1;
  EXPECT_EQ(store.progress, (std::vector<int>{511 * 100 / count, 1023 * 100 / count}));
  ASSERT_EQ(store.bodies.size(), 1u);
  EXPECT_EQ(store.bodies[0].size(), (1200 - 5) * 3u);
}

TEST(StoreMessageParts, SinglePartHandsOnTheHeader) {
  const Recorder store = ReadFixture("subject_without_blank.eml");
  ASSERT_EQ(store.headers.size(), 1u);
  EXPECT_EQ(store.headers[0].subject, "abc");
  EXPECT_EQ(store.bodies[0], "\r\nbody");
}

}  // namespace
}  // namespace rirevar
