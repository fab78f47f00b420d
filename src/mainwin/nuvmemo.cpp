#include "mainwin/nuvmemo.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/rirevar1.h"
#include "ui/font_mapping.h"

namespace rirevar {

TFrmMemo::TFrmMemo() {
  SetUpWindow(*this, "FrmMemo", QString(), WindowFrame::SizableToolOnTop, QSize(373, 260));
  Memo1 = new QPlainTextEdit;
  Memo1->setObjectName("Memo1");
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1Font.font.name = "Terminal";
  Memo1Font.font.height = -13;
  Memo1Font.font.size = 10;
  ApplyFont(*Memo1, Memo1Font.font, Memo1Font.color);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Memo1);

  const Settings& settings = FrmNuv->Settings;
  if (!settings.Value("MemoWidth").empty()) {
    RestoreBounds(*this, settings, {"MemoLeft", "MemoTop", "MemoWidth", "MemoHeight"});
    RestoreFont(*Memo1, Memo1Font, settings, "FrmMemoFont");
  }
}

}  // namespace rirevar
