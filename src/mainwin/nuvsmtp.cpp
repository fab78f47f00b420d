#include "mainwin/nuvsmtp.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmSmtp::TFrmSmtp() { SetUpWindow(*this, "FrmSmtp", QString::fromUtf8("SMTP・ﾒｰﾗｰ設定"), WindowFrame::FixedDialog, QSize(332, 218)); }

}  // namespace rirevar
