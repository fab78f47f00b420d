// The receive engine end to end: the test run's Dovecot and MariaDB, and scripted servers for the
// faults a real server will not produce on demand.
#include "receive/receive_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "receive/error_log.h"
#include "scripted_pop3_server.h"
#include "store_fixture.h"
#include "test_mailbox.h"
#include "test_support.h"
#include "text/sjis_unicode.h"

namespace rirevar {
namespace {

using namespace std::chrono_literals;
using test::ReadFile;
using test::ScriptedServer;
using test::SilentServer;
using test::TestMailbox;

std::string Sjis(const char* utf8) { return Utf8ToSjisTyped(utf8); }

// What the windows would have shown.
class RecordingView : public ReceiveView {
 public:
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  bool NewMailListEmpty() const override { return lines.empty(); }
  void AddNewMail(int id, const std::string& text) override {
    lines.emplace_back(id, text);
    if (onNewMail) onNewMail();
  }
  void ClearPopupIfHidden() override { ++popupClears; }
  void AddPopup(int id, const std::string& subject) override { popups.emplace_back(id, subject); }
  void RefreshMailList() override { ++refreshes; }

  std::vector<std::string> statuses;
  std::vector<std::pair<int, std::string>> lines;
  std::vector<std::pair<int, std::string>> popups;
  int popupClears = 0;
  int refreshes = 0;
  std::function<void()> onNewMail;
};

std::vector<std::string> Message(const std::string& subject, const std::string& body = "body",
                                 const std::string& date = "Thu, 10 Dec 2026 10:00:00 +0900") {
  return {"From: sender@example.jp", "To: user@example.jp", "Subject: " + subject, "Date: " + date,
          "Content-Type: text/plain; charset=us-ascii", "", body};
}

// A message whose raw text (its lines joined with CR LF) is exactly `length` bytes.
std::vector<std::string> MessageOfLength(const std::string& subject, std::uint64_t length) {
  std::vector<std::string> lines = Message(subject, "");
  lines.back() = std::string(length - RawTextLength(lines), 'x');
  return lines;
}

class ReceiveEngineTest : public test::ReceivedStoreTest {
 protected:
  void SetUp() override {
    test::ReceivedStoreTest::SetUp();
    char pattern[] = "/tmp/rirevar_temp_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    tempDir_ = pattern;
    settings_.SetValue("MaxMailSize", "2048");
  }

  void TearDown() override {
    test::ReceivedStoreTest::TearDown();
    std::filesystem::remove_all(tempDir_);
  }

  // An account line as the POP3 dialog writes it.
  void AddAccount(const std::string& name, const std::string& host, int port, const std::string& user,
                  const std::string& password, const std::string& apop = "0", const std::string& leave = "0",
                  const std::string& days = "") {
    settings_.Lines().push_back("Pop" + std::to_string(accounts_++) + "=" + name + "|" + host + "|" + user + "|" +
                                ScramblePassword(password, PasswordStart(name)) + "|" + std::to_string(port) +
                                "|" + apop + "|" + leave + "|" + days);
  }
  void AddAccount(const std::string& name, const TestMailbox& mailbox, const std::string& leave = "0",
                  const std::string& days = "") {
    AddAccount(name, mailbox.Host(), mailbox.Port(), mailbox.User(), TestMailbox::kPassword, "0", leave, days);
  }

  std::string Run(int selector = 255, Pop3Options options = {}) {
    ReceiveEngine engine(settings_, &db_, {tempDir_ + "/header.log", tempDir_ + "/error.log", tenpDir_}, view_,
                         options);
    return engine.Run(selector);
  }

