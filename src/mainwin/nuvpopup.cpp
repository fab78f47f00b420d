#include "mainwin/nuvpopup.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmPopup::TFrmPopup() { SetUpWindow(*this, "FrmPopup", QString::fromUtf8("ﾎﾟｯﾌﾟｱｯﾌﾟ"), WindowFrame::FixedDialogOnTop, QSize(547, 87)); }

}  // namespace rirevar
