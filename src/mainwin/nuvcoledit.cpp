#include "mainwin/nuvcoledit.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmColEdit::TFrmColEdit() { SetUpWindow(*this, "FrmColEdit", QString::fromUtf8("表示ｶﾗﾑ"), WindowFrame::Sizable, QSize(203, 262)); }

}  // namespace rirevar
