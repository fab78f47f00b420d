#include "compose/nuvteikei.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmTeikei::TFrmTeikei() { SetUpWindow(*this, "FrmTeikei", QString::fromUtf8("定型文"), WindowFrame::FixedDialog, QSize(343, 182)); }

}  // namespace rirevar
