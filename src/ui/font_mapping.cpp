#include "ui/font_mapping.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>
#include <array>
#include <optional>

#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

struct PaletteColor {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

constexpr std::uint32_t kSystemColorBase = 0xFF000000u;
constexpr QPalette::ColorGroup kActive = QPalette::Active;

// The palette role nearest to each system colour index; the indices without one stay empty.
constexpr std::array<std::optional<PaletteColor>, 31> kSystemColors = {{
    PaletteColor{kActive, QPalette::Button},           // 0 scroll bar
    PaletteColor{kActive, QPalette::Dark},             // 1 desktop
    PaletteColor{kActive, QPalette::Highlight},        // 2 active caption
    PaletteColor{kActive, QPalette::Mid},              // 3 inactive caption
    PaletteColor{kActive, QPalette::Window},           // 4 menu
    PaletteColor{kActive, QPalette::Base},             // 5 window
    PaletteColor{kActive, QPalette::Shadow},           // 6 window frame
    PaletteColor{kActive, QPalette::WindowText},       // 7 menu text
    PaletteColor{kActive, QPalette::WindowText},       // 8 window text
    PaletteColor{kActive, QPalette::HighlightedText},  // 9 caption text
    PaletteColor{kActive, QPalette::Button},           // 10 active border
    PaletteColor{kActive, QPalette::Button},           // 11 inactive border
    PaletteColor{kActive, QPalette::Mid},              // 12 application workspace
    PaletteColor{kActive, QPalette::Highlight},        // 13 highlight
    PaletteColor{kActive, QPalette::HighlightedText},  // 14 highlight text
    PaletteColor{kActive, QPalette::Button},           // 15 button face
    PaletteColor{kActive, QPalette::Dark},             // 16 button shadow
    PaletteColor{QPalette::Disabled, QPalette::Text},  // 17 grey text
    PaletteColor{kActive, QPalette::ButtonText},       // 18 button text
    PaletteColor{kActive, QPalette::WindowText},       // 19 inactive caption text
    PaletteColor{kActive, QPalette::Light},            // 20 button highlight
    PaletteColor{kActive, QPalette::Shadow},           // 21 3D dark shadow
    PaletteColor{kActive, QPalette::Midlight},         // 22 3D light
    PaletteColor{kActive, QPalette::ToolTipText},      // 23 info text
    PaletteColor{kActive, QPalette::ToolTipBase},      // 24 info background
    std::nullopt,                                      // 25 unused
    PaletteColor{kActive, QPalette::Link},             // 26 hot light
    PaletteColor{kActive, QPalette::Highlight},        // 27 gradient of the active caption
    PaletteColor{kActive, QPalette::Mid},              // 28 gradient of the inactive caption
    PaletteColor{kActive, QPalette::Highlight},        // 29 menu highlight
    PaletteColor{kActive, QPalette::Window},           // 30 menu bar
}};

QColor SystemColor(std::uint32_t value) {
  const QPalette palette = QGuiApplication::palette();
  if ((value & 0xFF000000u) == kSystemColorBase) {
    const std::uint32_t index = value - kSystemColorBase;
    if (index < kSystemColors.size() && kSystemColors[index]) {
      return palette.color(kSystemColors[index]->group, kSystemColors[index]->role);
    }
  }
  return palette.color(kActive, QPalette::WindowText);
}

// The fixed-width Japanese faces of the settings; text laid out in them (tables, quoted art)
// needs the fixed-width fallback.
bool FixedWidthFace(const QString& name) {
  return name == u"ＭＳ ゴシック" || name == u"ＭＳ 明朝" || name == u"MS Gothic" || name == u"MS Mincho";
}

}  // namespace

QColor ToQColor(std::int32_t color) {
  const auto value = static_cast<std::uint32_t>(color);
  if (color < 0) return SystemColor(value);
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

QFont ToQFont(const FontSpec& font) {
  // The Windows face names the settings carry are rarely installed here; the IPA fonts cover
  // the same characters, proportional (IPAPGothic) or fixed-width (IPAGothic).
  const QString name = ToQ(font.name);
  const QString proportional = QStringLiteral("IPAPGothic");
  const QString fixedWidth = QStringLiteral("IPAGothic");
  QFont result;
  result.setFamilies(FixedWidthFace(name) ? QStringList{name, fixedWidth, proportional}
                                          : QStringList{name, proportional, fixedWidth});
  if (font.height != 0) result.setPixelSize(font.height < 0 ? -font.height : font.height);
  if (font.size > 0) result.setPointSize(font.size);
  return result;
}

void ApplyFont(QWidget& widget, const FontSpec& font, std::int32_t controlColor) {
  widget.setFont(ToQFont(font));
  QPalette palette = widget.palette();
  const QColor text = ToQColor(font.color);
  const QColor background = ToQColor(controlColor);
  palette.setColor(QPalette::Text, text);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Base, background);
  palette.setColor(QPalette::Window, background);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

}  // namespace rirevar
