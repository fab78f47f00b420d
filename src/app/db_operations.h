// The database operations every part of the system uses: connecting, and running a statement or
// opening a query on connection 1 (the lists, general statements) or connection 2 (receiving).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rirevar {

// (Re)opens both connections; a failure is shown with the server's message. The new DbConnected.
bool ConnectDb(const std::string& host, const std::string& database, bool openMailList,
               const std::string& password, const std::string& user);

// Connection 1 through SQLQuery2; nothing happens (and 0 rows) while not connected.
std::uint64_t ExecSql(std::string_view statement);
void OpenSql(std::string_view statement);
void CloseSql();

// Connection 2 through SQLQuery3; their callers test DbConnected first.
std::uint64_t ExecSql2(std::string_view statement);
void OpenSql2(std::string_view statement);
void CloseSql2();

}  // namespace rirevar
