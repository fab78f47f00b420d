#include "receive/received_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/init_script.h"
#include "receive/sorting_rules.h"
#include "store_fixture.h"
#include "test_support.h"

namespace rirevar {
namespace {

using test::CaseName;
using test::Hex;
using test::Popups;
using test::ReadFile;
using test::ToHex;

// Bytes that cover every value, in an order that mixes valid and invalid Shift-JIS.
std::string MixedBytes(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 987654321;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

// Local time `secondsAgo` before now, as the database keeps it.
std::string LocalTimeAgo(long secondsAgo) {
  const std::time_t then = std::time(nullptr) - secondsAgo;
  std::tm local{};
  localtime_r(&then, &local);
  char text[32];
  return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local));
}

Settings SettingsOf(const std::string& lines) { return Settings::Parse(lines); }

ReceivedHeader Header(std::string subject = "Hello", std::string from = "a@example.jp",
                      std::string date = "2024-05-06 07:08:09") {
  ReceivedHeader header;
  header.subject = std::move(subject);
  header.from = std::move(from);
  header.to = "b@example.jp";
  header.cc = "c@example.jp";
  header.replyTo = "d@example.jp";
  header.date = std::move(date);
  header.priority = 3;
  header.rawHeader = "From: a@example.jp\r\nSubject: Hello\r\n";
  return header;
}

}  // namespace

using test::ReceivedStoreTest;

