// What the reading of a received message hands on: its header fields, its body and its
// attachments, to a store (the database, or a recorder in tests and fuzzing).
#pragma once

#include <string>

namespace rirevar {

// The header fields the system keeps, decoded to Shift-JIS.
struct ReceivedHeader {
  std::string subject;
  std::string from;
  std::string to;
  std::string cc;
  std::string replyTo;
  // Local date and time as "yyyy-mm-dd hh:nn:ss"; "1899-12-30 00:00:00" when unreadable.
  std::string date = "1899-12-30 00:00:00";
  int priority = 3;
  std::string contentType;
  std::string transferEncoding;  // lower case
  // The header lines as received, each followed by CR LF.
  std::string rawHeader;
};

class MessageStore {
 public:
  virtual ~MessageStore() = default;
  // Stores the message with its body (Shift-JIS). False when it is already stored (a duplicate of
  // a message left on the server): reading stops there.
  virtual bool StoreReceived(const ReceivedHeader& header, const std::string& body) = 0;
  // One attachment as transferred (not decoded); `encoding` is its transfer encoding, lower case.
  virtual void StoreAttachment(const std::string& name, const std::string& encoding, const std::string& content) = 0;
  // Every 512 lines of a long message: keep the server's connection alive and show how far.
  virtual void Progress(int percent) = 0;
};

}  // namespace rirevar
