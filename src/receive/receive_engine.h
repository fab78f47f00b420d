// The receive engine: fetches the mail of the POP3 accounts and stores it, message by message.
// A message leaves the server only once it is stored (or a delete filter removed it, or the copy
// kept for an account that leaves mail on the server has grown older than its day limit).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/database.h"
#include "app/settings.h"
#include "receive/pop3_session.h"
#include "receive/received_store.h"

namespace rirevar {

// What a receive shows in the windows while it runs.
class ReceiveView {
 public:
  virtual ~ReceiveView() = default;
  // The progress texts, and at the end the summary.
  virtual void ShowStatus(const std::string& text) = 0;
  [[nodiscard]] virtual bool NewMailListEmpty() const = 0;
  // A line of the new-mail list; id -1 for a line with no message behind it.
  virtual void AddNewMail(int id, const std::string& text) = 0;
  virtual void ClearPopupIfHidden() = 0;
  // A popup rule picked the message out.
  virtual void AddPopup(int id, const std::string& subject) = 0;
  // Newly stored mail shows in the open folder.
  virtual void RefreshMailList() = 0;
};

struct ReceivePaths {
  std::string HeaderLog;
  std::string ErrorLog;
  std::string TenpDir;  // the attachment files
};

// The most messages taken from one account in one run; the rest wait for the next run.
inline constexpr int kMaxMessagesPerRun = 500;

// The length of a message's raw text: its lines joined with CR LF.
[[nodiscard]] std::uint64_t RawTextLength(const std::vector<std::string>& lines);

class ReceiveEngine {
 public:
  // `database` is connection 2, or null while there is no database connection.
  ReceiveEngine(const Settings& settings, Connection* database, ReceivePaths paths, ReceiveView& view,
                Pop3Options options = {});

  // selector 255: every account in turn, else the account at that position. Gives the summary,
  // one piece per account joined with "/", which the view also shows at the end.
  std::string Run(int selector);
  // The summary piece of one account; nothing without a database connection or such an account.
  std::optional<std::string> ReceiveAccount(int index);

 private:
  struct Account;

  void ReceiveMessages(Pop3Session& session, const Account& account, std::ostream& headerLog);
  void ReceiveMessage(Pop3Session& session, const Account& account, int j, int count, std::ostream& headerLog);
  void ListNewMail(int id, const std::string& text);
  void LogError(const std::string& account, const std::string& text);

  const Settings& settings_;
  Connection* database_;
  ReceivePaths paths_;
  ReceiveView& view_;
  Pop3Options options_;
  ReceiveRunState runState_;
  int errorCount_ = 0;
  bool separated_ = false;  // this account's lines are set apart from earlier ones
};

}  // namespace rirevar
