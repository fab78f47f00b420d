#include "receive/nuvpop.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmPop::TFrmPop() { SetUpWindow(*this, "FrmPop", QString::fromUtf8("POP3設定"), WindowFrame::FixedDialog, QSize(320, 240)); }

}  // namespace rirevar
