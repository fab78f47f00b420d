// The user's rules for received mail, kept in the settings: sorting rules ("Div" lines: an SQL
// condition, ">>", and a folder number or a popup target) and delete filters ("DelFilter" + n).
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/database.h"
#include "app/settings.h"

namespace rirevar {

// A rule that cannot be applied: its target is neither a folder number nor a popup target.
class SortingRuleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Gets the message id and subject of a message a popup rule announces.
using PopupSeam = std::function<void(int id, const std::string& subject)>;

// Runs the "Div" rules in file order on message `id`: popup rules hand their match to `popup`;
// the first move rule that changes the row ends the scan. An SQL error in a condition throws
// DatabaseError, a target that is no number SortingRuleError.
void ApplySortingRules(Connection& connection, const Settings& settings, int id, const PopupSeam& popup);

// Whether a delete filter ("DelFilter1", "DelFilter2", … up to the first empty one) occurs in the
// subject; a match starts on a character, never on the second byte of a double-byte character.
[[nodiscard]] bool MatchesDeleteFilter(const Settings& settings, std::string_view subject);

// How the new-mail window lists a message a delete filter removed: "★" + subject.
[[nodiscard]] std::string DeleteFilteredEntry(std::string_view subject);

}  // namespace rirevar
