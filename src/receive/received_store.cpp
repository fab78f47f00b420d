#include "receive/received_store.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>

#include "app/local_time.h"

namespace rirevar {
namespace {

// The date goes into statements between quotes, so only the exact form is let through.
bool IsDateText(const std::string& text) {
  static const char kForm[] = "0000-00-00 00:00:00";
  if (text.size() != sizeof kForm - 1) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kForm[i] == '0' ? !digit : text[i] != kForm[i]) return false;
  }
  return true;
}

// Seconds of a wall-clock date and time counted as if it were UTC: differences are those of the
// calendar and the clock, whatever daylight saving did in between.
std::int64_t WallSeconds(int year, int month, int day, int hour, int minute, int second) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                      std::chrono::day{static_cast<unsigned>(day)}};
  return date.time_since_epoch().count() * std::int64_t{86400} + hour * 3600 + minute * 60 + second;
}

// Whole days (truncated towards zero) from a stored "yyyy-mm-dd hh:nn:ss" to now.
int DaysSince(const std::string& stored) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(stored.c_str(), "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6) {
    throw StoreError("unreadable regdate: " + stored);
  }
  const std::tm now = LocalNow();
  const std::int64_t seconds =
      WallSeconds(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec) -
      WallSeconds(year, month, day, hour, minute, second);
  return static_cast<int>(seconds / 86400);
}

}  // namespace

int NextMessageId(Connection& connection) {
  const ResultSet rows = connection.Query("select max(m_id) from mail");
  const std::string value = rows.RowCount() > 0 ? rows.Text(0, 0) : "";
  return value.empty() ? 1 : std::stoi(value) + 1;
}

int AddAttachment(Connection& connection, int id, const std::string& name, const std::string& encoding) {
  const ResultSet rows = connection.Query("select max(rowfile) from attachment");
  const std::string value = rows.RowCount() > 0 ? rows.Text(0, 0) : "";
  const int rowfile = (value.empty() ? 0 : std::stoi(value)) + 1;
  connection.Execute("insert into attachment (m_id,filename,encode,rowfile) values (" + std::to_string(id) + "," +
                     SqlText(name) + "," + SqlText(encoding) + "," + std::to_string(rowfile) + ")");
  return rowfile;
}

std::string AttachmentFilePath(const std::string& tenpDir, int rowfile) {
  return tenpDir + "/" + std::to_string(rowfile);
}

void WriteAttachmentFile(const std::string& tenpDir, int rowfile, const std::string& content) {
  const std::string path = AttachmentFilePath(tenpDir, rowfile);
  errno = 0;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  file.close();
  if (!file) {
    const int error = errno;
    throw StoreError("cannot write the attachment file " + path + (error != 0 ? ": " + std::string(std::strerror(error)) : ""));
  }
}

void WriteHeaderLog(std::ostream& log, int id, const std::string& headerText) {
  log << "**" << id << "**\r\n" << headerText << "\r\n";
  log.flush();
  if (!log) throw StoreError("cannot write the header log");
}

ReceivedStore::ReceivedStore(Connection& connection, ReceiveRunState& runState, const Settings& settings,
                             std::string tenpDir, std::ostream& headerLog, int id, PopupSeam popup,
                             ProgressSeam progress)
    : connection_(connection),
      runState_(runState),
      settings_(settings),
      tenpDir_(std::move(tenpDir)),
      headerLog_(headerLog),
      id_(id),
      popup_(std::move(popup)),
      progress_(std::move(progress)) {}

ReceivedStore::~ReceivedStore() { Rollback(); }

bool ReceivedStore::StoreReceived(const ReceivedHeader& header, const std::string& body) {
  if (open_) throw std::logic_error("StoreReceived called twice for one message");
  if (!IsDateText(header.date)) throw StoreError("not a date: " + header.date);
  if (runState_.LeaveOnServer) {
    const ResultSet copies = connection_.Query("select m_id,regdate from mail where date='" + header.date +
                                               "' and subject=" + SqlText(header.subject) +
                                               " and mailfrom=" + SqlText(header.from));
    if (copies.RowCount() > 0) {
      runState_.DuplicateAgeDays = DaysSince(copies.Text(0, "regdate"));
      runState_.IsNewMessage = false;
      return false;
    }
  }
  try {
    StoreMessage(header, body);
  } catch (...) {
    Rollback();
    throw;
  }
  return true;
}

void ReceivedStore::StoreMessage(const ReceivedHeader& header, const std::string& body) {
  connection_.Execute("start transaction");
  open_ = true;
  const std::string idText = std::to_string(id_);
  const std::vector<std::string> pieces = SqlTextChunks(body);
  connection_.Execute(
      "insert into mail (m_id,d_id,flag,s_id,mailfrom,recipients,cc,replyto,date,subject,priority,body,size,regdate) "
      "values (" +
      idText + ",1,0,1," + SqlText(header.from) + "," + SqlText(header.to) + "," + SqlText(header.cc) + "," +
      SqlText(header.replyTo) + ",'" + header.date + "'," + SqlText(header.subject) + ",'" +
      std::to_string(header.priority) + "'," + pieces[0] + "," + std::to_string(body.size()) + ",'" +
      DateTimeText(LocalNow()) + "')");
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    connection_.Execute("update mail set body=concat(body," + pieces[i] + ") where m_id=" + idText);
  }
  headerText_ = header.rawHeader;
  ApplySortingRules(connection_, settings_, id_,
                    [this](int id, const std::string& subject) { popupEntries_.push_back({id, subject}); });
}

void ReceivedStore::StoreAttachment(const std::string& name, const std::string& encoding, const std::string& content) {
  if (!open_) throw std::logic_error("StoreAttachment without a stored message");
  try {
    StoreAttachmentFile(name, encoding, content);
  } catch (...) {
    Rollback();
    throw;
  }
}

void ReceivedStore::StoreAttachmentFile(const std::string& name, const std::string& encoding,
                                        const std::string& content) {
  const int rowfile = AddAttachment(connection_, id_, name, encoding);
  // Remembered before writing: a half-written file goes too.
  files_.push_back(AttachmentFilePath(tenpDir_, rowfile));
  WriteAttachmentFile(tenpDir_, rowfile, content);
  connection_.Execute("update mail set size=size+" + std::to_string(content.size()) +
                      ",flag=1 where m_id=" + std::to_string(id_));
}

void ReceivedStore::Progress(int percent) {
  if (progress_) progress_(percent);
}

void ReceivedStore::Commit() {
  if (!open_) return;
  try {
    // Before the commit: an entry whose message is rolled back would later be taken for the
    // header of the next message, which gets the same id.
    if (!headerText_.empty()) WriteHeaderLog(headerLog_, id_, headerText_);
    connection_.Execute("commit");
  } catch (...) {
    Rollback();
    throw;
  }
  open_ = false;
  files_.clear();
  std::vector<PopupEntry> entries;
  entries.swap(popupEntries_);
  if (popup_) {
    for (const PopupEntry& entry : entries) popup_(entry.id, entry.subject);
  }
}

void ReceivedStore::Rollback() noexcept {
  if (open_) {
    try {
      connection_.Execute("rollback");
    } catch (...) {
      // A lost connection: the server discards the open transaction by itself.
    }
    open_ = false;
  }
  for (const std::string& path : files_) std::remove(path.c_str());
  files_.clear();
  popupEntries_.clear();
  headerText_.clear();
}

}  // namespace rirevar
