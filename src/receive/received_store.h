// Storing received messages on connection 2: the duplicate test for mail left on the server, the
// mail row with its body in pieces, the sorting rules, the attachment rows and files, and the
// header log. A message is stored whole or not at all.
#pragma once

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/database.h"
#include "app/settings.h"
#include "receive/message_store.h"
#include "receive/sorting_rules.h"

namespace rirevar {

// Set by the receive engine per account and per message; the store reports duplicates in it.
struct ReceiveRunState {
  bool LeaveOnServer = false;
  bool IsNewMessage = true;
  int DuplicateAgeDays = 0;
};

// A step of storing that is not a database statement failed (an attachment file, the header log).
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The id of the next message: the largest m_id + 1, 1 for an empty table.
[[nodiscard]] int NextMessageId(Connection& connection);

// Inserts the attachment row of message `id`; gives its rowfile (the largest one + 1).
int AddAttachment(Connection& connection, int id, const std::string& name, const std::string& encoding);
// The path of attachment file `rowfile` in the attachment directory `tenpDir`.
[[nodiscard]] std::string AttachmentFilePath(const std::string& tenpDir, int rowfile);
// Creates or replaces the attachment file; throws StoreError when it cannot be written whole.
void WriteAttachmentFile(const std::string& tenpDir, int rowfile, const std::string& content);
// One header log entry: "**" + id + "**" CR LF, the header text, CR LF. Throws StoreError when
// the log cannot be written.
void WriteHeaderLog(std::ostream& log, int id, const std::string& headerText);

// One message, stored under the id given. The reading of the message calls StoreReceived and
// StoreAttachment; then the receive engine calls Commit. Until then the message is invisible to
// other connections, and popup entries and the header log entry wait. A failing step, Rollback or
// destruction without Commit removes everything written for the message.
class ReceivedStore : public MessageStore {
 public:
  using ProgressSeam = std::function<void(int percent)>;

  ReceivedStore(Connection& connection, ReceiveRunState& runState, const Settings& settings,
                std::string tenpDir, std::ostream& headerLog, int id, PopupSeam popup, ProgressSeam progress);
  ~ReceivedStore() override;
  ReceivedStore(const ReceivedStore&) = delete;
  ReceivedStore& operator=(const ReceivedStore&) = delete;

  [[nodiscard]] int Id() const { return id_; }

  // False for a duplicate: nothing is written, IsNewMessage becomes false, DuplicateAgeDays is set.
  bool StoreReceived(const ReceivedHeader& header, const std::string& body) override;
  void StoreAttachment(const std::string& name, const std::string& encoding, const std::string& content) override;
  void Progress(int percent) override;

  // Makes the stored message permanent, writes its header log entry and hands its popup entries
  // on. Nothing to do for a duplicate. On failure everything is rolled back and the error rethrown.
  void Commit();
  // Removes the rows and files of the message; safe to call more than once.
  void Rollback() noexcept;

 private:
  struct PopupEntry {
    int id;
    std::string subject;
  };

  void StoreMessage(const ReceivedHeader& header, const std::string& body);
  void StoreAttachmentFile(const std::string& name, const std::string& encoding, const std::string& content);

  Connection& connection_;
  ReceiveRunState& runState_;
  const Settings& settings_;
  std::string tenpDir_;
  std::ostream& headerLog_;
  int id_;
  PopupSeam popup_;
  ProgressSeam progress_;

  bool open_ = false;  // a transaction holds rows of this message
  std::string headerText_;
  std::vector<PopupEntry> popupEntries_;
  std::vector<std::string> files_;
};

}  // namespace rirevar
