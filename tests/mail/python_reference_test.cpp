// Real-world messages read and stored in the database, compared with what Python's email package
// reads from the same files (tests/mail/python_email_reference.py).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/database.h"
#include "app/init_script.h"
#include "app/settings.h"
#include "receive/message_reader.h"
#include "receive/received_store.h"
#include "store_fixture.h"
#include "test_support.h"
#include "text/sjis_unicode.h"
#include "text/transfer_encoding.h"

namespace rirevar {
namespace {

using test::ReadFile;

std::string WithoutBreaks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

struct Part {
  std::string name;
  std::string content;
  bool sentAsLines = false;  // transferred as text lines (not base64)
};

struct Reading {
  std::string body;
  std::vector<Part> attachments;
};

// ---- What Python reads ----

Reading PythonReading(const std::string& path) {
  const std::string command =
      std::string("'") + RIREVAR_PYTHON3 + "' '" + RIREVAR_PYTHON_REFERENCE + "' '" + path + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  Reading reading;
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << command;
    return reading;
  }
  std::string output;
  char buffer[4096];
  while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, got);
  if (pclose(pipe.release()) != 0) ADD_FAILURE() << command << " failed";
  // "body B64" or "attachment B64 B64"; an empty text is an empty field.
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t blank = line.find(' '); blank != std::string::npos; blank = line.find(' ', start)) {
      fields.push_back(line.substr(start, blank - start));
      start = blank + 1;
    }
    fields.push_back(line.substr(start));
    if (fields[0] == "body" && fields.size() == 2) {
      reading.body = DecodeBase64(fields[1]);
    } else if (fields[0] == "attachment" && fields.size() == 3) {
      reading.attachments.push_back({DecodeBase64(fields[1]), DecodeBase64(fields[2]), false});
    } else {
      ADD_FAILURE() << "unexpected line from the script: " << line;
    }
  }
  return reading;
}

// ---- Allowed differences ----

// Line breaks as LF, without a final one. The line break before a boundary belongs to the
// boundary; Python drops it where the client does not (the end of a one-part message), and
// Python's text and quoted-printable decoding give LF where the message carries CR LF.
std::string Normalised(const std::string& text, bool dropFirstBreak) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  // A one-part body starts with the line break that ends the header, as designed.
  if (dropFirstBreak && !out.empty() && out.front() == '\n') out.erase(0, 1);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// Python's Japanese codecs give JIS X 0208 the Unicode of the JIS table; the client shows Shift-JIS
// as Windows does (code page 932). Both read the same JIS code.
std::string AsWindowsShows(std::string text) {
  static const std::pair<std::string, std::string> kPairs[] = {
      {"\u301C", "\uFF5E"}, {"\u2016", "\u2225"}, {"\u2212", "\uFF0D"},
      {"\u00A2", "\uFFE0"}, {"\u00A3", "\uFFE1"}, {"\u00AC", "\uFFE2"},
  };
  for (const auto& [jis, windows] : kPairs) {
    for (std::size_t at = text.find(jis); at != std::string::npos; at = text.find(jis, at + windows.size())) {
      text.replace(at, jis.size(), windows);
    }
  }
  return text;
}

// A "filename*=UTF-8''..." name (RFC 2231) is kept undecoded, as designed; decoding its percent
// escapes must give Python's name.
std::string Rfc2231Decoded(const std::string& name) {
  const std::string prefix = "UTF-8''";
  if (name.rfind(prefix, 0) != 0) return name;
  std::string out;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] == '%' && i + 2 < name.size()) {
      out.push_back(static_cast<char>(HexPairToByte(static_cast<unsigned char>(name[i + 1]),
                                                    static_cast<unsigned char>(name[i + 2]))));
      i += 2;
    } else {
      out.push_back(name[i]);
    }
  }
  return out;
}

// ---- The check ----

// Where two contents part, briefly; empty when they are equal.
std::string Difference(const std::string& ours, const std::string& theirs) {
  if (ours == theirs) return {};
  std::size_t at = 0;
  while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at]) ++at;
  return "stored " + std::to_string(ours.size()) + " bytes, Python " + std::to_string(theirs.size()) +
         ", first difference at byte " + std::to_string(at) + ": stored \"" + ours.substr(at, 16) +
         "\", Python \"" + theirs.substr(at, 16) + "\"";
}

