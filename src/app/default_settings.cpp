#include "app/default_settings.h"

#include "text/sjis_unicode.h"

namespace rirevar {

void WriteDefaultSettings(Settings& settings, const std::string& directory) {
  settings.SetValue("pop0", "default|pop.example.invalid|||110|0|0|");
  settings.SetValue("MaxMailSize", "2048");
  settings.SetValue("SmtpPort", "25");
  settings.SetValue("ColAddress", "name|email|tel|company|belong");
  settings.SetValue("ColAddressSize", "59|141|82|53|64");
  settings.SetValue("Interval", "15");
  settings.SetValue("TempDir", directory + "log");
  settings.SetValue("TenpDir", directory + "tenp");
  settings.SetValue("Caption", "nuv");
  settings.SetValue("Div0", Utf8ToSjisTyped("subject like '%リンゴ%' or subject like '%バナナ%' >> 5"));
  settings.SetValue("QuickSave", directory);
  WriteDefaultMailColumns(settings);
}

void WriteDefaultMailColumns(Settings& settings) {
  settings.SetValue("ColMail", "subject|mailfrom|date|size|name");
  settings.SetValue("ColMailSize", "354|186|112|55|30");
}

}  // namespace rirevar
