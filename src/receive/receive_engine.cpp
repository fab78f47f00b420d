#include "receive/receive_engine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/setting_values.h"
#include "receive/accounts.h"
#include "receive/error_log.h"
#include "receive/message_reader.h"
#include "receive/sorting_rules.h"
#include "text/sjis_unicode.h"

namespace rirevar {

namespace {

// Fields of an account record.
constexpr int kName = 0, kHost = 1, kUser = 2, kPassword = 3, kPort = 4, kApop = 5, kLeave = 6, kDays = 7;
constexpr int kSelectAll = 255;

std::string Sjis(std::string_view utf8) { return Utf8ToSjisTyped(utf8); }

// Runs a command whose refusal ("-ERR") changes nothing for the engine; a lost connection still
// ends the account.
template <typename Command>
void IgnoringRefusal(Pop3Session& session, Command command) {
  try {
    command();
  } catch (const Pop3Error&) {
    if (!session.Connected()) throw;
  }
}

}  // namespace

struct ReceiveEngine::Account {
  std::string name;
  std::string host;
  std::string user;
  std::string password;
  int port = 0;
  bool apop = false;
  int days = -1;  // -1: a copy left on the server stays there
  std::int64_t sizeLimit = 0;
};

std::uint64_t RawTextLength(const std::vector<std::string>& lines) {
  std::uint64_t length = lines.empty() ? 0 : 2 * (lines.size() - 1);
  for (const std::string& line : lines) length += line.size();
  return length;
}

ReceiveEngine::ReceiveEngine(const Settings& settings, Connection* database, ReceivePaths paths, ReceiveView& view,
                             Pop3Options options)
    : settings_(settings), database_(database), paths_(std::move(paths)), view_(view), options_(options) {}

std::string ReceiveEngine::Run(int selector) {
  std::string summary;
  if (selector == kSelectAll) {
    const int accounts = static_cast<int>(AccountRecords(settings_).size());
    for (int k = 0; k < accounts; ++k) {
      if (!summary.empty()) summary += '/';
      if (const auto piece = ReceiveAccount(k)) summary += *piece;
    }
  } else if (const auto piece = ReceiveAccount(selector)) {
    summary = *piece;
  }
  view_.ShowStatus(summary);
  return summary;
}

std::optional<std::string> ReceiveEngine::ReceiveAccount(int index) {
  if (database_ == nullptr) return std::nullopt;
  const std::vector<std::string> records = AccountRecords(settings_);
  if (index < 0 || index >= static_cast<int>(records.size())) return std::nullopt;
  std::vector<std::string> fields = SplitFields(records[index], '|');
  fields.resize(std::max<std::size_t>(fields.size(), kDays + 1));

  Account account;
  account.name = fields[kName];
  errorCount_ = 0;
  std::ofstream headerLog(paths_.HeaderLog, std::ios::binary | std::ios::app);
  if (!headerLog) {
    LogError(account.name, "Cannot open " + paths_.HeaderLog + ": " + std::strerror(errno));
    return account.name + Sjis(":設定ｴﾗｰ(TempDir)");
  }
  const auto port = IntText(fields[kPort]);
  const auto days = fields[kDays].empty() ? std::optional<int>(-1) : IntText(fields[kDays]);
  const auto maxMailSize = IntText(settings_.Value("MaxMailSize"));
  std::string wrong;
  if (!port || *port < 1 || *port > 65535) wrong = "the port \"" + fields[kPort] + "\" is not a port number";
  if (!days) wrong = "the day count \"" + fields[kDays] + "\" is not a number";
  if (!maxMailSize) wrong = "MaxMailSize \"" + settings_.Value("MaxMailSize") + "\" is not a number";
  if (!wrong.empty()) {
    LogError(account.name, wrong + "; nothing received");
    return account.name + Sjis(":設定ｴﾗｰ");
  }
  runState_.LeaveOnServer = fields[kLeave] == "1";
  account.days = *days;
  account.host = fields[kHost];
  account.user = fields[kUser];
  account.password = UnscramblePassword(fields[kPassword], PasswordStart(account.name));
  account.port = *port;
  account.apop = fields[kApop] == "1";
  account.sizeLimit = std::int64_t{*maxMailSize} * 1024;

  view_.ShowStatus(Sjis("接続") + account.host);
  view_.ClearPopupIfHidden();
  Pop3Session session(options_);
  try {
    session.Connect(account.host, account.port, account.user, account.password, account.apop);
    ReceiveMessages(session, account, headerLog);
    session.Disconnect();
  } catch (const Pop3Error& error) {
    LogError(account.name, std::string("Error Connect: ") + error.what());
    errorCount_ = -1;
    session.Abort();
  } catch (const std::exception& error) {
    // The database failed, not the server: what was stored may leave the server, and nothing
    // else was deleted there.
    LogError(account.name, std::string("Error Connect: ") + error.what());
    errorCount_ = -1;
    try {
      session.Disconnect();
    } catch (const Pop3Error&) {
      // Dropped without QUIT: every deletion of the exchange is undone.
    }
  }
  headerLog.close();
  try {
    view_.RefreshMailList();
  } catch (const std::exception& error) {
    LogError(account.name, std::string("Cannot refresh the mail list: ") + error.what());
  }
  if (errorCount_ < 0) return account.name + Sjis(":接続ｴﾗｰ");
  if (errorCount_ > 0) return account.name + Sjis(":ｴﾗｰ") + std::to_string(errorCount_) + Sjis("通");
  return account.name + ":Ok";
}

void ReceiveEngine::ReceiveMessages(Pop3Session& session, const Account& account, std::ostream& headerLog) {
  const int count = std::min(session.Count(), kMaxMessagesPerRun);
  separated_ = false;
  for (int j = 1; j <= count; ++j) ReceiveMessage(session, account, j, count, headerLog);
}

void ReceiveEngine::ReceiveMessage(Pop3Session& session, const Account& account, int j, int count,
                                   std::ostream& headerLog) {
  runState_.IsNewMessage = true;
  runState_.DuplicateAgeDays = 0;
  const std::string position = account.name + ":" + std::to_string(j) + "/" + std::to_string(count);
  view_.ShowStatus(position);
  std::vector<std::string> lines = session.Retrieve(j);
  const std::uint64_t length = RawTextLength(lines);
  if (account.sizeLimit < 0 || length > static_cast<std::uint64_t>(account.sizeLimit)) {
    ++errorCount_;
    LogError(account.name, "Error Recv: message " + std::to_string(j) + "/" + std::to_string(count) + " has " +
                               std::to_string(length) + " bytes, more than MaxMailSize allows (" +
                               std::to_string(account.sizeLimit) + "); left on the server");
    return;
  }
  const int id = NextMessageId(*database_);
  const ReceivedHeader header = ReadMessageHeader(lines);
  try {
    if (MatchesDeleteFilter(settings_, header.subject)) {
      IgnoringRefusal(session, [&] { session.Delete(j); });
      ListNewMail(-1, DeleteFilteredEntry(header.subject));
      return;
    }
    ReceivedStore store(
        *database_, runState_, settings_, paths_.TenpDir, headerLog, id,
        [this](int popupId, const std::string& subject) { view_.AddPopup(popupId, subject); },
        [&](int percent) {
          IgnoringRefusal(session, [&] { session.Noop(); });
          view_.ShowStatus(position + ":" + std::to_string(percent) + "%");
        });
    StoreMessageParts(header, lines, store);
    store.Commit();
    // Listed as soon as it is stored, even if the connection is lost before its deletion.
    if (runState_.IsNewMessage) ListNewMail(id, header.subject);
    const bool expired =
        !runState_.IsNewMessage && account.days != -1 && runState_.DuplicateAgeDays > account.days;
    if (!runState_.LeaveOnServer || expired) IgnoringRefusal(session, [&] { session.Delete(j); });
  } catch (const Pop3Error&) {
    throw;  // the connection is lost: the whole account ends
  } catch (const std::exception& error) {
    ++errorCount_;
    LogError(account.name, "Error Recv: message " + std::to_string(j) + "/" + std::to_string(count) +
                               " (Subject: " + header.subject + ", Date: " + header.date + "): " + error.what());
  }
}

void ReceiveEngine::ListNewMail(int id, const std::string& text) {
  // Only an account that brings new lines sets them apart: mail left on the server and mail too
  // large to take would otherwise add an empty line at every run.
  if (!separated_ && !view_.NewMailListEmpty()) view_.AddNewMail(-1, "");
  separated_ = true;
  view_.AddNewMail(id, text);
}

void ReceiveEngine::LogError(const std::string& account, const std::string& text) {
  WriteErrorLog(paths_.ErrorLog, account, text);
}

}  // namespace rirevar
