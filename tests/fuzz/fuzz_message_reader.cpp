#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "receive/message_reader.h"

namespace {

class Recorder : public rirevar::MessageStore {
 public:
  explicit Recorder(bool duplicate) : duplicate_(duplicate) {}
  bool StoreReceived(const rirevar::ReceivedHeader&, const std::string& body) override {
    ++stored;
    bytes += body.size();
    return !duplicate_;
  }
  void StoreAttachment(const std::string& name, const std::string&, const std::string& content) override {
    // Attachments are handed on only after the message itself was stored.
    if (stored == 0) __builtin_trap();
    bytes += name.size() + content.size();
  }
  void Progress(int percent) override {
    if (percent < 0 || percent > 100) __builtin_trap();
  }

  int stored = 0;
  std::size_t bytes = 0;

 private:
  bool duplicate_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool duplicate = data[0] & 1;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  const rirevar::ReceivedHeader header = rirevar::ReadMessageHeader(lines);
  Recorder store(duplicate);
  rirevar::StoreMessageParts(header, lines, store);
  // Every message is stored exactly once.
  if (store.stored != 1) __builtin_trap();
  return 0;
}
