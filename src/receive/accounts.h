// The POP3 accounts: one settings line each, keys "Pop" + 0, 1, 2, ... and values of eight "|"
// fields (name, host, user, scrambled password, port, APOP, leave on server, days).
#pragma once

#include <string>
#include <vector>

#include "app/settings.h"

namespace rirevar {

// The account records in key order. Keys after a gap (a hand-edited file) are taken too, in the
// order of their numbers, so that confirming the dialog does not lose them.
[[nodiscard]] std::vector<std::string> LoadAccounts(const Settings& settings);
// Writes the records back as "Pop" + 0 ... without gaps: lines beginning with "Pop" go first, a
// line that still matches a key without regard to case (the first start's "pop0") is replaced in
// place, and no other account line is left behind.
void SaveAccounts(Settings& settings, const std::vector<std::string>& accounts);

// The records of the lines that begin with "Pop" (exact case), in file order. The receive menu and
// the receive engine number the accounts by their position here.
[[nodiscard]] std::vector<std::string> AccountRecords(const Settings& settings);

}  // namespace rirevar
