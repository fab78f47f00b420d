#include "mainwin/nuvpopup.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "app/settings.h"
#include "ui/font_mapping.h"
#include "ui/window_settings.h"

namespace rirevar {

TFrmPopup::TFrmPopup() {
  SetUpWindow(*this, "FrmPopup", QString::fromUtf8("ﾎﾟｯﾌﾟｱｯﾌﾟ"), WindowFrame::FixedDialogOnTop, QSize(547, 87));
  ListBox1 = new QListWidget;
  ListBox1->setObjectName("ListBox1");
  ListBox1->setFrameShape(QFrame::NoFrame);
  FontSpec font;
  font.height = -15;
  font.size = 0;
  font.color = 0x00FF0000;  // blue
  QFont shown = ToQFont(font);
  shown.setBold(true);
  ListBox1->setFont(shown);
  QPalette palette = ListBox1->palette();
  palette.setColor(QPalette::Base, ToQColor(static_cast<std::int32_t>(0xFF00000F)));  // button face
  palette.setColor(QPalette::Text, ToQColor(font.color));
  ListBox1->setPalette(palette);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListBox1);
}

void TFrmPopup::ClearIfHidden() {
  if (isVisible()) return;
  ListBox1->clear();
  MailIds.clear();
}

void TFrmPopup::AddEntry(int mailId, const QString& text) {
  MailIds.push_back(std::to_string(mailId));
  ListBox1->addItem(text);
}

}  // namespace rirevar
