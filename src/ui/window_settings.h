// Window frames as designed, and the geometry and fonts that windows keep in the settings.
#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string_view>

#include "app/settings.h"

class QAction;
class QPlainTextEdit;
class QSplitter;
class QWidget;

namespace rirevar {

enum class WindowFrame {
  Sizable,
  SizableToolOnTop,  // a tool window that stays on top of the others
  SizableTool,
  FixedDialog,
  FixedDialogOnTop,
};

// Names the window, sets its caption and frame, and gives it its design size (fixed dialogs
// keep it).
void SetUpWindow(QWidget& window, const char* objectName, const QString& caption, WindowFrame frame,
                 QSize designSize);

// The settings keys that keep a window's bounds.
struct BoundsKeys {
  std::string_view left;
  std::string_view top;
  std::string_view width;
  std::string_view height;
};

// Each bound that the settings hold as a number replaces the window's; the others keep theirs.
void RestoreBounds(QWidget& window, const Settings& settings, const BoundsKeys& keys);
void SaveBounds(const QWidget& window, Settings& settings, const BoundsKeys& keys);

// Word wrap of a text view with the check item that shows it: wrapped lines scroll vertically
// only, unwrapped ones both ways.
void SetWordWrap(QPlainTextEdit& editor, QAction& checkItem, bool wrap);

// A control's font and background colour as the settings keep them, so that what was read is
// written back unchanged (character set included).
struct ControlFont {
  FontSpec font;
  std::int32_t color = static_cast<std::int32_t>(0xFF000005);  // window background
};

// Shows `kept` on `control`, after taking the font string of `key` into it when the settings
// hold one.
void RestoreFont(QWidget& control, ControlFont& kept, const Settings& settings, std::string_view key);
void SaveFont(const ControlFont& kept, Settings& settings, std::string_view key);

// The first pane of a two-pane splitter: its size along the splitter as read from the settings or
// set by the user moving the splitter, so that a window never shown still writes back what it read.
// The first pane keeps its size when the window is resized, as a docked pane does.
class PaneSize : public QObject {
 public:
  PaneSize(QSplitter& splitter, int designSize);
  // Call once both panes are in the splitter.
  void Apply();
  void Restore(const Settings& settings, std::string_view key);
  void Save(Settings& settings, std::string_view key) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QSplitter& splitter_;
  int wanted_;
};

}  // namespace rirevar
