// The settings' fonts and colours on Qt widgets.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

#include "app/settings.h"

class QWidget;

namespace rirevar {

// A settings colour: 0x00BBGGRR, or 0xFF000000 + a system colour index, which maps to the
// application palette's role for it (window, window text, button face, highlight, ...).
[[nodiscard]] QColor ToQColor(std::int32_t color);
// The font a FontSpec shows: the height first (negative: character height in pixels), then the
// point size, which wins; a face the machine lacks shows with an installed Japanese font.
[[nodiscard]] QFont ToQFont(const FontSpec& font);
// Shows `font` on `widget`: its face and size, its colour as the text colour and `controlColor`
// as the background.
void ApplyFont(QWidget& widget, const FontSpec& font, std::int32_t controlColor);

}  // namespace rirevar
