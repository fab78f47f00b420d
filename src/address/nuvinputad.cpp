#include "address/nuvinputad.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmInputAd::TFrmInputAd() { SetUpWindow(*this, "FrmInputAd", QString(), WindowFrame::FixedDialog, QSize(232, 302)); }

}  // namespace rirevar
