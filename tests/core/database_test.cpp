#include "app/database.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/init_script.h"
#include "database_fixture.h"
#include "test_support.h"

namespace rirevar {
namespace {

using test::CaseName;
using test::Hex;
using test::ToHex;

using Row = std::vector<std::optional<std::string>>;

// Bytes that cover every value, in an order that mixes valid and invalid Shift-JIS.
std::string MixedBytes(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

// The text a CHAR(...) literal stands for.
std::string BytesOfLiteral(const std::string& literal) {
  if (literal == "''") return "";
  EXPECT_EQ(literal.substr(0, 5), "CHAR(");
  EXPECT_EQ(literal.back(), ')');
  std::string bytes;
  int value = 0;
  for (std::size_t i = 5; i < literal.size(); ++i) {
    const char c = literal[i];
    if (c == ',' || c == ')') {
      bytes.push_back(static_cast<char>(value));
      value = 0;
    } else {
      value = value * 10 + (c - '0');
    }
  }
  return bytes;
}

// ---- Text literals ----

struct SqlTextCase {
  std::string name;
  std::string text;
  std::string literal;
};

const SqlTextCase kSqlTextCases[] = {
    {"EmptyTextIsTwoQuotes", "", "''"},
    {"LettersAreTheirCodes", "AB", "CHAR(65,66)"},
    {"ByteFFIsItsNumber", Hex("FF"), "CHAR(255)"},
    {"ZeroByteIsItsNumber", Hex("00"), "CHAR(0)"},
    {"QuoteOccursOnlyAsItsNumber", "it's", "CHAR(105,116,39,115)"},
    {"BackslashOccursOnlyAsItsNumber", "\\", "CHAR(92)"},
    {"DoubleByteCharacterIsTwoNumbers", Hex("95 5C"), "CHAR(149,92)"},
};

class SqlTextTest : public testing::TestWithParam<SqlTextCase> {};

TEST_P(SqlTextTest, WritesEveryByteAsItsNumber) {
  EXPECT_EQ(SqlText(GetParam().text), GetParam().literal);
  EXPECT_EQ(SqlTextChunks(GetParam().text), std::vector<std::string>{GetParam().literal});
}

INSTANTIATE_TEST_SUITE_P(Texts, SqlTextTest, testing::ValuesIn(kSqlTextCases), CaseName<SqlTextCase>);

// Each byte 0x01 is "1," in a piece: 400000 of them fill exactly 800000 characters.
TEST(SqlTextChunksTest, PieceOfExactlyTheLimitIsNotCut) {
  const std::string text(400000, '\x01');
  const std::vector<std::string> pieces = SqlTextChunks(text);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0], SqlText(text));
}

TEST(SqlTextChunksTest, ByteThatPassesTheLimitClosesThePieceItIsIn) {
  const std::string text = std::string(400000, '\x01') + Hex("FF");
  const std::vector<std::string> pieces = SqlTextChunks(text);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0], SqlText(text));
}

TEST(SqlTextChunksTest, ByteAfterAClosedPieceStartsTheNext) {
  const std::string text = std::string(400001, '\x01') + Hex("FF");
  const std::vector<std::string> pieces = SqlTextChunks(text);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], SqlText(text.substr(0, 400001)));
  EXPECT_EQ(pieces[1], "CHAR(255)");
}

TEST(SqlTextChunksTest, PiecesTogetherHoldTheTextAndStayNearTheLimit) {
  const std::string text = MixedBytes(3 * 1024 * 1024 + 7);
  const std::vector<std::string> pieces = SqlTextChunks(text);
  ASSERT_GT(pieces.size(), 3u);
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    joined += BytesOfLiteral(pieces[i]);
    // "CHAR(" and ")" around more than 800000 characters, the last "," dropped.
    if (i + 1 < pieces.size()) {
      EXPECT_GE(pieces[i].size(), 800000u + 5);
    }
    EXPECT_LE(pieces[i].size(), 800000u + 4 + 5);
  }
  EXPECT_TRUE(joined == text);
}

// ---- Local edits of a result set ----