namespace {

// ---- Message ids ----

TEST_F(ReceivedStoreTest, NextMessageIdOfAnEmptyTableIsOne) { EXPECT_EQ(NextMessageId(db_), 1); }

TEST_F(ReceivedStoreTest, NextMessageIdFollowsTheLargest) {
  db_.Execute("insert into mail (m_id) values (3),(10),(4)");
  EXPECT_EQ(NextMessageId(db_), 11);
}

// ---- The stored row ----

TEST_F(ReceivedStoreTest, StoredMessageHasTheValuesOfAReceivedMessage) {
  ReceivedHeader header = Header(Hex("83 5C 83 74 83 67"));
  header.priority = 1;
  const std::string before = LocalTimeAgo(1);
  ASSERT_TRUE(StoreWhole(5, header, "body\r\n"));
  const ResultSet rows = db_.Query(
      "select m_id,d_id,flag,s_id,mailfrom,recipients,cc,replyto,date,subject,priority,body,size,regdate from mail");
  ASSERT_EQ(rows.RowCount(), 1);
  EXPECT_EQ(rows.Text(0, "m_id"), "5");
  EXPECT_EQ(rows.Text(0, "d_id"), "1");
  EXPECT_EQ(rows.Text(0, "flag"), "0");
  EXPECT_EQ(rows.Text(0, "s_id"), "1");
  EXPECT_EQ(rows.Text(0, "mailfrom"), "a@example.jp");
  EXPECT_EQ(rows.Text(0, "recipients"), "b@example.jp");
  EXPECT_EQ(rows.Text(0, "cc"), "c@example.jp");
  EXPECT_EQ(rows.Text(0, "replyto"), "d@example.jp");
  EXPECT_EQ(rows.Text(0, "date"), "2024-05-06 07:08:09");
  EXPECT_EQ(ToHex(rows.Text(0, "subject")), "83 5C 83 74 83 67");
  EXPECT_EQ(rows.Text(0, "priority"), "1");
  EXPECT_EQ(rows.Text(0, "body"), "body\r\n");
  EXPECT_EQ(rows.Text(0, "size"), "6");
  EXPECT_GE(rows.Text(0, "regdate"), before);
  EXPECT_LE(rows.Text(0, "regdate"), LocalTimeAgo(-1));
  EXPECT_TRUE(runState_.IsNewMessage);
}

TEST_F(ReceivedStoreTest, BodyOfSeveralHundredKilobytesIsStoredByteForByte) {
  const std::string body = MixedBytes(700 * 1024);
  ASSERT_GT(SqlTextChunks(body).size(), 1u) << "the body must need concatenating updates";
  ASSERT_TRUE(StoreWhole(1, Header(), body));
  EXPECT_TRUE(Scalar("select body from mail where m_id=1") == body);
  EXPECT_EQ(Scalar("select size from mail where m_id=1"), std::to_string(body.size()));
}

TEST_F(ReceivedStoreTest, DateInAnyOtherFormIsRefusedBeforeAnyStatement) {
  const auto store = NewStore(1);
  EXPECT_THROW(store->StoreReceived(Header("s", "f", "2024-05-06 07:08:09' or '1"), "b"), StoreError);
  ExpectNothingLeft();
}

// ---- Duplicate test ----

struct DuplicateCase {
  std::string name;
  bool leaveOnServer;
  std::string storedSubject;
  std::string storedFrom;
  std::string storedDate;
  long storedSecondsAgo;
  ReceivedHeader incoming;
  bool stored;
  int ageDays;  // when not stored
};

const long kDay = 86400;

const DuplicateCase kDuplicateCases[] = {
    {"SameDateSubjectAndSenderIsADuplicate", true, "Hello", "a@example.jp", "2024-05-06 07:08:09",
     3 * kDay + 5 * 3600, Header(), false, 3},
    {"AgeIsTruncatedNotRounded", true, "Hello", "a@example.jp", "2024-05-06 07:08:09", 2 * kDay - 60, Header(),
     false, 1},
    {"CopyStoredTodayIsZeroDaysOld", true, "Hello", "a@example.jp", "2024-05-06 07:08:09", 60, Header(), false, 0},
    {"DifferentSenderIsStored", true, "Hello", "other@example.jp", "2024-05-06 07:08:09", kDay, Header(), true, 0},
    {"DifferentSecondIsStored", true, "Hello", "a@example.jp", "2024-05-06 07:08:10", kDay, Header(), true, 0},
    {"DifferentSubjectIsStored", true, "Hello!", "a@example.jp", "2024-05-06 07:08:09", kDay, Header(), true, 0},
    {"WithoutLeaveOnServerTheSameMessageIsStoredAgain", false, "Hello", "a@example.jp", "2024-05-06 07:08:09",
     kDay, Header(), true, 0},
    {"EmptySubjectMatchesEmptySubject", true, "", "a@example.jp", "2024-05-06 07:08:09", 4 * kDay, Header(""),
     false, 4},
    {"EmptySubjectDiffersFromAnyOther", true, "Hello", "a@example.jp", "2024-05-06 07:08:09", kDay, Header(""),
     true, 0},
};

class DuplicateTest : public ReceivedStoreTest, public testing::WithParamInterface<DuplicateCase> {};

TEST_P(DuplicateTest, StoresOnlyWhatIsNotStoredYet) {
  const DuplicateCase& c = GetParam();
  db_.Execute("insert into mail (m_id,d_id,mailfrom,date,subject,regdate) values (1,1," + SqlText(c.storedFrom) +
              ",'" + c.storedDate + "'," + SqlText(c.storedSubject) + ",'" + LocalTimeAgo(c.storedSecondsAgo) + "')");
  runState_.LeaveOnServer = c.leaveOnServer;
  runState_.IsNewMessage = true;
  runState_.DuplicateAgeDays = -7;
  EXPECT_EQ(StoreWhole(2, c.incoming, "body", {{"a.txt", "7bit", "x\r\n"}}), c.stored);
  EXPECT_EQ(runState_.IsNewMessage, c.stored);
  EXPECT_EQ(runState_.DuplicateAgeDays, c.stored ? -7 : c.ageDays);
  EXPECT_EQ(Count("mail"), c.stored ? 2 : 1);
  EXPECT_EQ(Count("attachment"), c.stored ? 1 : 0);
  EXPECT_EQ(log_.str().empty(), !c.stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, DuplicateTest, testing::ValuesIn(kDuplicateCases), CaseName<DuplicateCase>);

// ---- Attachments ----

TEST_F(ReceivedStoreTest, TwoAttachmentsGetTheNextRowfilesAndAddToTheSize) {
  db_.Execute("insert into attachment (m_id,filename,encode,rowfile) values (99,'old','',6),(98,'old','',4)");
  const std::string pdf = "JVBERi0xLjQKJcfsj6IKNSAwIG9iago8PC9MZW5ndGggNiAwIFI+PgpzdHJlYW0K";
  const std::string text = "line one\r\nline two\r\n";
  ASSERT_TRUE(StoreWhole(3, Header(), "body text", {{"a.pdf", "base64", pdf}, {"b.txt", "", text}}));
  const ResultSet rows = db_.Query("select filename,encode,rowfile from attachment where m_id=3 order by a_id");
  ASSERT_EQ(rows.RowCount(), 2);
  EXPECT_EQ(rows.Text(0, "filename"), "a.pdf");
  EXPECT_EQ(rows.Text(0, "encode"), "base64");
  EXPECT_EQ(rows.Text(0, "rowfile"), "7");
  EXPECT_EQ(rows.Text(1, "filename"), "b.txt");
  EXPECT_EQ(rows.Text(1, "encode"), "");
  EXPECT_EQ(rows.Text(1, "rowfile"), "8");
  EXPECT_EQ(ReadFile(tenpDir_ + "/7"), pdf);
  EXPECT_EQ(ReadFile(tenpDir_ + "/8"), text);
  EXPECT_EQ(Scalar("select flag from mail where m_id=3"), "1");
  EXPECT_EQ(Scalar("select size from mail where m_id=3"), std::to_string(9 + pdf.size() + text.size()));
}

TEST_F(ReceivedStoreTest, FirstAttachmentInAnEmptyTableIsRowfileOne) {
  ASSERT_TRUE(StoreWhole(1, Header(), "b", {{"a.bin", "base64", "QUJD"}}));
  EXPECT_EQ(Scalar("select rowfile from attachment"), "1");
  EXPECT_EQ(ReadFile(tenpDir_ + "/1"), "QUJD");
}

TEST_F(ReceivedStoreTest, AttachmentFileReplacesAStaleFileOfTheSameNumber) {
  std::ofstream(tenpDir_ + "/1", std::ios::binary) << "stale content that is longer";
  ASSERT_TRUE(StoreWhole(1, Header(), "b", {{"a.bin", "base64", "QUJD"}}));
  EXPECT_EQ(ReadFile(tenpDir_ + "/1"), "QUJD");
}

struct HostileTextCase {
  std::string name;
  std::string encoding;
  std::string filename;
};

const HostileTextCase kHostileTextCases[] = {
    {"QuoteInEncoding", "base64','x',1),(1,'y", "a.txt"},
    {"CommentInEncoding", "7bit'); delete from mail; -- ", "a.txt"},
    {"BackslashAtTheEndOfEncoding", "base64\\", "a.txt"},
    {"QuoteAndBackslashInFilename", "7bit", "it's \\ a file"},
    {"JapaneseFilenameWithBackslashTrailByte", "base64", Hex("95 5C 8E 86 2E 70 64 66")},
};

class HostileTextTest : public ReceivedStoreTest, public testing::WithParamInterface<HostileTextCase> {};

TEST_P(HostileTextTest, IsStoredLiterally) {
  ASSERT_TRUE(StoreWhole(1, Header(), "b", {{GetParam().filename, GetParam().encoding, "c"}}));
  const ResultSet rows = db_.Query("select filename,encode,rowfile from attachment");
  ASSERT_EQ(rows.RowCount(), 1);
  EXPECT_EQ(ToHex(rows.Text(0, "encode")), ToHex(GetParam().encoding));
  EXPECT_EQ(ToHex(rows.Text(0, "filename")), ToHex(GetParam().filename));
  EXPECT_EQ(Count("mail"), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileTextTest, testing::ValuesIn(kHostileTextCases), CaseName<HostileTextCase>);

// ---- Header log ----

TEST_F(ReceivedStoreTest, HeaderLogEntryIsMarkerHeaderAndLineBreak) {
  ReceivedHeader header = Header();
  header.rawHeader = "From: a@example.jp\r\nSubject: =?ISO-2022-JP?B?GyRCJCIbKEI=?=\r\n";
  ASSERT_TRUE(StoreWhole(12, header, "b"));
  EXPECT_EQ(log_.str(), "**12**\r\nFrom: a@example.jp\r\nSubject: =?ISO-2022-JP?B?GyRCJCIbKEI=?=\r\n\r\n");
}

TEST_F(ReceivedStoreTest, EntriesFollowEachOtherInStoringOrder) {
  ASSERT_TRUE(StoreWhole(1, Header("one"), "b"));
  ASSERT_TRUE(StoreWhole(2, Header("two"), "b"));
  const std::string raw = Header().rawHeader;
  EXPECT_EQ(log_.str(), "**1**\r\n" + raw + "\r\n**2**\r\n" + raw + "\r\n");
}

TEST_F(ReceivedStoreTest, EmptyHeaderTextWritesNoEntry) {
  ReceivedHeader header = Header();
  header.rawHeader.clear();
  ASSERT_TRUE(StoreWhole(1, header, "b"));
  EXPECT_EQ(log_.str(), "");
  EXPECT_EQ(Count("mail"), 1);
}

TEST_F(ReceivedStoreTest, HeaderLogThatCannotBeWrittenFailsTheStore) {
  log_.setstate(std::ios::badbit);
  const auto store = NewStore(1);
  ASSERT_TRUE(store->StoreReceived(Header(), "b"));
  store->StoreAttachment("a", "", "c");
  EXPECT_THROW(store->Commit(), StoreError);
  log_.clear();
  ExpectNothingLeft();
}

TEST_F(ReceivedStoreTest, ProgressGoesToItsSeam) {
  const auto store = NewStore(1);
  store->Progress(10);
  store->Progress(55);
  EXPECT_EQ(progress_, (std::vector<int>{10, 55}));
}

// ---- Sorting rules ----

struct RuleCase {
  std::string name;
  std::string settings;
  int folder;
  Popups popups;
};

// The message has subject "apple pie", body "b", so size 1.
const RuleCase kRuleCases[] = {
    {"NoRulesLeaveTheMessageInFolderOne", "TempDir=/x\r\n", 1, {}},
    {"MoveRuleMovesAMatchingMessage", "Div0=subject like '%apple%' >> 5\r\n", 5, {}},
    {"MoveRuleLeavesOtherMessages", "Div0=subject like '%banana%' >> 5\r\n", 1, {}},
    {"FirstMoveWins", "Div0=subject like '%apple%' >> 6\r\nDiv1=subject like '%pie%' >> 7\r\n", 6, {}},
    {"FileOrderNotKeyNumberDecides", "Div1=subject like '%pie%' >> 7\r\nDiv0=subject like '%apple%' >> 6\r\n", 7,
     {}},
    {"RuleThatChangesNothingDoesNotStop", "Div0=subject='x' >> 6\r\nDiv1=subject like '%pie%' >> 7\r\n", 7, {}},
    {"RuleForFolderOneDoesNotStopTheScan", "Div0=subject like '%apple%' >> 1\r\nDiv1=subject like '%pie%' >> 7\r\n", 7,
     {}},
    {"EmptyConditionMovesEveryMessage", "Div0= >> 9\r\n", 9, {}},
    {"ConditionSeesTheRowAsJustInserted", "Div0=d_id=1 and s_id=1 and flag=0 and size=1 and body='b' >> 8\r\n", 8,
     {}},
    {"ConditionIsTrimmed", "Div0=   subject like '%apple%'    >> 5\r\n", 5, {}},
    {"LineWithoutArrowsIsIgnored", "Div0=subject like '%apple%' > 5\r\nDiv1= >> 6\r\n", 6, {}},
    {"LowerCaseDivIsNoRule", "div0= >> 5\r\n", 1, {}},
    {"PopupRuleWithEmptyConditionAnnouncesEveryMessage", "Div0= >> pop\r\n", 1, {{4, "apple pie"}}},
    {"PopupRuleWithConditionThatFails", "Div0=subject like '%banana%' >> pop\r\n", 1, {}},
    {"AnyTargetContainingPopIsPopup", "Div0=subject like '%apple%' >> popup window\r\n", 1, {{4, "apple pie"}}},
    {"PopupsBeforeTheWinningMoveOnly", "Div0= >> pop\r\nDiv1= >> 6\r\nDiv2= >> pop\r\n", 6, {{4, "apple pie"}}},
    {"PopupThenMoveBothApply", "Div0=subject like '%pie%' >> pop\r\nDiv1=subject like '%apple%' >> 3\r\n", 3,
     {{4, "apple pie"}}},
};

class RuleTest : public ReceivedStoreTest, public testing::WithParamInterface<RuleCase> {};

TEST_P(RuleTest, SortsTheStoredMessage) {
  settings_ = SettingsOf(GetParam().settings);
  ASSERT_TRUE(StoreWhole(4, Header("apple pie"), "b"));
  EXPECT_EQ(Scalar("select d_id from mail where m_id=4"), std::to_string(GetParam().folder));
  EXPECT_EQ(popups_, GetParam().popups);
}

INSTANTIATE_TEST_SUITE_P(Cases, RuleTest, testing::ValuesIn(kRuleCases), CaseName<RuleCase>);

TEST_F(ReceivedStoreTest, PopupWaitsForTheCommit) {
  settings_ = SettingsOf("Div0= >> pop\r\n");
  const auto store = NewStore(1);
  ASSERT_TRUE(store->StoreReceived(Header(), "b"));
  EXPECT_TRUE(popups_.empty());
  store->Commit();
  EXPECT_EQ(popups_, (Popups{{1, "Hello"}}));
}

TEST_F(ReceivedStoreTest, RulesAreReadAtEachStore) {
  settings_ = SettingsOf("Div0= >> 5\r\n");
  ASSERT_TRUE(StoreWhole(1, Header(), "b"));
  settings_ = SettingsOf("Div0= >> 6\r\n");
  ASSERT_TRUE(StoreWhole(2, Header(), "b"));
  EXPECT_EQ(Scalar("select group_concat(d_id order by m_id) from mail"), "5,6");
}

// ---- A store that fails stores nothing ----

struct FailingRuleCase {
  std::string name;
  std::string settings;
};

const FailingRuleCase kFailingRuleCases[] = {
    {"TargetRightAfterArrows", "Div0=subject like '%apple%' >>5\r\n"},
    {"TargetThatIsNoNumber", "Div0= >> five\r\n"},
    {"EmptyTarget", "Div0= >>\r\n"},
    {"TargetIsAllAfterTheFirstArrows", "Div0= >> 5 >> 6\r\n"},
    {"SqlErrorInCondition", "Div0=no_such_column=1 >> 5\r\n"},
    {"SqlErrorInPopupCondition", "Div0=subject like >> pop\r\n"},
    {"BadRuleAfterAMatchingPopup", "Div0= >> pop\r\nDiv1=subject lik 'x' >> 5\r\n"},
};

class FailingRuleTest : public ReceivedStoreTest, public testing::WithParamInterface<FailingRuleCase> {};

TEST_P(FailingRuleTest, LeavesNothingBehind) {
  settings_ = SettingsOf(GetParam().settings);
  const auto store = NewStore(1);
  EXPECT_ANY_THROW(store->StoreReceived(Header("apple"), "b"));
  ExpectNothingLeft();
  EXPECT_EQ(NextMessageId(db_), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, FailingRuleTest, testing::ValuesIn(kFailingRuleCases), CaseName<FailingRuleCase>);

TEST_F(ReceivedStoreTest, TargetRightAfterArrowsIsARuleError) {
  settings_ = SettingsOf("Div0=subject like '%apple%' >>5\r\n");
  const auto store = NewStore(1);
  EXPECT_THROW(store->StoreReceived(Header("apple"), "b"), SortingRuleError);
}

TEST_F(ReceivedStoreTest, MissingAttachmentDirectoryFailsTheStoreAndLeavesNothing) {
  std::filesystem::remove(tenpDir_);
  const auto store = NewStore(1);
  ASSERT_TRUE(store->StoreReceived(Header(), "b"));
  EXPECT_THROW(store->StoreAttachment("a.pdf", "base64", "QUJD"), StoreError);
  ExpectNothingLeft();
}

TEST_F(ReceivedStoreTest, SecondAttachmentThatCannotBeWrittenRemovesTheFirstToo) {
  // A directory where the second file would go.
  std::filesystem::create_directory(tenpDir_ + "/2");
  const auto store = NewStore(1);
  ASSERT_TRUE(store->StoreReceived(Header(), "b"));
  store->StoreAttachment("a.txt", "", "first");
  EXPECT_TRUE(std::filesystem::exists(tenpDir_ + "/1"));
  EXPECT_THROW(store->StoreAttachment("b.txt", "", "second"), StoreError);
  std::filesystem::remove(tenpDir_ + "/2");
  ExpectNothingLeft();
}

TEST_F(ReceivedStoreTest, StoreNotCommittedLeavesNothing) {
  settings_ = SettingsOf("Div0= >> pop\r\n");
  {
    const auto store = NewStore(1);
    ASSERT_TRUE(store->StoreReceived(Header(), "b"));
    store->StoreAttachment("a.txt", "", "first");
  }
  ExpectNothingLeft();
}

TEST_F(ReceivedStoreTest, RollbackLeavesNothingAndTheConnectionWorksOn) {
  const auto store = NewStore(1);
  ASSERT_TRUE(store->StoreReceived(Header(), "b"));
  store->StoreAttachment("a.txt", "", "first");
  store->Rollback();
  store->Rollback();
  ExpectNothingLeft();
  ASSERT_TRUE(StoreWhole(1, Header(), "b", {{"a.txt", "", "again"}}));
  EXPECT_EQ(Count("mail"), 1);
  EXPECT_EQ(ReadFile(tenpDir_ + "/1"), "again");
}

TEST_F(ReceivedStoreTest, MessageIsInvisibleToOtherConnectionsUntilCommitted) {
  const auto store = NewStore(1);
  ASSERT_TRUE(store->StoreReceived(Header(), "b"));
  const std::string count = "select count(*) from " + name_ + ".mail";
  EXPECT_EQ(admin_.Query(count).Text(0, 0), "0");
  store->Commit();
  EXPECT_EQ(admin_.Query(count).Text(0, 0), "1");
}

TEST_F(ReceivedStoreTest, LostConnectionLeavesNothing) {
  const std::string connectionId = Scalar("select connection_id()");
  const auto store = NewStore(1);
  ASSERT_TRUE(store->StoreReceived(Header(), "b"));
  store->StoreAttachment("a.txt", "", "first");
  admin_.Execute("kill " + connectionId);
  EXPECT_THROW(store->StoreAttachment("b.txt", "", "second"), DatabaseError);
  db_.Open(parameters_);
  ExpectNothingLeft();
}

// ---- Delete filters ----

struct DeleteFilterCase {
  std::string name;
  std::string settings;
  std::string subject;
  bool matches;
};

const DeleteFilterCase kDeleteFilterCases[] = {
    {"NoFiltersMatchNothing", "TempDir=/x\r\n", "anything", false},
    {"FirstFilterInTheSubject", "DelFilter1=offer\r\n", "great offer today", true},
    {"FilterNotInTheSubject", "DelFilter1=offer\r\n", "meeting", false},
    {"SecondFilterMatches", "DelFilter1=offer\r\nDelFilter2=meeting\r\n", "meeting at 3", true},
    {"SecondWithoutFirstIsNeverUsed", "DelFilter2=meeting\r\n", "meeting at 3", false},
    {"EmptyFirstEndsTheList", "DelFilter1=\r\nDelFilter2=meeting\r\n", "meeting at 3", false},
    {"ThirdAfterAGapIsNeverUsed", "DelFilter1=offer\r\nDelFilter3=meeting\r\n", "meeting at 3", false},
    {"LetterCaseCounts", "DelFilter1=Offer\r\n", "great offer", false},
    {"KeyCaseDoesNotCount", "delfilter1=offer\r\n", "great offer", true},
    // "未承諾広告"
    {"JapaneseFilter", "DelFilter1=" + Hex("96 A2 8F B3 91 F8") + "\r\n",
     Hex("81 69 96 A2 8F B3 91 F8 8D 4C 8D 90 81 6A"), true},
    // "パ" is 83 70: its second byte is no "p".
    {"SecondByteOfACharacterIsNoMatch", "DelFilter1=p\r\n", Hex("83 70 83 70"), false},
    {"LetterAfterADoubleByteCharacterMatches", "DelFilter1=p\r\n", Hex("83 70 70"), true},
    {"EmptySubject", "DelFilter1=offer\r\n", "", false},
};

class DeleteFilterTest : public testing::TestWithParam<DeleteFilterCase> {};

TEST_P(DeleteFilterTest, MatchesTheSubject) {
  EXPECT_EQ(MatchesDeleteFilter(SettingsOf(GetParam().settings), GetParam().subject), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Cases, DeleteFilterTest, testing::ValuesIn(kDeleteFilterCases), CaseName<DeleteFilterCase>);

TEST(DeleteFilteredEntryTest, IsABlackStarBeforeTheSubject) {
  EXPECT_EQ(ToHex(DeleteFilteredEntry("spam")), ToHex(Hex("81 9A") + "spam"));
}

}  // namespace
}  // namespace rirevar
