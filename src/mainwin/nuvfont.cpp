#include "mainwin/nuvfont.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmFont::TFrmFont() { SetUpWindow(*this, "FrmFont", QString::fromUtf8("文字"), WindowFrame::FixedDialog, QSize(217, 68)); }

}  // namespace rirevar
