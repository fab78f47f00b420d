// What the text layer's test tables share: byte strings spelled exactly (Hex("82 A0 0D 0A"), with
// no escape pitfalls), bytes shown in failure messages, and case names for parameterised tables.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace rirevar::test {

inline std::string Hex(std::string_view spaced) {
  std::string out;
  int nibbles = 0;
  int value = 0;
  for (char c : spaced) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) {
      if (c != ' ') throw std::invalid_argument("Hex: not a hex digit");
      continue;
    }
    value = value * 16 + digit;
    if (++nibbles == 2) {
      out.push_back(static_cast<char>(value));
      nibbles = 0;
      value = 0;
    }
  }
  if (nibbles != 0) throw std::invalid_argument("Hex: odd number of digits");
  return out;
}

// "82 A0 0D 0A": failure messages show bytes, not mojibake.
inline std::string ToHex(std::string_view bytes) {
  std::string out;
  char cell[8];
  for (unsigned char c : bytes) {
    std::snprintf(cell, sizeof cell, out.empty() ? "%02X" : " %02X", c);
    out += cell;
  }
  return out;
}

// A message as the POP3 client hands it on: its lines without their CR LF.
inline std::vector<std::string> MessageLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Names each row of a parameterised table after its `name` field.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

}  // namespace rirevar::test
