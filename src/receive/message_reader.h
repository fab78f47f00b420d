// Reading a received message: its header fields, and its body and attachments handed to a store.
// Depends only on the text layer, so that it can be fuzzed alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "receive/message_store.h"

namespace rirevar {

// The decoded value (Shift-JIS) of the first field called `name`, folded lines joined without a
// blank; empty when there is none.
[[nodiscard]] std::string HeaderField(std::string_view name, const std::vector<std::string>& headerLines);

// A parameter ("boundary", "filename") of a header value, quoted or not, in its own letter case.
[[nodiscard]] std::optional<std::string> HeaderParam(std::string_view value, std::string_view name);

// An RFC 5322 date (obsolete forms included) as local "yyyy-mm-dd hh:nn:ss";
// "1899-12-30 00:00:00" when unreadable.
[[nodiscard]] std::string MessageDateToLocal(std::string_view value);

// Moves the header lines out of `lines` (the empty line that ends them stays first) and reads the
// fields the system keeps.
[[nodiscard]] ReceivedHeader ReadMessageHeader(std::vector<std::string>& lines);

// Hands the body and the attachments of the message whose header has been read to `store`.
void StoreMessageParts(const ReceivedHeader& header, const std::vector<std::string>& lines, MessageStore& store);

}  // namespace rirevar