  std::vector<std::string> ErrorLogLines() {
    std::vector<std::string> lines;
    const std::string text = ReadFile(tempDir_ + "/error.log");
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

  std::vector<std::string> StoredSubjects() {
    std::vector<std::string> subjects;
    const ResultSet rows = db_.Query("select subject from mail order by m_id");
    for (int row = 0; row < rows.RowCount(); ++row) subjects.push_back(rows.Text(row, 0));
    return subjects;
  }

  std::string tempDir_;
  RecordingView view_;
  int accounts_ = 0;
};

TEST_F(ReceiveEngineTest, SummaryOfAFineAnOversizedAndAFailingAccount) {
  TestMailbox a, b, c;
  a.Put(Message("one"));
  a.Put(Message("two"));
  b.Put(MessageOfLength("big one", 3000));
  b.Put(MessageOfLength("big two", 3000));
  settings_.SetValue("MaxMailSize", "2");
  AddAccount("a", a);
  AddAccount("b", b);
  AddAccount("c", c.Host(), c.Port(), c.User(), "wrong password");

  EXPECT_EQ(Run(), Sjis("a:Ok/b:ｴﾗｰ2通/c:接続ｴﾗｰ"));
  EXPECT_EQ(StoredSubjects(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(view_.lines, (std::vector<std::pair<int, std::string>>{{1, "one"}, {2, "two"}}));
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 2) << "oversized mail stays on the server";
  EXPECT_EQ(view_.statuses.front(), Sjis("接続") + a.Host());
  EXPECT_NE(std::find(view_.statuses.begin(), view_.statuses.end(), "a:2/2"), view_.statuses.end());
  EXPECT_EQ(view_.statuses.back(), Sjis("a:Ok/b:ｴﾗｰ2通/c:接続ｴﾗｰ"));
  EXPECT_EQ(view_.popupClears, 3);
  EXPECT_EQ(view_.refreshes, 3);

  // One line per failure, saying which and why, never the message itself.
  const auto log = ErrorLogLines();
  ASSERT_EQ(log.size(), 3u) << ReadFile(tempDir_ + "/error.log");
  EXPECT_NE(log[0].find("b: Error Recv: message 1/2 has 3000 bytes"), std::string::npos) << log[0];
  EXPECT_NE(log[1].find("b: Error Recv: message 2/2"), std::string::npos) << log[1];
  EXPECT_NE(log[2].find("c: Error Connect: -ERR"), std::string::npos) << log[2];
  EXPECT_EQ(ReadFile(tempDir_ + "/error.log").find("xxxx"), std::string::npos);
}

TEST_F(ReceiveEngineTest, OneAccountByPositionAndApop) {
  TestMailbox first, second;
  first.Put(Message("not this one"));
  second.Put(Message("=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?="));
  AddAccount("first", first);
  AddAccount(Sjis("二番"), second.Host(), second.Port(), second.User(), TestMailbox::kPassword, "1");

  EXPECT_EQ(Run(1), Sjis("二番:Ok"));
  EXPECT_EQ(StoredSubjects(), std::vector<std::string>{Sjis("日本語")});
  EXPECT_EQ(first.Count(), 1);
  EXPECT_EQ(second.Count(), 0);
}

TEST_F(ReceiveEngineTest, AccountOnTheTlsPortIsReceivedOverTls) {
  TestMailbox box;
  box.Put(Message("private"));
  AddAccount("a", "localhost", TestMailbox::TlsPort(), box.User(), TestMailbox::kPassword);
  Pop3Options options;
  options.TlsPort = TestMailbox::TlsPort();
  options.CaFile = TestMailbox::CaFile();
  EXPECT_EQ(Run(255, options), "a:Ok");
  EXPECT_EQ(StoredSubjects(), std::vector<std::string>{"private"});
  EXPECT_EQ(box.Count(), 0);

  box.Put(Message("not for a stranger"));
  options.CaFile.clear();  // the system's authorities do not know the server's
  EXPECT_EQ(Run(255, options), Sjis("a:接続ｴﾗｰ"));
  EXPECT_EQ(box.Count(), 1);
}

TEST_F(ReceiveEngineTest, AtMostFiveHundredMessagesARun) {
  TestMailbox box;
  for (int n = 1; n <= 501; ++n) box.Put(Message("m" + std::to_string(n)));
  AddAccount("a", box);

  EXPECT_EQ(Run(), "a:Ok");
  EXPECT_EQ(Count("mail"), 500);
  EXPECT_EQ(Scalar("select subject from mail where m_id=500"), "m500");
  ASSERT_EQ(box.Count(), 1);
  EXPECT_NE(box.Messages()[0].find("Subject: m501\n"), std::string::npos);
  EXPECT_EQ(view_.statuses[1], "a:1/500");

  EXPECT_EQ(Run(), "a:Ok");
  EXPECT_EQ(Scalar("select subject from mail where m_id=501"), "m501");
  EXPECT_EQ(box.Count(), 0);
}

TEST_F(ReceiveEngineTest, SizeLimitIsInclusive) {
  TestMailbox box;
  box.Put(MessageOfLength("exactly 1024", 1024));
  box.Put(MessageOfLength("1025", 1025));
  settings_.SetValue("MaxMailSize", "1");
  AddAccount("a", box);

  EXPECT_EQ(Run(), Sjis("a:ｴﾗｰ1通"));
  EXPECT_EQ(StoredSubjects(), std::vector<std::string>{"exactly 1024"});
  ASSERT_EQ(box.Count(), 1);
  EXPECT_NE(box.Messages()[0].find("Subject: 1025\n"), std::string::npos);
  // Fetched and counted again by the next run.
  EXPECT_EQ(Run(), Sjis("a:ｴﾗｰ1通"));
  EXPECT_EQ(box.Count(), 1);
}

TEST_F(ReceiveEngineTest, LeftOnTheServerUntilTheStoredCopyIsOlderThanTheDayLimit) {
  TestMailbox kept, forever;
  kept.Put(Message("kept"));
  forever.Put(Message("forever"));
  AddAccount("kept", kept, "1", "7");
  AddAccount("forever", forever, "1", "");

  EXPECT_EQ(Run(), "kept:Ok/forever:Ok");
  EXPECT_EQ(Count("mail"), 2);
  EXPECT_EQ(kept.Count(), 1);
  EXPECT_EQ(forever.Count(), 1);
  const auto listed = view_.lines;  // each account's lines apart: kept, separator, forever
  ASSERT_EQ(listed.size(), 3u);

  db_.Execute("update mail set regdate=now() - interval 7 day");
  EXPECT_EQ(Run(), "kept:Ok/forever:Ok");
  EXPECT_EQ(Count("mail"), 2) << "not stored twice";
  EXPECT_EQ(view_.lines, listed) << "not listed again";
  EXPECT_EQ(kept.Count(), 1) << "seven whole days are not more than seven";

  db_.Execute("update mail set regdate=now() - interval 8 day");
  EXPECT_EQ(Run(), "kept:Ok/forever:Ok");
  EXPECT_EQ(Count("mail"), 2);
  EXPECT_EQ(view_.lines, listed);
  EXPECT_EQ(kept.Count(), 0);
  EXPECT_EQ(forever.Count(), 1) << "without a day limit a copy stays for good";
}

TEST_F(ReceiveEngineTest, DeleteFilterRemovesUnstoredAndListsWithAStar) {
  TestMailbox box;
  box.Put(Message("cheap pills"));
  box.Put(Message("dinner"));
  box.Put(Message("lottery win"));
  settings_.SetValue("DelFilter1", "pills");
  settings_.SetValue("DelFilter3", "lottery");  // after the gap at 2: never looked at
  AddAccount("a", box);

  EXPECT_EQ(Run(), "a:Ok");
  EXPECT_EQ(StoredSubjects(), (std::vector<std::string>{"dinner", "lottery win"}));
  EXPECT_EQ(view_.lines, (std::vector<std::pair<int, std::string>>{
                             {-1, Sjis("★cheap pills")}, {1, "dinner"}, {2, "lottery win"}}));
  EXPECT_EQ(box.Count(), 0);
}

TEST_F(ReceiveEngineTest, SecondRunsLinesComeAfterASeparator) {
  TestMailbox box;
  AddAccount("a", box);
  settings_.SetValue("MaxMailSize", "2");
  box.Put(Message("first"));
  Run();
  Run();  // nothing on the server: no separator
  box.Put(MessageOfLength("too large", 3000));
  Run();  // nothing new to list: no separator either
  box.Put(Message("second"));
  box.Put(Message("third"));
  Run();
  EXPECT_EQ(view_.lines,
            (std::vector<std::pair<int, std::string>>{{1, "first"}, {-1, ""}, {2, "second"}, {3, "third"}}));
}

TEST_F(ReceiveEngineTest, PopupRulesAnnounceAndLongMessagesKeepTheConnectionAlive) {
  TestMailbox box;
  std::vector<std::string> lines = Message("long", "");
  lines[4] = "Content-Type: multipart/mixed; boundary=\"b\"";
  lines.pop_back();
  lines.insert(lines.end(), {"--b", "Content-Type: text/plain", ""});
  for (int n = 0; n < 1500; ++n) lines.push_back("line " + std::to_string(n));
  lines.push_back("--b--");
  box.Put(lines);
  settings_.Lines().push_back("Div0=subject='long' >> pop");
  AddAccount("a", box);

  EXPECT_EQ(Run(), "a:Ok");
  EXPECT_EQ(view_.popups, (std::vector<std::pair<int, std::string>>{{1, "long"}}));
  EXPECT_NE(std::find(view_.statuses.begin(), view_.statuses.end(), "a:1/1:33%"), view_.statuses.end());
  EXPECT_NE(std::find(view_.statuses.begin(), view_.statuses.end(), "a:1/1:67%"), view_.statuses.end());
  EXPECT_EQ(box.Count(), 0);
}

TEST_F(ReceiveEngineTest, AMessageThatCannotBeStoredIsCountedAndLeftOnTheServer) {
  TestMailbox box;
  box.Put({"Subject: with attachment", "Date: Thu, 10 Dec 2026 10:00:00 +0900",
           "Content-Type: multipart/mixed; boundary=\"b\"", "", "--b", "Content-Type: text/plain", "", "text",
           "--b", "Content-Type: application/octet-stream; name=\"a.bin\"", "Content-Transfer-Encoding: base64",
           "", "AAEC", "--b--"});
  box.Put(Message("fine"));
  tenpDir_ += "/missing";  // the attachment file cannot be written
  AddAccount("a", box);

  EXPECT_EQ(Run(), Sjis("a:ｴﾗｰ1通"));
  EXPECT_EQ(StoredSubjects(), std::vector<std::string>{"fine"});
  ASSERT_EQ(box.Count(), 1);
  EXPECT_NE(box.Messages()[0].find("with attachment"), std::string::npos);
  const auto log = ErrorLogLines();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("a: Error Recv: message 1/2 (Subject: with attachment, Date: 2026-12-10 "),
            std::string::npos)
      << log[0];
  EXPECT_NE(log[0].find("cannot write the attachment file"), std::string::npos) << log[0];
  EXPECT_EQ(log[0].find("AAEC"), std::string::npos);
}

TEST_F(ReceiveEngineTest, DatabaseLostMidRunDeletesOnlyWhatWasStored) {
  TestMailbox box;
  for (const char* subject : {"one", "two", "three"}) box.Put(Message(subject));
  AddAccount("a", box);
  const std::string engineConnection = Scalar("select connection_id()");
  view_.onNewMail = [&] { admin_.Execute("kill connection " + engineConnection); };

  EXPECT_EQ(Run(), Sjis("a:接続ｴﾗｰ"));
  Connection check;
  check.Open(parameters_);
  EXPECT_EQ(check.Query("select subject from mail").Text(0, 0), "one");
  EXPECT_EQ(check.Query("select count(*) from mail").Text(0, 0), "1");
  EXPECT_EQ(box.Count(), 2);
  for (const std::string& text : box.Messages()) EXPECT_EQ(text.find("Subject: one\n"), std::string::npos);
}

TEST_F(ReceiveEngineTest, ConnectionDroppedInsideAMessageDeletesNothing) {
  const std::string first = "+OK\r\nSubject: whole\r\nDate: Thu, 10 Dec 2026 10:00:00 +0900\r\n\r\nbody\r\n.\r\n";
  ScriptedServer server({"+OK\r\n", "+OK\r\n", "+OK 2 100\r\n", first, "+OK\r\n",
                         "+OK\r\nSubject: cut\r\n\r\nhalf a li"});
  AddAccount("a", "127.0.0.1", server.Port(), "user", "password");

  EXPECT_EQ(Run(), Sjis("a:接続ｴﾗｰ"));
  EXPECT_EQ(server.Commands(),
            (std::vector<std::string>{"USER user", "PASS password", "STAT", "RETR 1", "DELE 1", "RETR 2"}))
      << "no QUIT, so the server carries out no deletion";
  EXPECT_EQ(StoredSubjects(), std::vector<std::string>{"whole"}) << "stored rows stay";
  EXPECT_EQ(view_.lines.size(), 1u);
}

TEST_F(ReceiveEngineTest, ServerThatNeverAnswersEndsWithinTheTimeOut) {
  SilentServer server;
  AddAccount("a", "127.0.0.1", server.Port(), "user", "password");
  Pop3Options options;
  options.ConnectTimeout = 1s;
  options.ReadTimeout = 1s;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run(255, options), Sjis("a:接続ｴﾗｰ"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(ReceiveEngineTest, MissingTempDirSkipsTheAccountAndSaysSo) {
  TestMailbox box;
  box.Put(Message("waits"));
  AddAccount("a", box);
  std::filesystem::remove_all(tempDir_);

  EXPECT_EQ(Run(), Sjis("a:設定ｴﾗｰ(TempDir)"));
  EXPECT_EQ(Count("mail"), 0);
  EXPECT_EQ(box.Count(), 1);
}

struct BadSettingCase {
  std::string name;
  std::string port;
  std::string days;
  std::string maxMailSize;
};

void PrintTo(const BadSettingCase& c, std::ostream* os) { *os << c.name; }

class ReceiveBadSettingTest : public ReceiveEngineTest, public testing::WithParamInterface<BadSettingCase> {};

TEST_P(ReceiveBadSettingTest, AccountIsSkippedWithASettingError) {
  TestMailbox box, good;
  box.Put(Message("waits"));
  good.Put(Message("arrives"));
  const BadSettingCase& c = GetParam();
  settings_.SetValue("MaxMailSize", c.maxMailSize);
  const std::string port = c.port == "PORT" ? std::to_string(box.Port()) : c.port;
  settings_.Lines().push_back("Pop0=bad|" + box.Host() + "|" + box.User() + "|" +
                              ScramblePassword(TestMailbox::kPassword, PasswordStart("bad")) + "|" + port +
                              "|0|0|" + c.days);
  accounts_ = 1;
  AddAccount("good", good);

  const std::string expected = c.maxMailSize == "2048" ? "bad:" + Sjis("設定ｴﾗｰ") + "/good:Ok"
                                                       : "bad:" + Sjis("設定ｴﾗｰ") + "/good:" + Sjis("設定ｴﾗｰ");
  EXPECT_EQ(Run(), expected);
  EXPECT_EQ(box.Count(), 1);
  ASSERT_EQ(ErrorLogLines().size(), c.maxMailSize == "2048" ? 1u : 2u);
  EXPECT_NE(ErrorLogLines()[0].find("nothing received"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ReceiveBadSettingTest,
    testing::Values(BadSettingCase{"PortNotANumber", "pop", "", "2048"},
                    BadSettingCase{"PortEmpty", "", "", "2048"},
                    BadSettingCase{"PortOutOfRange", "70000", "", "2048"},
                    BadSettingCase{"DaysNotANumber", "PORT", "seven", "2048"},
                    BadSettingCase{"MaxMailSizeMissing", "PORT", "", ""},
                    BadSettingCase{"MaxMailSizeNotANumber", "PORT", "", "2MB"}),
    test::CaseName<BadSettingCase>);

TEST_F(ReceiveEngineTest, NothingWithoutADatabase) {
  TestMailbox box;
  box.Put(Message("waits"));
  AddAccount("a", box);
  ReceiveEngine engine(settings_, nullptr, {tempDir_ + "/header.log", tempDir_ + "/error.log", tenpDir_}, view_);
  EXPECT_EQ(engine.Run(255), "");
  EXPECT_EQ(box.Count(), 1);
  EXPECT_EQ(view_.statuses, std::vector<std::string>{""});
}

TEST(ErrorLogTest, OneLinePerEntryWithLineBreaksFlattened) {
  char pattern[] = "/tmp/rirevar_log_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string path = std::string(pattern) + "/error.log";
  EXPECT_TRUE(WriteErrorLog(path, "home", "first\r\nsecond"));
  EXPECT_TRUE(WriteErrorLog(path, "work", "third"));
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.size(), 2 * std::string("yyyy-mm-dd hh:nn:ss ").size() + std::string("home: first  second\r\n").size() +
                             std::string("work: third\r\n").size());
  EXPECT_NE(text.find(" home: first  second\r\n"), std::string::npos);
  EXPECT_FALSE(WriteErrorLog(std::string(pattern) + "/missing/error.log", "home", "lost"));
  std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace rirevar