ResultSet ThreeRows() {
  return ResultSet({"m_id", "Subject"}, {Row{"1", "a"}, Row{"2", std::nullopt}, Row{"3", "c"}});
}

TEST(ResultSetTest, FieldsByPositionAndByName) {
  const ResultSet rows = ThreeRows();
  EXPECT_EQ(rows.FieldIndex("subject"), 1);
  EXPECT_EQ(rows.FieldIndex("SUBJECT"), 1);
  EXPECT_EQ(rows.FieldIndex("body"), -1);
  EXPECT_EQ(rows.Text(2, "m_id"), "3");
  EXPECT_EQ(rows.Text(0, 1), "a");
  EXPECT_FALSE(rows.Field(1, 1).has_value());
  EXPECT_EQ(rows.Text(1, "subject"), "");
  EXPECT_THROW((void)rows.Text(0, "body"), DatabaseError);
  EXPECT_THROW((void)rows.Field(0, 2), DatabaseError);
  // A query without rows reads as nothing.
  EXPECT_FALSE(rows.Field(3, 0).has_value());
}

TEST(ResultSetTest, LocalEditsShowUntilDiscarded) {
  ResultSet rows = ThreeRows();
  EXPECT_FALSE(rows.HasLocalChanges());
  rows.DeleteRow(1);
  rows.SetField(1, 1, std::string("changed"));
  rows.SetField(0, 1, std::nullopt);
  EXPECT_TRUE(rows.HasLocalChanges());
  ASSERT_EQ(rows.RowCount(), 2);
  EXPECT_EQ(rows.Text(1, "m_id"), "3");
  EXPECT_EQ(rows.Text(1, "subject"), "changed");
  EXPECT_FALSE(rows.Field(0, 1).has_value());
  EXPECT_THROW(rows.DeleteRow(2), DatabaseError);
  EXPECT_THROW(rows.SetField(0, 2, std::string("x")), DatabaseError);

  rows.DiscardChanges();
  EXPECT_FALSE(rows.HasLocalChanges());
  ASSERT_EQ(rows.RowCount(), 3);
  EXPECT_EQ(rows.Text(0, 1), "a");
  EXPECT_EQ(rows.Text(1, "m_id"), "2");
  EXPECT_EQ(rows.Text(2, "subject"), "c");
}

// ---- Against the test server ----

using test::TestServer;

// Each test works in a database of its own, made by the table script as the program runs it.
class DatabaseTest : public test::DatabaseFixture {
 protected:
  std::vector<std::string> Column(const std::string& query) {
    const ResultSet rows = db_.Query(query);
    std::vector<std::string> values;
    for (int row = 0; row < rows.RowCount(); ++row) values.push_back(rows.Text(row, 0));
    return values;
  }

};

TEST_F(DatabaseTest, ScriptCreatesTheFixedFoldersAndStates) {
  const ResultSet dirs = db_.Query("select d_id,p_id,name,filter,allfilter from dir order by d_id");
  ASSERT_EQ(dirs.RowCount(), 5);
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(dirs.Text(row, "d_id"), std::to_string(row));
    EXPECT_EQ(dirs.Text(row, "p_id"), "0");
    EXPECT_EQ(dirs.Text(row, "filter"), "d_id=" + std::to_string(row));
    EXPECT_FALSE(dirs.Text(row, "name").empty());
  }
  EXPECT_EQ(Column("select s_id from state order by s_id"),
            (std::vector<std::string>{"0", "1", "3", "4", "5", "6", "7"}));
  EXPECT_EQ(Column("select name from state where s_id=1"), std::vector<std::string>{Hex("96 A2 93 C7")});
  const std::vector<std::string> names = Column("select name from state");
  const std::set<std::string> nameSet(names.begin(), names.end());
  EXPECT_EQ(nameSet.size(), names.size()) << "every state has a name of its own";
  EXPECT_TRUE(nameSet.count(Hex("81 9A"))) << "a state named with a black star";
  EXPECT_TRUE(nameSet.count(Hex("81 9D"))) << "a state named with a bullseye";
}

