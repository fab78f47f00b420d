#include "mainwin/nuvnew.h"

#include "app/rirevar1.h"
#include "ui/window_settings.h"

namespace rirevar {

TFrmNew::TFrmNew() {
  SetUpWindow(*this, "FrmNew", QString::fromUtf8("新着ﾒｰﾙ"), WindowFrame::SizableTool, QSize(172, 232));
  const Settings& settings = FrmNuv->Settings;
  if (!settings.Value("NewWidth").empty()) {
    RestoreBounds(*this, settings, {"NewLeft", "NewTop", "NewWidth", "NewHeight"});
  }
}

}  // namespace rirevar
