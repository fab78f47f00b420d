#include "mainwin/nuvinput.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmInput::TFrmInput() { SetUpWindow(*this, "FrmInput", QString(), WindowFrame::FixedDialog, QSize(165, 21)); }

}  // namespace rirevar
