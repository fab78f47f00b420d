#include "app/nuvdb.h"

#include "ui/window_settings.h"

namespace rirevar {

TFrmDb::TFrmDb() { SetUpWindow(*this, "FrmDb", QString::fromUtf8("ﾃﾞｰﾀﾍﾞｰｽ設定"), WindowFrame::FixedDialog, QSize(300, 200)); }

}  // namespace rirevar
