// The dialog host of tests: records every prompt and answers from a queue.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "ui/dialog_host.h"

namespace rirevar {

struct RecordedPrompt {
  QString kind;  // "message", "modal", "open", "save", "font", "colour"
  QString text;
  QString caption;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
};

class ScriptedDialogHost : public DialogHost {
 public:
  // An answer: a button, a file name (or none: cancelled), a callback that fills a modal dialog
  // and returns its result code, a font, a colour. The Cancel button also cancels a font or colour.
  using ModalAction = std::function<int(QDialog&)>;
  using Answer = std::variant<DialogAnswer, std::optional<QString>, ModalAction, FontSpec, std::int32_t>;

  void Push(Answer answer) { answers_.push_back(std::move(answer)); }
  [[nodiscard]] const std::vector<RecordedPrompt>& Prompts() const { return prompts_; }

  DialogAnswer MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override;
  int ShowModal(QDialog& dialog) override;
  std::optional<QString> OpenFileName(const QString& caption, const QString& directory, const QString& filter) override;
  std::optional<QString> SaveFileName(const QString& caption, const QString& suggested, const QString& filter) override;
  bool ChooseFont(FontSpec& font) override;
  std::optional<std::int32_t> ChooseColor(std::int32_t initial) override;

 private:
  std::deque<Answer> answers_;
  std::vector<RecordedPrompt> prompts_;
};

}  // namespace rirevar
