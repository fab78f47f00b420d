// A database of its own for each test, made by the table script as the program runs it, an
// attachment directory of its own, and the seams a store reports to.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/database.h"
#include "app/init_script.h"
#include "app/settings.h"
#include "receive/received_store.h"

namespace rirevar::test {

using Popups = std::vector<std::pair<int, std::string>>;

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ReceivedStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* host = std::getenv("RIREVAR_TEST_DB_HOST");
    const char* user = std::getenv("RIREVAR_TEST_DB_USER");
    if (host == nullptr || user == nullptr || *host == '\0' || *user == '\0') {
      FAIL() << "RIREVAR_TEST_DB_HOST and RIREVAR_TEST_DB_USER must name the test server "
                "(scripts/test starts one and sets them)";
    }
    parameters_ = {host, "", user, ""};
    static int counter = 0;
    name_ = "rirevar_store_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    admin_.Open(parameters_);
    admin_.Execute("create database " + name_);
    parameters_.database = name_;
    db_.Open(parameters_);
    const std::string script = ReadFile(RIREVAR_INITTBL);
    ASSERT_FALSE(script.empty()) << "no table script at " << RIREVAR_INITTBL;
    for (const std::string& statement : ScriptStatements(script)) db_.Execute(statement);
    char pattern[] = "/tmp/rirevar_tenp_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    tenpDir_ = pattern;
  }

  void TearDown() override {
    db_.Close();
    if (admin_.IsOpen()) admin_.Execute("drop database if exists " + name_);
    if (!tenpDir_.empty()) std::filesystem::remove_all(tenpDir_);
  }

  std::unique_ptr<ReceivedStore> NewStore(int id) {
    return std::make_unique<ReceivedStore>(
        db_, runState_, settings_, tenpDir_, log_, id,
        [this](int popupId, const std::string& subject) { popups_.emplace_back(popupId, subject); },
        [this](int percent) { progress_.push_back(percent); });
  }

  // Stores and commits one message with its attachments; false for a duplicate.
  bool StoreWhole(int id, const ReceivedHeader& header, const std::string& body,
                  const std::vector<std::vector<std::string>>& attachments = {}) {
    const auto store = NewStore(id);
    if (!store->StoreReceived(header, body)) return false;
    for (const auto& attachment : attachments) store->StoreAttachment(attachment[0], attachment[1], attachment[2]);
    store->Commit();
    return true;
  }

  std::string Scalar(const std::string& query) { return db_.Query(query).Text(0, 0); }
  int Count(const std::string& table) { return std::stoi(Scalar("select count(*) from " + table)); }

  // Nothing of a failed message: no rows, no files, no log entry, no popup.
  void ExpectNothingLeft() {
    EXPECT_EQ(Count("mail"), 0);
    EXPECT_EQ(Count("attachment"), 0);
    EXPECT_TRUE(!std::filesystem::exists(tenpDir_) || std::filesystem::is_empty(tenpDir_));
    EXPECT_EQ(log_.str(), "");
    EXPECT_TRUE(popups_.empty());
  }

  ConnectionParameters parameters_;
  std::string name_;
  Connection admin_;
  Connection db_;
  std::string tenpDir_;
  ReceiveRunState runState_;
  Settings settings_;
  std::ostringstream log_;
  Popups popups_;
  std::vector<int> progress_;
};

}  // namespace rirevar::test
