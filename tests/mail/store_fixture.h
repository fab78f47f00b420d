// A database of its own for each test, an attachment directory of its own, and the seams a
// store reports to.
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
#include "database_fixture.h"
#include "app/settings.h"
#include "receive/received_store.h"

namespace rirevar::test {

using Popups = std::vector<std::pair<int, std::string>>;

class ReceivedStoreTest : public DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    char pattern[] = "/tmp/rirevar_tenp_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    tenpDir_ = pattern;
  }

  void TearDown() override {
    DatabaseFixture::TearDown();
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

  std::string tenpDir_;
  ReceiveRunState runState_;
  Settings settings_;
  std::ostringstream log_;
  Popups popups_;
  std::vector<int> progress_;
};

}  // namespace rirevar::test