TEST_F(DatabaseTest, ScriptRunAgainKeepsTablesAndRows) {
  db_.Execute("insert into mail (m_id,d_id,s_id,subject) values (1,1,1,CHAR(65))");
  db_.Execute("update dir set name=CHAR(66) where d_id=1");
  RunScript(db_);
  EXPECT_EQ(Column("select subject from mail"), std::vector<std::string>{"A"});
  EXPECT_EQ(Column("select name from dir where d_id=1"), std::vector<std::string>{"B"});
  EXPECT_EQ(Column("select count(*) from dir"), std::vector<std::string>{"5"});
}

TEST_F(DatabaseTest, ConnectionSpeaksShiftJis) {
  const ResultSet rows =
      db_.Query("select @@character_set_client,@@character_set_connection,@@character_set_results");
  ASSERT_EQ(rows.RowCount(), 1);
  for (int field = 0; field < 3; ++field) EXPECT_EQ(rows.Text(0, field), "sjis");
}

// Text from mail, users and settings: every byte comes back as it went in.
struct BytesCase {
  std::string name;
  std::string bytes;
};

std::string EveryByte() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

const BytesCase kBytesCases[] = {
    {"EveryByteValue", EveryByte()},
    {"LoneLeadByteAtTheEnd", "abc" + Hex("82")},
    {"LeadByteWithInvalidTrail", Hex("82 20 81 7F 9F 0D E0 FD")},
    {"Byte80", Hex("80")},
    {"ByteA0", Hex("A0")},
    {"BytesFDToFF", Hex("FD FE FF")},
    {"ZeroByteInside", std::string("a\0b", 3)},
    {"QuotesAndBackslash", "'\"\\'"},
    {"TrailingBlanks", "abc  "},
    {"TrailByte5C", Hex("95 5C 8E A6 83 5C")},
    {"EightBitWestern", "caf" + Hex("E9") + " na" + Hex("EF") + "ve"},
    {"LineBreaks", "a\r\nb\nc\r"},
};

struct TextColumns {
  std::string table;
  std::string keyColumns;
  std::string keyValues;
  std::vector<std::string> columns;
};

const TextColumns kTextColumns[] = {
    {"mail", "m_id,d_id,s_id", "7,1,1",
     {"mailfrom", "recipients", "cc", "bcc", "replyto", "subject", "body", "header"}},
    {"attachment", "m_id,rowfile", "7,1", {"filename", "encode"}},
    {"dir", "d_id,p_id", "7,0", {"name", "filter"}},
    {"address", "d_id", "7",
     {"name", "kana", "company", "belong", "zip", "address", "tel", "fax", "email", "homepage", "memo"}},
    {"state", "s_id", "8", {"name"}},
    {"ad_dir", "d_id,p_id", "7,0", {"name"}},
};

class TextColumnTest : public DatabaseTest, public testing::WithParamInterface<BytesCase> {};

