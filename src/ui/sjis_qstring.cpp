#include "ui/sjis_qstring.h"

#include "text/sjis_unicode.h"

namespace rirevar {

QString ToQ(const std::string& sjis) { return QString::fromStdU16String(SjisToUtf16(sjis)); }

std::string FromQ(const QString& text) { return Utf16ToSjis(text.toStdU16String()); }

}  // namespace rirevar
