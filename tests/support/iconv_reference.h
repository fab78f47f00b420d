// glibc iconv as an independent reference, for the agreement tests and the benchmark.
#pragma once

#include <iconv.h>

#include <cerrno>

#include <optional>
#include <string>
#include <string_view>

namespace rirevar::test {

class IconvReference {
 public:
  IconvReference(const char* from, const char* to) : cd_(iconv_open(to, from)) {}
  ~IconvReference() {
    if (ok()) iconv_close(cd_);
  }
  IconvReference(const IconvReference&) = delete;
  IconvReference& operator=(const IconvReference&) = delete;

  [[nodiscard]] bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // The whole text converted, or nothing when any of it has no conversion.
  std::optional<std::string> operator()(std::string_view text) {
    if (!ok()) return std::nullopt;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() * 2 + 16, '\0');
    std::size_t used = 0;
    // One call of iconv, growing the output while it says it is full; false on any other failure.
    auto convert = [&](char** in, std::size_t* inLeft) {
      while (true) {
        char* dst = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(cd_, in, inLeft, &dst, &outLeft);
        used = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) return true;
        if (errno != E2BIG) return false;
        out.resize(out.size() * 2);
      }
    };
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    // The text, then the return to the initial shift state.
    if (!convert(&in, &inLeft) || !convert(nullptr, nullptr)) return std::nullopt;
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace rirevar::test