TEST_P(TextColumnTest, EveryTextColumnKeepsTheBytes) {
  const std::string& bytes = GetParam().bytes;
  for (const TextColumns& table : kTextColumns) {
    std::string columns = table.keyColumns;
    std::string values = table.keyValues;
    for (const std::string& column : table.columns) {
      columns += "," + column;
      values += "," + SqlText(bytes);
    }
    EXPECT_EQ(db_.Execute("insert into " + table.table + " (" + columns + ") values (" + values + ")"), 1u);
    const std::string firstKey = table.keyColumns.substr(0, table.keyColumns.find(','));
    const std::string firstValue = table.keyValues.substr(0, table.keyValues.find(','));
    const ResultSet rows = db_.Query("select * from " + table.table + " where " + firstKey + "=" + firstValue);
    ASSERT_EQ(rows.RowCount(), 1) << table.table;
    for (const std::string& column : table.columns) {
      EXPECT_EQ(ToHex(rows.Text(0, column)), ToHex(bytes)) << table.table << "." << column;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Bytes, TextColumnTest, testing::ValuesIn(kBytesCases), CaseName<BytesCase>);

TEST_F(DatabaseTest, LongBodyWrittenInPiecesComesBackWhole) {
  const std::string body = MixedBytes(5 * 1024 * 1024 + 3);
  const std::vector<std::string> pieces = SqlTextChunks(body);
  ASSERT_GT(pieces.size(), 10u);
  EXPECT_EQ(db_.Execute("insert into mail (m_id,d_id,s_id,body) values (1,1,1," + pieces[0] + ")"), 1u);
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    ASSERT_EQ(db_.Execute("update mail set body=concat(body," + pieces[i] + ") where m_id=1"), 1u)
        << "piece " << i;
  }
  const ResultSet rows = db_.Query("select body,length(body) from mail where m_id=1");
  ASSERT_EQ(rows.RowCount(), 1);
  const std::string stored = rows.Text(0, "body");
  EXPECT_EQ(rows.Text(0, 1), std::to_string(body.size()));
  ASSERT_EQ(stored.size(), body.size());
  const auto mismatch = std::mismatch(stored.begin(), stored.end(), body.begin());
  EXPECT_TRUE(mismatch.first == stored.end()) << "first differing byte at " << (mismatch.first - stored.begin());
}

TEST_F(DatabaseTest, NumbersAndDatesAtTheirLimits) {
  db_.Execute(
      "insert into mail (m_id,d_id,s_id,priority,date,regdate) values "
      "(1,1,1,'-48','1899-12-30 00:00:00','1899-12-30 00:00:00'),(2,1,1,'207','2004-07-01 09:05:00',"
      "'9999-12-31 23:59:59')");
  const ResultSet rows = db_.Query("select priority,date,regdate from mail order by m_id");
  ASSERT_EQ(rows.RowCount(), 2);
  EXPECT_EQ(rows.Text(0, "priority"), "-48");
  EXPECT_EQ(rows.Text(1, "priority"), "207");
  EXPECT_EQ(rows.Text(0, "date"), "1899-12-30 00:00:00");
  EXPECT_EQ(rows.Text(0, "regdate"), "1899-12-30 00:00:00");
  EXPECT_EQ(rows.Text(1, "date"), "2004-07-01 09:05:00");
  EXPECT_EQ(rows.Text(1, "regdate"), "9999-12-31 23:59:59");
}

// Statements name only the columns they set; a body filled by concatenation starts from the default.
TEST_F(DatabaseTest, OmittedColumnsTakeUsableDefaults) {
  db_.Execute("insert into mail (m_id,d_id,s_id) values (1,1,1)");
  EXPECT_EQ(db_.Execute("update mail set body=concat(body,CHAR(65)),size=size+3,flag=1 where m_id=1"), 1u);
  const ResultSet rows = db_.Query("select body,header,subject,size,date from mail");
  ASSERT_EQ(rows.RowCount(), 1);
  EXPECT_EQ(rows.Field(0, 0), std::optional<std::string>("A"));
  EXPECT_EQ(rows.Field(0, 1), std::optional<std::string>(""));
  EXPECT_EQ(rows.Field(0, 2), std::optional<std::string>(""));
  EXPECT_EQ(rows.Text(0, "size"), "3");
  EXPECT_TRUE(rows.Field(0, 4).has_value());
}

TEST_F(DatabaseTest, GeneratedIdentifiersAndLargestPlusOne) {
  Query query;
  query.Open(db_, "select max(m_id) from mail");
  ASSERT_EQ(query.RecordCount(), 1);
  EXPECT_TRUE(query.IsNull(0)) << "an empty table has no largest m_id";
  EXPECT_EQ(query.Field(0), "");
  query.Close();
  EXPECT_FALSE(query.Active());

  db_.Execute("insert into attachment (m_id,filename,encode,rowfile) values (1,CHAR(97),'base64',1)");
  db_.Execute("insert into attachment (m_id,filename,encode,rowfile) values (1,CHAR(98),'copy',2)");
  EXPECT_EQ(Column("select a_id from attachment order by a_id"), (std::vector<std::string>{"1", "2"}));
  db_.Execute("insert into address (d_id,name) values (1,CHAR(97)),(1,CHAR(98))");
  EXPECT_EQ(Column("select u_id from address order by u_id"), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Column("select max(rowfile) from attachment"), std::vector<std::string>{"2"});
}

TEST_F(DatabaseTest, RowsAffectedAsTheServerReportsThem) {
  EXPECT_EQ(db_.Execute("insert into mail (m_id,d_id,s_id) values (1,1,1),(2,1,1),(3,1,1)"), 3u);
  EXPECT_EQ(db_.Execute("update mail set d_id=4 where m_id in (1,2)"), 2u);
  // A rule's move counts only when it changes the row.
  EXPECT_EQ(db_.Execute("update mail set d_id=4 where m_id in (1,2)"), 0u);
  EXPECT_EQ(db_.Execute("update mail set d_id=5 where m_id=99"), 0u);
  EXPECT_EQ(db_.Execute("delete from mail where d_id=4"), 2u);
  // A statement that answers with rows leaves the connection ready for the next one.
  db_.Execute("select * from mail");
  db_.Execute("analyze table mail");
  EXPECT_EQ(db_.Execute("delete from mail"), 1u);
}

TEST_F(DatabaseTest, QueryWalksRowsWithFieldsByPositionAndName) {
  db_.Execute("insert into mail (m_id,d_id,s_id,subject) values (1,1,1,CHAR(97)),(2,1,0,CHAR(98))");
  Query query;
  query.Open(db_, "select m_id,state.name,mail.s_id,subject as Title,null from mail,state where mail.s_id=state.s_id "
                  "order by m_id");
  EXPECT_TRUE(query.Active());
  EXPECT_EQ(query.RecordCount(), 2);
  std::vector<std::string> seen;
  for (; !query.Eof(); query.Next()) {
    seen.push_back(query.Field(0) + "|" + query.FieldByName("name") + "|" + query.FieldByName("S_ID") + "|" +
                   query.FieldByName("title"));
    EXPECT_TRUE(query.IsNull(4));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1|" + Hex("96 A2 93 C7") + "|1|a", "2|" + Hex("8A F9 93 C7") + "|0|b"}));
  EXPECT_THROW((void)query.FieldByName("body"), DatabaseError);
}

struct ErrorCase {
  std::string name;
  std::string statement;
  std::string message;  // the server's words, with the test database's name for "{db}"
};

const ErrorCase kErrorCases[] = {
    {"SyntaxError", "selec 1", "You have an error in your SQL syntax"},
    {"MissingTable", "select * from nosuch", "Table '{db}.nosuch' doesn't exist"},
    {"MissingColumn", "select nosuch from mail", "Unknown column 'nosuch'"},
    {"DuplicateIdentifier", "insert into dir (d_id,p_id,name) values (1,0,CHAR(97))",
     "Duplicate entry '1' for key 'PRIMARY'"},
    // One statement per call: a second statement is never run.
    {"SecondStatementIsRefused", "update dir set p_id=9 where d_id=1; delete from dir",
     "You have an error in your SQL syntax"},
    {"TwoQueriesAreRefused", "select 1; select 2", "You have an error in your SQL syntax"},
    // A condition taken from a message must not make the client send one of the user's files.
    {"LocalFilesAreNotRead", "load data local infile '/etc/passwd' into table dir",
     "disabled the local infile capability"},
};

class StatementErrorTest : public DatabaseTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(StatementErrorTest, ReportsTheServerMessageAndStaysUsable) {
  std::string expected = GetParam().message;
  if (const std::size_t at = expected.find("{db}"); at != std::string::npos) expected.replace(at, 4, name_);
  for (bool asQuery : {false, true}) {
    try {
      if (asQuery) {
        (void)db_.Query(GetParam().statement);
      } else {
        db_.Execute(GetParam().statement);
      }
      ADD_FAILURE() << "no error";
    } catch (const DatabaseError& error) {
      EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(Column("select count(*) from dir where p_id=0"), std::vector<std::string>{"5"});
}

INSTANTIATE_TEST_SUITE_P(Statements, StatementErrorTest, testing::ValuesIn(kErrorCases), CaseName<ErrorCase>);

TEST_F(DatabaseTest, WrongPasswordGivesTheServerMessageAndClosesTheConnection) {
  ConnectionParameters wrong = parameters_;
  wrong.password = "wrong";
  ASSERT_TRUE(db_.IsOpen());
  try {
    db_.Open(wrong);
    ADD_FAILURE() << "connected with a wrong password";
  } catch (const DatabaseError& error) {
    EXPECT_NE(std::string(error.what()).find("Access denied for user '" + parameters_.user + "'"), std::string::npos)
        << error.what();
  }
  EXPECT_FALSE(db_.IsOpen());
  EXPECT_THROW(db_.Execute("select 1"), DatabaseError);
}

TEST_F(DatabaseTest, MissingDatabaseGivesTheServerMessage) {
  ConnectionParameters missing = parameters_;
  missing.database = name_ + "_missing";
  Connection connection;
  try {
    connection.Open(missing);
    ADD_FAILURE() << "connected to a database that does not exist";
  } catch (const DatabaseError& error) {
    EXPECT_NE(std::string(error.what()).find("Unknown database '" + missing.database + "'"), std::string::npos)
        << error.what();
  }
}

// The port of "host:port" counts even for "localhost", which would otherwise mean the default socket.
TEST_F(DatabaseTest, HostNamesAPort) {
  const std::string port = parameters_.host.substr(parameters_.host.rfind(':') + 1);
  for (const std::string& host : {"localhost:" + port, "[127.0.0.1]:" + port}) {
    ConnectionParameters parameters = parameters_;
    parameters.host = host;
    Connection connection;
    connection.Open(parameters);
    EXPECT_EQ(connection.Query("select count(*) from dir").Text(0, 0), "5") << host;
  }
  for (const char* host : {"127.0.0.1:", "127.0.0.1:x1", "127.0.0.1:70000"}) {
    ConnectionParameters parameters = parameters_;
    parameters.host = host;
    Connection connection;
    EXPECT_THROW(connection.Open(parameters), DatabaseError) << host;
    EXPECT_FALSE(connection.IsOpen());
  }
}

// A peer that accepts the connection but never greets must not hold the caller for ever.
TEST_F(DatabaseTest, SilentServerTimesOut) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  socklen_t length = sizeof address;
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  ConnectionParameters parameters = parameters_;
  parameters.host = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  Connection connection;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(connection.Open(parameters), DatabaseError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  close(listener);
}

TEST_F(DatabaseTest, ClientDataSetRefreshShowsNewRowsAndDropsLocalEdits) {
  db_.Execute("insert into mail (m_id,d_id,s_id,subject) values (1,1,1,CHAR(97)),(2,1,1,CHAR(98))");
  ClientDataSet list("select m_id,subject from mail where d_id=1 order by m_id");
  list.Open(db_);
  ASSERT_TRUE(list.Active());
  ASSERT_EQ(list.Rows().RowCount(), 2);
  list.Rows().DeleteRow(0);
  list.Rows().SetField(0, 1, std::string("x"));

  Connection second;
  second.Open(parameters_);
  second.Execute("insert into mail (m_id,d_id,s_id,subject) values (3,1,1,CHAR(99))");
  list.Refresh(db_);
  EXPECT_FALSE(list.Rows().HasLocalChanges());
  std::vector<std::string> subjects;
  for (int row = 0; row < list.Rows().RowCount(); ++row) subjects.push_back(list.Rows().Text(row, "subject"));
  EXPECT_EQ(subjects, (std::vector<std::string>{"a", "b", "c"}));

  // A failing query leaves the rows that were shown.
  list.SetCommandText("select m_id,subject from mail where nosuch=1");
  EXPECT_THROW(list.Refresh(db_), DatabaseError);
  EXPECT_TRUE(list.Active());
  EXPECT_EQ(list.Rows().RowCount(), 3);

  list.Close();
  EXPECT_FALSE(list.Active());
  EXPECT_EQ(list.Rows().RowCount(), 0);
}

// A folder of many messages lists through an index, not a scan of the whole table.
TEST_F(DatabaseTest, FolderListUsesAnIndex) {
  std::string insert = "insert into mail (m_id,d_id,s_id,date,subject) values ";
  for (int id = 1; id <= 5000; ++id) {
    if (id > 1) insert += ",";
    insert += "(" + std::to_string(id) + "," + std::to_string(id % 20) + ",1,'2004-07-01 09:05:00' + interval " +
              std::to_string(id) + " minute,CHAR(97))";
  }
  ASSERT_EQ(db_.Execute(insert), 5000u);
  db_.Execute("analyze table mail");
  const ResultSet plan = db_.Query(
      "explain select m_id,flag,state.name,mailfrom,date,subject,body,size,state.s_id from mail,state "
      "where mail.s_id=state.s_id and d_id=1 order by date desc");
  bool sawMail = false;
  for (int row = 0; row < plan.RowCount(); ++row) {
    if (plan.Text(row, "table") != "mail") continue;
    sawMail = true;
    EXPECT_NE(plan.Text(row, "type"), "ALL");
    EXPECT_FALSE(plan.Text(row, "key").empty());
    EXPECT_EQ(plan.Text(row, "Extra").find("filesort"), std::string::npos) << plan.Text(row, "Extra");
  }
  EXPECT_TRUE(sawMail);
}

// How conditions compare text in the binary columns, for the users' conditions.
struct LikeCase {
  std::string name;
  std::string condition;
  std::vector<std::string> ids;
};

const LikeCase kLikeCases[] = {
    {"BinaryLikeIsCaseSensitive", "subject like '%hello%'", {}},
    {"BinaryLikeMatchesTheSameCase", "subject like '%Hello%'", {"1"}},
    {"BinaryEqualsIsExact", "subject = 'hello world'", {}},
    {"ConvertedLikeIgnoresAsciiCase", "convert(subject using sjis) like '%hello%'", {"1", "6"}},
    {"ConvertedEqualsIgnoresAsciiCase", "convert(subject using sjis) = 'hello world'", {"1"}},
    {"CollatedPatternIgnoresAsciiCase", "subject like '%hello%' collate sjis_japanese_ci", {"1", "6"}},
    {"UpperDoesNothingOnBinary", "upper(subject) like '%HELLO%'", {"6"}},
    // 0x5C as a trail byte ("表" is 95 5C) acts as the escape character of a binary pattern.
    {"BinaryLikeMissesTrailByte5C", "subject like '%" + Hex("95 5C") + "%'", {}},
    {"EmptyEscapeFindsTrailByte5C", "subject like '%" + Hex("95 5C") + "%' escape ''", {"2"}},
    {"ConvertedLikeFindsTrailByte5C", "convert(subject using sjis) like '%" + Hex("95 5C") + "%'", {"2"}},
    {"BinaryEqualsWithTrailByte5C", "subject = '" + Hex("95 5C 8E A6") + "'", {"2"}},
    // "A" is also the trail byte of katakana A (83 41).
    {"BinaryLikeMatchesInsideADoubleByteCharacter", "subject like '%A%'", {"4"}},
    {"ConvertedLikeIsCharacterAware", "convert(subject using sjis) like '%A%'", {}},
    {"ConvertedLikeKeepsKanaApart", "convert(subject using sjis) like '%" + Hex("83 61") + "%'", {}},
    {"FullWidthLettersKeepTheirCase", "convert(subject using sjis) like '%" + Hex("82 81 82 82") + "%'", {}},
    {"PercentSignEscaped", "subject like '%\\%%'", {"3"}},
};

class LikeTest : public DatabaseTest, public testing::WithParamInterface<LikeCase> {};

TEST_P(LikeTest, ComparesAsDocumented) {
  db_.Execute("insert into mail (m_id,d_id,s_id,subject) values (1,1,1," + SqlText("Hello World") + "),(2,1,1," +
              SqlText(Hex("95 5C 8E A6")) + "),(3,1,1," + SqlText("100%") + "),(4,1,1," + SqlText(Hex("83 41 83 43")) +
              "),(5,1,1," + SqlText(Hex("82 60 82 61")) + "),(6,1,1," + SqlText(Hex("FF") + "HELLO" + Hex("82")) + ")");
  EXPECT_EQ(Column("select m_id from mail where " + GetParam().condition + " order by m_id"), GetParam().ids);
}

INSTANTIATE_TEST_SUITE_P(Conditions, LikeTest, testing::ValuesIn(kLikeCases), CaseName<LikeCase>);

}  // namespace
}  // namespace rirevar
