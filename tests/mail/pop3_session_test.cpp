#include "receive/pop3_session.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "scripted_pop3_server.h"
#include "test_support.h"
#include "test_mailbox.h"

namespace rirevar {
namespace {

using namespace std::chrono_literals;
using test::CaseName;
using test::ScriptedServer;
using test::SilentServer;

struct Md5Case {
  std::string name;
  std::string input;
  std::string digest;
};

void PrintTo(const Md5Case& c, std::ostream* os) { *os << c.name; }

class Md5Test : public testing::TestWithParam<Md5Case> {};

TEST_P(Md5Test, GivesTheDigest) { EXPECT_EQ(Md5Hex(GetParam().input), GetParam().digest); }

INSTANTIATE_TEST_SUITE_P(
    Vectors, Md5Test,
    testing::Values(
        Md5Case{"Rfc1321Empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
        Md5Case{"Rfc1321A", "a", "0cc175b9c0f1b6a831c399e269772661"},
        Md5Case{"Rfc1321Abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
        Md5Case{"Rfc1321MessageDigest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        Md5Case{"Rfc1321Alphabet", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        Md5Case{"Rfc1321AlphaNumeric", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
                "d174ab98d277d9f5a5611c2c9f419d9f"},
        Md5Case{"Rfc1321Digits",
                "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
                "57edf4a22be3c955ac49da2e2107b67a"},
        // Where the length no longer fits the last block and the padding needs a second one.
        Md5Case{"PaddingFitsAt55", std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        Md5Case{"PaddingSpillsAt56", std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        Md5Case{"PaddingSpillsAt63", std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        Md5Case{"ExactBlock", std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        Md5Case{"HighBytes", "\x82\xa0\xff\x80", "d3fd2926ededd8f5a03da42f9c62a416"}),
    CaseName<Md5Case>);

TEST(ApopTest, DigestOfTheRfc1939Example) {
  const auto timestamp = ApopTimestamp("+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>");
  ASSERT_TRUE(timestamp);
  EXPECT_EQ(*timestamp, "<1896.697170952@dbc.mtview.ca.us>");
  EXPECT_EQ(ApopDigest(*timestamp, "tanstaaf"), "c4c9334bac560ecc979e58001b3e22fb");
}

TEST(ApopTest, GreetingWithoutTimestampOffersNoApop) {
  EXPECT_FALSE(ApopTimestamp("+OK POP3 server ready"));
  EXPECT_FALSE(ApopTimestamp("+OK POP3 server ready <unterminated"));
}

// The Dovecot of the test run, with a fresh user and maildir per test.
class Pop3ServerTest : public testing::Test {
 protected:
  void Put(const std::vector<std::string>& lines) { mailbox_.Put(lines); }
  void Open(Pop3Session& session, bool apop = false) {
    session.Connect(host_, port_, user_, kPassword, apop);
  }

  static constexpr const char* kPassword = test::TestMailbox::kPassword;
  test::TestMailbox mailbox_;
  std::string host_ = mailbox_.Host();
  int port_ = mailbox_.Port();
  std::string user_ = mailbox_.User();
};

TEST_F(Pop3ServerTest, UserPassLogsIn) {
  Pop3Session session;
  Open(session);
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.Count(), 0);
  session.Disconnect();
  EXPECT_FALSE(session.Connected());
}

TEST_F(Pop3ServerTest, TlsWithATrustedCertificateLogsInAndRetrieves) {
  Put({"Subject: over TLS", "", "body"});
  Pop3Options options;
  options.TlsPort = test::TestMailbox::TlsPort();
  options.CaFile = test::TestMailbox::CaFile();
  Pop3Session session(options);
  session.Connect("localhost", options.TlsPort, user_, kPassword, false);
  ASSERT_EQ(session.Count(), 1);
  EXPECT_EQ(session.Retrieve(1), (std::vector<std::string>{"Subject: over TLS", "", "body"}));
  session.Disconnect();
}

struct UntrustedCase {
  std::string name;
  std::string host;
  bool withCa;
  std::string reason;
};

void PrintTo(const UntrustedCase& c, std::ostream* os) { *os << c.name; }

class Pop3UntrustedTest : public Pop3ServerTest, public testing::WithParamInterface<UntrustedCase> {};

TEST_P(Pop3UntrustedTest, IsRefusedBeforeThePasswordIsSent) {
  Pop3Options options;
  options.TlsPort = test::TestMailbox::TlsPort();
  if (GetParam().withCa) options.CaFile = test::TestMailbox::CaFile();
  Pop3Session session(options);
  try {
    session.Connect(GetParam().host, options.TlsPort, user_, kPassword, false);
    FAIL() << "connected";
  } catch (const Pop3Error& error) {
    EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
  }
  EXPECT_FALSE(session.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, Pop3UntrustedTest,
    testing::Values(UntrustedCase{"UnknownAuthority", "localhost", false, "SSL certificate problem"},
                    UntrustedCase{"NameNotInTheCertificate", "127.0.0.1", true, "subject name matches"}),
    CaseName<UntrustedCase>);

TEST_F(Pop3ServerTest, ApopLogsIn) {
  Put({"Subject: a", "", "body"});
  Pop3Session session;
  Open(session, true);
  EXPECT_EQ(session.Count(), 1);
  session.Disconnect();
}

TEST_F(Pop3ServerTest, WrongPasswordGivesTheServersText) {
  for (const bool apop : {false, true}) {
    Pop3Session session;
    try {
      session.Connect(host_, port_, user_, "wrong", apop);
      ADD_FAILURE() << "logged in with a wrong password, apop " << apop;
    } catch (const Pop3Error& error) {
      EXPECT_EQ(std::string(error.what()).substr(0, 5), "-ERR ") << error.what();
    }
    EXPECT_FALSE(session.Connected());
  }
}

TEST_F(Pop3ServerTest, PasswordWithLineBreakIsRefusedUnsent) {
  Pop3Session session;
  EXPECT_THROW(session.Connect(host_, port_, user_, std::string(kPassword) + "\r\nDELE 1", false), Pop3Error);
  EXPECT_FALSE(session.Connected());
}

TEST_F(Pop3ServerTest, StatCountsTheMessages) {
  for (int i = 0; i < 3; ++i) Put({"Subject: " + std::to_string(i), "", "body"});
  Pop3Session session;
  Open(session);
  EXPECT_EQ(session.Count(), 3);
  session.Disconnect();
}

struct RetrieveCase {
  std::string name;
  std::vector<std::string> lines;
};

void PrintTo(const RetrieveCase& c, std::ostream* os) { *os << c.name; }

class Pop3RetrieveTest : public Pop3ServerTest, public testing::WithParamInterface<RetrieveCase> {};

TEST_P(Pop3RetrieveTest, GivesTheLinesByteForByte) {
  Put(GetParam().lines);
  Pop3Session session;
  Open(session);
  ASSERT_EQ(session.Count(), 1);
  EXPECT_EQ(session.Retrieve(1), GetParam().lines);
  session.Disconnect();
}

INSTANTIATE_TEST_SUITE_P(
    Messages, Pop3RetrieveTest,
    testing::Values(
        RetrieveCase{"Plain", {"Subject: plain", "From: a@example.jp", "", "Hello.", "", "Bye."}},
        RetrieveCase{"LeadingDotsUnstuffed", {"Subject: dots", "", ".x", "..y", ".", "..", "a.b", "end"}},
        RetrieveCase{"ShiftJisAndEightBitBytes",
                     {"Subject: \x93\xfa\x96\x7b\x8c\xea", "", "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd",
                      "\x80\x81\xfe\xff\xa0\xdf", "\x81\x40\x81\x5c\x83\x5c"}},
        RetrieveCase{"LongLine", {"Subject: long", "", std::string(300000, 'y'), "after"}},
        RetrieveCase{"EmptyBody", {"Subject: empty", ""}}),
    CaseName<RetrieveCase>);

TEST_F(Pop3ServerTest, DeleteThenQuitRemovesTheMessage) {
  Put({"Subject: first", "", "1"});
  Put({"Subject: second", "", "2"});
  {
    Pop3Session session;
    Open(session);
    ASSERT_EQ(session.Retrieve(1)[0], "Subject: first");
    session.Delete(1);
    session.Disconnect();
  }
  Pop3Session session;
  Open(session);
  ASSERT_EQ(session.Count(), 1);
  EXPECT_EQ(session.Retrieve(1)[0], "Subject: second");
  session.Disconnect();
}

TEST_F(Pop3ServerTest, DeleteWithoutQuitKeepsTheMessage) {
  Put({"Subject: first", "", "1"});
  Put({"Subject: second", "", "2"});
  {
    Pop3Session session;
    Open(session);
    session.Delete(1);
    session.Delete(2);
  }
  {
    Pop3Session session;
    Open(session);
    session.Delete(1);
    session.Abort();
  }
  Pop3Session session;
  Open(session);
  EXPECT_EQ(session.Count(), 2);
  session.Disconnect();
}

TEST_F(Pop3ServerTest, NoopKeepsTheSession) {
  Put({"Subject: a", "", "b"});
  Pop3Session session;
  Open(session);
  session.Noop();
  EXPECT_EQ(session.Count(), 1);
  session.Disconnect();
}

TEST_F(Pop3ServerTest, ServerErrorLeavesTheSessionUsable) {
  Put({"Subject: a", "", "b"});
  Pop3Session session;
  Open(session);
  try {
    (void)session.Retrieve(7);
    ADD_FAILURE() << "retrieved a message that does not exist";
  } catch (const Pop3Error& error) {
    EXPECT_EQ(std::string(error.what()).substr(0, 4), "-ERR") << error.what();
  }
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(session.Retrieve(1)[0], "Subject: a");
  session.Disconnect();
}

TEST_F(Pop3ServerTest, MessageBeyondTheLimitEndsTheSession) {
  Put({"Subject: big", "", std::string(5000, 'z')});
  Pop3Options options;
  options.MaxMessageBytes = 4096;
  Pop3Session session(options);
  Open(session);
  EXPECT_THROW((void)session.Retrieve(1), Pop3Error);
  EXPECT_FALSE(session.Connected());
}

TEST_F(Pop3ServerTest, TlsToAPlainServerFailsAtOnce) {
  Pop3Options options;
  options.TlsPort = port_;
  options.ConnectTimeout = 10s;
  options.ReadTimeout = 10s;
  Pop3Session session(options);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(Open(session), Pop3Error);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_FALSE(session.Connected());
}

TEST(Pop3ScriptedTest, ConnectionDroppedInsideAMessageEndsTheSession) {
  ScriptedServer server({"+OK\r\n", "+OK\r\n", "+OK 1 10\r\n", "+OK\r\nSubject: cut\r\n\r\nhalf a li"});
  Pop3Session session;
  session.Connect("127.0.0.1", server.Port(), "user", "password", false);
  EXPECT_EQ(session.Count(), 1);
  EXPECT_THROW((void)session.Retrieve(1), Pop3Error);
  EXPECT_FALSE(session.Connected());
}

TEST(Pop3ScriptedTest, AnswerThatIsNoStatusEndsTheSession) {
  ScriptedServer server({"+OK\r\n", "+OK\r\n", "hello\r\n"});
  Pop3Session session;
  session.Connect("127.0.0.1", server.Port(), "user", "password", false);
  EXPECT_THROW(session.Noop(), Pop3Error);
  EXPECT_FALSE(session.Connected());
}

struct SilenceCase {
  std::string name;
  bool tls;
};

void PrintTo(const SilenceCase& c, std::ostream* os) { *os << c.name; }

class Pop3SilenceTest : public testing::TestWithParam<SilenceCase> {};

TEST_P(Pop3SilenceTest, EndsWithinTheTimeOut) {
  SilentServer server;
  Pop3Options options;
  options.ConnectTimeout = 1s;
  options.ReadTimeout = 1s;
  if (GetParam().tls) options.TlsPort = server.Port();
  Pop3Session session(options);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(session.Connect("127.0.0.1", server.Port(), "user", "password", false), Pop3Error);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 900ms);
  EXPECT_LT(took, 4s);
  EXPECT_FALSE(session.Connected());
}

INSTANTIATE_TEST_SUITE_P(Servers, Pop3SilenceTest,
                         testing::Values(SilenceCase{"SilentGreeting", false}, SilenceCase{"SilentTlsHandshake", true}),
                         CaseName<SilenceCase>);

}  // namespace
}  // namespace rirevar
