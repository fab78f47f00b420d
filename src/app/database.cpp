#include "app/database.h"

#include <mysql.h>

#include <algorithm>
#include <charconv>

namespace rirevar {

namespace {

// A dead server must not hold the window for ever, yet a long search over many bodies may take a
// while; reading or writing gives up after this many seconds without data.
constexpr unsigned int kConnectTimeoutSeconds = 10;
constexpr unsigned int kReadWriteTimeoutSeconds = 120;

constexpr std::size_t kChunkLimit = 800000;

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

struct ServerAddress {
  std::string host;
  unsigned int port = 0;  // 0: the library's default
};

// "host:port" or "[v6 address]:port" names a port; a bare IPv6 address is a host.
ServerAddress ParseHost(const std::string& text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) return {text, 0};
  const std::string_view portText = std::string_view(text).substr(colon + 1);
  std::string host = text.substr(0, colon);
  const bool bracketed = host.size() >= 2 && host.front() == '[' && host.back() == ']';
  if (host.find(':') != std::string::npos && !bracketed) return {text, 0};
  unsigned int port = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() || port == 0 ||
      port > 65535) {
    throw DatabaseError("Invalid port in server name: " + text);
  }
  if (bracketed) host = host.substr(1, host.size() - 2);
  return {host, port};
}

const char* NullIfEmpty(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

const std::optional<std::string> kNoValue;

}  // namespace

// ---- ResultSet ----

ResultSet::ResultSet(std::vector<std::string> fieldNames, std::vector<std::vector<std::optional<std::string>>> rows)
    : fieldNames_(std::move(fieldNames)), fetched_(std::move(rows)), rows_(fetched_) {}

int ResultSet::FieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fieldNames_.size(); ++i) {
    if (EqualIgnoringAsciiCase(fieldNames_[i], name)) return static_cast<int>(i);
  }
  return -1;
}

const std::optional<std::string>& ResultSet::Field(int row, int field) const {
  if (field < 0 || field >= FieldCount()) {
    throw DatabaseError("Field index " + std::to_string(field) + " out of range");
  }
  // Reading a row that is not there (a query without rows) gives nothing, not an error.
  if (row < 0 || row >= RowCount()) return kNoValue;
  return rows_[row][field];
}

std::string ResultSet::Text(int row, int field) const { return Field(row, field).value_or(std::string()); }

std::string ResultSet::Text(int row, std::string_view fieldName) const {
  const int field = FieldIndex(fieldName);
  if (field < 0) throw DatabaseError("Field '" + std::string(fieldName) + "' not found");
  return Text(row, field);
}

void ResultSet::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) throw DatabaseError("Row " + std::to_string(row) + " out of range");
  rows_.erase(rows_.begin() + row);
  changed_ = true;
}

void ResultSet::SetField(int row, int field, std::optional<std::string> value) {
  if (row < 0 || row >= RowCount()) throw DatabaseError("Row " + std::to_string(row) + " out of range");
  if (field < 0 || field >= FieldCount()) {
    throw DatabaseError("Field index " + std::to_string(field) + " out of range");
  }
  rows_[row][field] = std::move(value);
  changed_ = true;
}

void ResultSet::DiscardChanges() {
  rows_ = fetched_;
  changed_ = false;
}

// ---- Connection ----

struct Connection::Handle {
  MYSQL* mysql = nullptr;

  ~Handle() {
    if (mysql != nullptr) mysql_close(mysql);
  }

  [[noreturn]] void Fail() const { throw DatabaseError(mysql_error(mysql)); }

  void Run(std::string_view statement) const {
    if (mysql_real_query(mysql, statement.data(), statement.size()) != 0) Fail();
  }

  // The current result (nullptr for a statement without rows); an error while fetching throws.
  MYSQL_RES* StoreResult() const {
    MYSQL_RES* result = mysql_store_result(mysql);
    if (result == nullptr && mysql_field_count(mysql) != 0) Fail();
    return result;
  }

