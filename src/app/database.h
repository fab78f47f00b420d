// The database connection and the rows of a query, over MariaDB Connector/C. All text exchanged
// with the server is Shift-JIS; statements are text, one statement per call.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rirevar {

// An error of the server or the client library; what() is its message as the server gives it.
class DatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ConnectionParameters {
  std::string host;  // a host name, or "host:port"; empty: the local server
  std::string database;
  std::string user;
  std::string password;
};

// The rows of one query, held in memory, with the local edits the lists make: a deleted row or
// an overwritten field shows at once and lasts until the changes are discarded.
class ResultSet {
 public:
  ResultSet() = default;
  ResultSet(std::vector<std::string> fieldNames, std::vector<std::vector<std::optional<std::string>>> rows);

  [[nodiscard]] int FieldCount() const { return static_cast<int>(fieldNames_.size()); }
  [[nodiscard]] const std::vector<std::string>& FieldNames() const { return fieldNames_; }
  // The position of a field by name (ASCII case ignored, as the server names columns); -1 if none.
  [[nodiscard]] int FieldIndex(std::string_view name) const;
  [[nodiscard]] int RowCount() const { return static_cast<int>(rows_.size()); }
  // NULL is nothing.
  [[nodiscard]] const std::optional<std::string>& Field(int row, int field) const;
  // NULL reads as the empty text; an unknown field name throws DatabaseError.
  [[nodiscard]] std::string Text(int row, int field) const;
  [[nodiscard]] std::string Text(int row, std::string_view fieldName) const;

  void DeleteRow(int row);
  void SetField(int row, int field, std::optional<std::string> value);
  [[nodiscard]] bool HasLocalChanges() const { return changed_; }
  // Back to the rows as fetched.
  void DiscardChanges();

 private:
  std::vector<std::string> fieldNames_;
  std::vector<std::vector<std::optional<std::string>>> fetched_;
  std::vector<std::vector<std::optional<std::string>>> rows_;
  bool changed_ = false;
};

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens the connection (closing an open one first) with the character set "sjis"; throws
  // DatabaseError with the server's message.
  void Open(const ConnectionParameters& parameters);
  void Close();
  [[nodiscard]] bool IsOpen() const;
  // Runs one statement directly; the number of rows the server reports as affected.
  std::uint64_t Execute(std::string_view statement);
  // Runs one query and fetches all its rows.
  [[nodiscard]] ResultSet Query(std::string_view statement);

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

// A query whose rows a caller walks: the form that OpenSql and OpenSql2 fill.
class Query {
 public:
  void Open(Connection& connection, std::string_view statement);
  void Close();
  [[nodiscard]] bool Active() const { return active_; }
  [[nodiscard]] bool Eof() const { return current_ >= rows_.RowCount(); }
  void Next() { ++current_; }
  [[nodiscard]] int RecordCount() const { return rows_.RowCount(); }
  // Fields of the current row.
  [[nodiscard]] std::string Field(int field) const { return rows_.Text(current_, field); }
  [[nodiscard]] std::string FieldByName(std::string_view name) const { return rows_.Text(current_, name); }
  [[nodiscard]] bool IsNull(int field) const { return !rows_.Field(current_, field).has_value(); }

 private:
  ResultSet rows_;
  int current_ = 0;
  bool active_ = false;
};

// The rows of a list (the mail list, the address list): a query text, its cached rows and their
// local edits; refreshing runs the query again.
class ClientDataSet {
 public:
  explicit ClientDataSet(std::string commandText) : commandText_(std::move(commandText)) {}
  void SetCommandText(std::string text) { commandText_ = std::move(text); }
  [[nodiscard]] const std::string& CommandText() const { return commandText_; }
  // Fetches the rows of the command text on `connection`.
  void Open(Connection& connection);
  // Discards the local changes and fetches the rows again.
  void Refresh(Connection& connection);
  void Close();
  [[nodiscard]] bool Active() const { return active_; }
  [[nodiscard]] ResultSet& Rows() { return rows_; }
  [[nodiscard]] const ResultSet& Rows() const { return rows_; }

 private:
  std::string commandText_;
  ResultSet rows_;
  bool active_ = false;
};

// The SQL literal of a text: "''" for the empty text, else CHAR(b1,b2,...) of its bytes.
[[nodiscard]] std::string SqlText(std::string_view text);
// The same cut into pieces of a little over 800000 characters each, for very long texts.
[[nodiscard]] std::vector<std::string> SqlTextChunks(std::string_view text);

}  // namespace rirevar
