// Received messages read and stored end to end: from the lines the POP3 client hands on to the
// rows and attachment files in the real database.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "receive/message_reader.h"
#include "store_fixture.h"
#include "test_support.h"
#include "text/sjis_unicode.h"

namespace rirevar {
namespace {

using test::ReadFile;

std::string Sjis(const char* utf8) { return Utf8ToSjisTyped(utf8); }

class ReceivedMailTest : public test::ReceivedStoreTest {
 protected:
  // Reads and stores one message as the receive engine does; its id.
  int Receive(const std::string& message) {
    std::vector<std::string> lines = test::MessageLines(message);
    const ReceivedHeader header = ReadMessageHeader(lines);
    const int id = NextMessageId(db_);
    const auto store = NewStore(id);
    StoreMessageParts(header, lines, *store);
    store->Commit();
    return id;
  }

  int ReceiveFixture(const std::string& name) {
    return Receive(ReadFile(std::string(RIREVAR_FIXTURES) + "/" + name));
  }

  std::string File(int rowfile) { return ReadFile(AttachmentFilePath(tenpDir_, rowfile)); }
};

TEST_F(ReceivedMailTest, TextAndBase64PdfGiveABodyAndOneAttachmentFile) {
  const int id = ReceiveFixture("mixed_text_and_base64_pdf.eml");
  const ResultSet mail = db_.Query("select flag,size,body,d_id,s_id from mail where m_id=" + std::to_string(id));
  ASSERT_EQ(mail.RowCount(), 1);
  const ResultSet attachment = db_.Query("select filename,encode,rowfile from attachment");
  ASSERT_EQ(attachment.RowCount(), 1);
  EXPECT_EQ(attachment.Text(0, "filename"), "a.pdf");
  EXPECT_EQ(attachment.Text(0, "encode"), "base64");
  const std::string file = File(std::stoi(attachment.Text(0, "rowfile")));
  EXPECT_FALSE(file.empty());
  EXPECT_EQ(file.find_first_of("\r\n "), std::string::npos) << "the base64 text is stored in one piece";
  EXPECT_EQ(mail.Text(0, "flag"), "1");
  EXPECT_EQ(mail.Text(0, "d_id"), "1");
  EXPECT_EQ(mail.Text(0, "s_id"), "1");
  EXPECT_EQ(std::stoul(mail.Text(0, "size")), mail.Text(0, "body").size() + file.size());
}

TEST_F(ReceivedMailTest, TwoAttachmentsGetConsecutiveFilesAndTheirSizes) {
  const int id = ReceiveFixture("second_text_part_and_unnamed_base64.eml");
  const ResultSet attachments = db_.Query("select filename,rowfile from attachment order by rowfile");
  ASSERT_EQ(attachments.RowCount(), 2);
  EXPECT_EQ(attachments.Text(0, "rowfile"), "1");
  EXPECT_EQ(attachments.Text(1, "rowfile"), "2");
  EXPECT_EQ(attachments.Text(0, "filename"), Sjis("不明1"));
  EXPECT_EQ(attachments.Text(1, "filename"), Sjis("添付2"));
  const ResultSet mail = db_.Query("select size,body from mail where m_id=" + std::to_string(id));
  EXPECT_EQ(std::stoul(mail.Text(0, "size")), mail.Text(0, "body").size() + File(1).size() + File(2).size());
}

TEST_F(ReceivedMailTest, AlternativeMessageKeepsItsHtmlAsOneHtml) {
  ReceiveFixture("alternative_plain_and_html.eml");
  const ResultSet attachment = db_.Query("select filename from attachment");
  ASSERT_EQ(attachment.RowCount(), 1);
  EXPECT_EQ(attachment.Text(0, 0), "1.html");
  EXPECT_EQ(Scalar("select flag from mail"), "1");
}

TEST_F(ReceivedMailTest, FoldedEncodedWordSubjectIsStoredJoined) {
  ReceiveFixture("folded_encoded_word_subject.eml");
  const std::string subject = Scalar("select subject from mail");
  EXPECT_EQ(subject.find(' '), std::string::npos) << test::ToHex(subject);
  EXPECT_FALSE(subject.empty());
}

TEST_F(ReceivedMailTest, PriorityComesFromXPriorityElseThree) {
  Receive("Subject: a\r\nX-Priority: 1 (Highest)\r\n\r\nbody\r\n");
  Receive("Subject: b\r\n\r\nbody\r\n");
  const ResultSet rows = db_.Query("select priority from mail order by m_id");
  EXPECT_EQ(rows.Text(0, 0), "1");
  EXPECT_EQ(rows.Text(1, 0), "3");
}

TEST_F(ReceivedMailTest, LongJapaneseBodyIsStoredWholeInPieces) {
  // Several hundred kilobytes: one insert and concatenating updates.
  std::string text;
  while (text.size() < 600'000) text += "\x82\xa0\x82\xa2\x82\xa4 line of text\r\n";
  const int id = Receive("Subject: long\r\nContent-Type: text/plain; charset=Shift_JIS\r\n\r\n" + text);
  const std::string body = Scalar("select body from mail where m_id=" + std::to_string(id));
  // The body starts with the line break that ended the header; the last line has none.
  EXPECT_TRUE(body == "\r\n" + text.substr(0, text.size() - 2));
}

TEST_F(ReceivedMailTest, CutOffMessageIsStoredWithWhatArrived) {
  ReceiveFixture("cut_off_in_attachment.eml");
  EXPECT_EQ(Count("mail"), 1);
  EXPECT_EQ(Count("attachment"), 1);
}

TEST_F(ReceivedMailTest, UnrecognisedPartsStillStoreTheMessage) {
  ReceiveFixture("parts_without_content_type.eml");
  EXPECT_EQ(Count("mail"), 1);
  EXPECT_FALSE(Scalar("select body from mail").empty());
}

TEST_F(ReceivedMailTest, StoreFailingHalfWayLeavesNothingBehind) {
  // The second attachment cannot be written: the rows and the first file go too.
  const std::string message = ReadFile(std::string(RIREVAR_FIXTURES) + "/second_text_part_and_unnamed_base64.eml");
  std::filesystem::create_directory(AttachmentFilePath(tenpDir_, 2));
  EXPECT_THROW(Receive(message), StoreError);
  std::filesystem::remove(AttachmentFilePath(tenpDir_, 2));
  ExpectNothingLeft();
  // The next run stores it once.
  Receive(message);
  EXPECT_EQ(Count("mail"), 1);
  EXPECT_EQ(Count("attachment"), 2);
}

TEST_F(ReceivedMailTest, BadSortingRuleLeavesNothingBehind) {
  settings_ = Settings::Parse("Div0=no such column = 1 >> 3\r\n");
  EXPECT_THROW(ReceiveFixture("mixed_text_and_base64_pdf.eml"), DatabaseError);
  ExpectNothingLeft();
}

}  // namespace
}  // namespace rirevar
