// Generated tables (tools/gen_sjis_tables.py writes sjis_tables.cpp; never edit that by hand).
#pragma once

#include <cstdint>

namespace rirevar {

// One UTF-16 unit to a Shift-JIS code: 256 pages by the unit's high byte (nullptr: no page),
// each 256 codes by its low byte. 0 means no Shift-JIS character.
extern const std::uint16_t* const UnicodeToSjisPages[256];

// JIS X 0212 kanji rows 0x30-0x6D by cells 0x21-0x7E, row-major: the Shift_JIS-2004 code of the
// same character where JIS X 0213 carries it, else 0.
constexpr int kJis0212FirstRow = 0x30;
constexpr int kJis0212Rows = 62;
constexpr int kJis0212Cells = 94;
extern const std::uint16_t Jis0212Table[kJis0212Rows * kJis0212Cells];

}  // namespace rirevar
