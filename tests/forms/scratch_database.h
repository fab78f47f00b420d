// A database of its own for a form test on the test run's server (scripts/test starts it and names
// it in RIREVAR_TEST_DB_HOST and RIREVAR_TEST_DB_USER).
#pragma once

#include <QFile>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/database.h"
#include "app/init_script.h"

namespace rirevar::test {

inline std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

enum class Tables { Created, None };

// A database of its own for each test, with the tables of inittbl.sql unless asked otherwise,
// dropped afterwards.
class ScratchDatabase {
 public:
  explicit ScratchDatabase(const std::string& name, Tables tables = Tables::Created) : name_(name) {
    admin_.Open({Env("RIREVAR_TEST_DB_HOST"), "", Env("RIREVAR_TEST_DB_USER"), ""});
    admin_.Execute("drop database if exists " + name_);
    admin_.Execute("create database " + name_);
    if (tables == Tables::None) return;
    admin_.Execute("use " + name_);
    QFile script(RIREVAR_INITTBL);
    if (!script.open(QIODevice::ReadOnly)) throw std::runtime_error("no " RIREVAR_INITTBL);
    for (const std::string& statement : ScriptStatements(script.readAll().toStdString())) {
      admin_.Execute(statement);
    }
  }
  ~ScratchDatabase() { admin_.Execute("drop database if exists " + name_); }
  const std::string& Name() const { return name_; }
  // A connection in the database (with its tables) for the test's own queries.
  Connection& Admin() { return admin_; }
  bool Exists() {
    return admin_.Query("show databases like '" + name_ + "'").RowCount() == 1;
  }

 private:
  Connection admin_;
  std::string name_;
};

}  // namespace rirevar::test