  // A stored procedure may answer with several results; the connection is unusable until all are
  // read.
  void DiscardFurtherResults() const {
    while (mysql_more_results(mysql)) {
      if (mysql_next_result(mysql) > 0) Fail();
      if (MYSQL_RES* result = StoreResult()) mysql_free_result(result);
    }
  }
};

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const ConnectionParameters& parameters) {
  Close();
  const ServerAddress address = ParseHost(parameters.host);
  auto handle = std::make_unique<Handle>();
  handle->mysql = mysql_init(nullptr);
  if (handle->mysql == nullptr) throw DatabaseError("Out of memory for a database connection");
  MYSQL* mysql = handle->mysql;
  mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "sjis");
  mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &kConnectTimeoutSeconds);
  mysql_options(mysql, MYSQL_OPT_READ_TIMEOUT, &kReadWriteTimeoutSeconds);
  mysql_options(mysql, MYSQL_OPT_WRITE_TIMEOUT, &kReadWriteTimeoutSeconds);
  // Statements carry text from received mail; none of them may read the user's files.
  const unsigned int noLocalInfile = 0;
  mysql_options(mysql, MYSQL_OPT_LOCAL_INFILE, &noLocalInfile);
  if (address.port != 0) {
    // With a port named, "localhost" must mean that port, not the local socket.
    const unsigned int tcp = MYSQL_PROTOCOL_TCP;
    mysql_options(mysql, MYSQL_OPT_PROTOCOL, &tcp);
  }
  if (mysql_real_connect(mysql, NullIfEmpty(address.host), NullIfEmpty(parameters.user),
                         NullIfEmpty(parameters.password), NullIfEmpty(parameters.database), address.port, nullptr,
                         0) == nullptr) {
    handle->Fail();
  }
  handle_ = std::move(handle);
}

void Connection::Close() { handle_.reset(); }

bool Connection::IsOpen() const { return handle_ != nullptr; }

std::uint64_t Connection::Execute(std::string_view statement) {
  if (!handle_) throw DatabaseError("Not connected to the database");
  handle_->Run(statement);
  std::uint64_t affected = 0;
  if (MYSQL_RES* result = handle_->StoreResult()) {
    affected = mysql_num_rows(result);
    mysql_free_result(result);
  } else {
    affected = mysql_affected_rows(handle_->mysql);
  }
  handle_->DiscardFurtherResults();
  return affected;
}

ResultSet Connection::Query(std::string_view statement) {
  if (!handle_) throw DatabaseError("Not connected to the database");
  handle_->Run(statement);
  MYSQL_RES* result = handle_->StoreResult();
  if (result == nullptr) {
    handle_->DiscardFurtherResults();
    return {};
  }
  const std::unique_ptr<MYSQL_RES, decltype(&mysql_free_result)> owner(result, &mysql_free_result);
  const unsigned int fieldCount = mysql_num_fields(result);
  const MYSQL_FIELD* fields = mysql_fetch_fields(result);
  std::vector<std::string> names;
  names.reserve(fieldCount);
  for (unsigned int i = 0; i < fieldCount; ++i) names.emplace_back(fields[i].name, fields[i].name_length);
  std::vector<std::vector<std::optional<std::string>>> rows;
  rows.reserve(mysql_num_rows(result));
  while (MYSQL_ROW row = mysql_fetch_row(result)) {
    const unsigned long* lengths = mysql_fetch_lengths(result);
    std::vector<std::optional<std::string>>& values = rows.emplace_back();
    values.reserve(fieldCount);
    for (unsigned int i = 0; i < fieldCount; ++i) {
      if (row[i] == nullptr) {
        values.emplace_back();
      } else {
        values.emplace_back(std::string(row[i], lengths[i]));
      }
    }
  }
  handle_->DiscardFurtherResults();
  return ResultSet(std::move(names), std::move(rows));
}

// ---- Query ----

void Query::Open(Connection& connection, std::string_view statement) {
  Close();
  rows_ = connection.Query(statement);
  active_ = true;
}

void Query::Close() {
  rows_ = ResultSet();
  current_ = 0;
  active_ = false;
}

// ---- ClientDataSet ----

void ClientDataSet::Open(Connection& connection) {
  rows_ = connection.Query(commandText_);
  active_ = true;
}

// The old rows, local changes included, stay if the query fails.
void ClientDataSet::Refresh(Connection& connection) { Open(connection); }

void ClientDataSet::Close() {
  rows_ = ResultSet();
  active_ = false;
}

// ---- Text literals ----

namespace {

void AppendByte(std::string& out, unsigned char byte) {
  char digits[4];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, static_cast<unsigned int>(byte)).ptr);
}

}  // namespace

std::string SqlText(std::string_view text) {
  if (text.empty()) return "''";
  std::string out;
  out.reserve(text.size() * 4 + 6);
  out += "CHAR(";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != 0) out += ',';
    AppendByte(out, static_cast<unsigned char>(text[i]));
  }
  out += ')';
  return out;
}

std::vector<std::string> SqlTextChunks(std::string_view text) {
  if (text.empty()) return {"''"};
  std::vector<std::string> pieces;
  std::string piece;
  const auto close = [&] {
    piece.pop_back();
    pieces.push_back("CHAR(" + piece + ")");
    piece.clear();
  };
  for (char c : text) {
    AppendByte(piece, static_cast<unsigned char>(c));
    piece += ',';
    if (piece.size() > kChunkLimit) close();
  }
  if (!piece.empty()) close();
  return pieces;
}

}  // namespace rirevar
