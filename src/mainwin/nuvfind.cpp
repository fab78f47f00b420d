#include "mainwin/nuvfind.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmFind::TFrmFind() { SetUpWindow(*this, "FrmFind", QString::fromUtf8("検索"), WindowFrame::FixedDialog, QSize(420, 32)); }

}  // namespace rirevar
