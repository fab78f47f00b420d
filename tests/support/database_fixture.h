// Each test works in a database of its own on the test run's server (scripts/test starts it and
// names it in RIREVAR_TEST_DB_HOST and RIREVAR_TEST_DB_USER), made by the table script as the
// program runs it, and dropped afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/database.h"
#include "app/init_script.h"

namespace rirevar::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The server of the test run; an empty host when the variables are unset.
inline ConnectionParameters TestServer() {
  const char* host = std::getenv("RIREVAR_TEST_DB_HOST");
  const char* user = std::getenv("RIREVAR_TEST_DB_USER");
  return {host != nullptr ? host : "", "", user != nullptr ? user : "", ""};
}

class DatabaseFixture : public testing::Test {
 protected:
  void SetUp() override {
    parameters_ = TestServer();
    if (parameters_.host.empty() || parameters_.user.empty()) {
      FAIL() << "RIREVAR_TEST_DB_HOST and RIREVAR_TEST_DB_USER must name the test server "
                "(scripts/test starts one and sets them)";
    }
    static int counter = 0;
    name_ = "rirevar_test_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    admin_.Open(parameters_);
    admin_.Execute("create database " + name_);
    parameters_.database = name_;
    db_.Open(parameters_);
    RunScript(db_);
  }

  void TearDown() override {
    db_.Close();
    if (admin_.IsOpen()) admin_.Execute("drop database if exists " + name_);
  }

  static void RunScript(Connection& connection) {
    const std::string script = ReadFile(RIREVAR_INITTBL);
    ASSERT_FALSE(script.empty()) << "no table script at " << RIREVAR_INITTBL;
    for (const std::string& statement : ScriptStatements(script)) {
      try {
        connection.Execute(statement);
      } catch (const DatabaseError& error) {
        ADD_FAILURE() << error.what() << "\n\n" << statement;
      }
    }
  }

  ConnectionParameters parameters_;
  std::string name_;
  Connection admin_;
  Connection db_;
};

}  // namespace rirevar::test