struct RealWorldCase {
  std::string name;
};

class PythonReferenceTest : public test::ReceivedStoreTest, public testing::WithParamInterface<RealWorldCase> {
 protected:
  // Reads and stores the message as the receive engine does, then reads back what was stored.
  Reading StoreAndReadBack(const std::string& path, bool& onePart) {
    std::vector<std::string> lines = test::MessageLines(ReadFile(path));
    EXPECT_FALSE(lines.empty()) << path;
    const int id = NextMessageId(db_);
    const ReceivedHeader header = ReadMessageHeader(lines);
    onePart = !HeaderParam(header.contentType, "boundary") && header.transferEncoding != "base64";
    const auto store = NewStore(id);
    StoreMessageParts(header, lines, *store);
    store->Commit();

    Reading reading;
    const ResultSet mail = db_.Query("select body from mail where m_id=" + std::to_string(id));
    EXPECT_EQ(mail.RowCount(), 1);
    if (mail.RowCount() == 1) reading.body = SjisToUtf8(mail.Text(0, 0));
    const ResultSet rows = db_.Query("select filename,encode,rowfile from attachment where m_id=" +
                                     std::to_string(id) + " order by a_id");
    for (int row = 0; row < rows.RowCount(); ++row) {
      const std::string encode = rows.Text(row, "encode");
      const std::string file = ReadFile(AttachmentFilePath(tenpDir_, std::stoi(rows.Text(row, "rowfile"))));
      std::string content = file;
      if (encode == "base64") {
        content = DecodeBase64(WithoutBreaks(file));
      } else if (encode == "quoted-printable") {
        content = DecodeQuotedPrintable(file);
      }
      reading.attachments.push_back({SjisToUtf8(rows.Text(row, "filename")), content, encode != "base64"});
    }
    return reading;
  }

};

TEST_P(PythonReferenceTest, StoredMessageReadsAsPythonReadsIt) {
  const std::string path = std::string(RIREVAR_FIXTURES) + "/realworld/" + GetParam().name + ".eml";
  bool onePart = false;
  const Reading stored = StoreAndReadBack(path, onePart);
  const Reading python = PythonReading(path);

  EXPECT_EQ(Normalised(stored.body, onePart), Normalised(AsWindowsShows(python.body), false));
  ASSERT_EQ(stored.attachments.size(), python.attachments.size());
  for (std::size_t i = 0; i < stored.attachments.size(); ++i) {
    const Part& ours = stored.attachments[i];
    const Part& theirs = python.attachments[i];
    EXPECT_EQ(Rfc2231Decoded(ours.name), theirs.name) << "attachment " << i;
    // Content sent as text lines matches up to its line breaks; all other content byte for byte.
    const bool lines = ours.sentAsLines;
    EXPECT_EQ(Difference(lines ? Normalised(ours.content, false) : ours.content,
                         lines ? Normalised(theirs.content, false) : theirs.content),
              "")
        << "attachment " << i << " (" << theirs.name << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(RealWorld, PythonReferenceTest,
                         testing::Values(RealWorldCase{"iso_2022_jp_7bit_single_part"},
                                         RealWorldCase{"shift_jis_8bit_single_part"},
                                         RealWorldCase{"euc_jp_8bit_single_part"},
                                         RealWorldCase{"utf_8_base64_single_part"},
                                         RealWorldCase{"utf_8_quoted_printable_single_part"},
                                         RealWorldCase{"iso_2022_jp_text_and_pdf_with_encoded_name"},
                                         RealWorldCase{"utf_8_text_and_csv_quoted_printable"},
                                         RealWorldCase{"alternative_utf_8_plain_and_html"},
                                         RealWorldCase{"mixed_with_alternative_and_image"},
                                         RealWorldCase{"nested_mixed_inside_mixed"},
                                         RealWorldCase{"second_text_part_and_unnamed_parts"},
                                         RealWorldCase{"rfc_2231_file_name"}),
                         test::CaseName<RealWorldCase>);

}  // namespace
}  // namespace rirevar
