#include "ui/window_settings.h"

#include <QAction>
#include <QEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <algorithm>
#include <QWidget>
#include <string>

#include "app/setting_values.h"
#include "ui/font_mapping.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

void SetUpWindow(QWidget& window, const char* objectName, const QString& caption, WindowFrame frame,
                 QSize designSize) {
  window.setObjectName(objectName);
  window.setWindowTitle(caption);
  Qt::WindowFlags flags = Qt::Window;
  switch (frame) {
    case WindowFrame::Sizable: break;
    case WindowFrame::SizableToolOnTop: flags = Qt::Tool | Qt::WindowStaysOnTopHint; break;
    case WindowFrame::SizableTool: flags = Qt::Tool; break;
    case WindowFrame::FixedDialog: flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
    case WindowFrame::FixedDialogOnTop:
      flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint;
      break;
  }
  window.setWindowFlags(flags);
  if (frame == WindowFrame::FixedDialog || frame == WindowFrame::FixedDialogOnTop) {
    window.setFixedSize(designSize);
  } else {
    window.resize(designSize);
  }
}

void RestoreBounds(QWidget& window, const Settings& settings, const BoundsKeys& keys) {
  const QRect now = window.geometry();
  window.resize(IntValue(settings, keys.width).value_or(now.width()),
                IntValue(settings, keys.height).value_or(now.height()));
  window.move(IntValue(settings, keys.left).value_or(window.x()),
              IntValue(settings, keys.top).value_or(window.y()));
}

void SaveBounds(const QWidget& window, Settings& settings, const BoundsKeys& keys) {
  settings.SetValue(keys.width, std::to_string(window.width()));
  settings.SetValue(keys.height, std::to_string(window.height()));
  settings.SetValue(keys.left, std::to_string(window.x()));
  settings.SetValue(keys.top, std::to_string(window.y()));
}

void SetWordWrap(QPlainTextEdit& editor, QAction& checkItem, bool wrap) {
  editor.setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  editor.setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  checkItem.setChecked(wrap);
}

void RestoreFont(QWidget& control, ControlFont& kept, const Settings& settings, std::string_view key) {
  if (const auto color = FontValue(settings, key, kept.font)) kept.color = *color;
  ApplyFont(control, kept.font, kept.color);
}

void SaveFont(const ControlFont& kept, Settings& settings, std::string_view key) {
  settings.SetValue(key, FontToText(kept.font, kept.color));
}

PaneSize::PaneSize(QSplitter& splitter, int designSize) : splitter_(splitter), wanted_(designSize) {
  splitter_.installEventFilter(this);
  connect(&splitter_, &QSplitter::splitterMoved, this,
          [this](int, int) { wanted_ = splitter_.sizes().value(0, wanted_); });
}

void PaneSize::Apply() {
  splitter_.setStretchFactor(0, 0);
  splitter_.setStretchFactor(1, 1);
  const int total = splitter_.orientation() == Qt::Horizontal ? splitter_.width() : splitter_.height();
  splitter_.setSizes({wanted_, std::max(1, total - wanted_ - splitter_.handleWidth())});
}

bool PaneSize::eventFilter(QObject* watched, QEvent* event) {
  // Until the splitter is first laid out it has no size to share out.
  if (watched == &splitter_ && event->type() == QEvent::Show) Apply();
  return false;
}

void PaneSize::Restore(const Settings& settings, std::string_view key) {
  wanted_ = IntValue(settings, key).value_or(wanted_);
  Apply();
}

void PaneSize::Save(Settings& settings, std::string_view key) const {
  settings.SetValue(key, std::to_string(wanted_));
}

}  // namespace rirevar
