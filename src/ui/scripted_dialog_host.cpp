#include "ui/scripted_dialog_host.h"

#include <QDialog>
#include <iterator>
#include <stdexcept>
#include <string>

#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

using Answer = ScriptedDialogHost::Answer;

// The names of the answer kinds, in the order of the alternatives of Answer.
constexpr const char* kAnswerKinds[] = {"a button", "a file name", "a modal action", "a font", "a colour"};
static_assert(std::size(kAnswerKinds) == std::variant_size_v<Answer>);

std::string Describe(const RecordedPrompt& prompt) {
  std::string description = prompt.kind.toStdString();
  if (!prompt.caption.isEmpty()) description += " \"" + prompt.caption.toStdString() + "\"";
  if (!prompt.text.isEmpty()) description += ": " + prompt.text.toStdString();
  return description;
}

Answer Next(std::deque<Answer>& answers, const RecordedPrompt& prompt) {
  if (answers.empty()) throw std::logic_error("unexpected " + Describe(prompt) + " (no answer queued)");
  Answer answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

[[noreturn]] void WrongKind(const RecordedPrompt& prompt, const Answer& answer, const char* expected) {
  throw std::logic_error(Describe(prompt) + " was answered with " + kAnswerKinds[answer.index()] + ", not " + expected);
}

// A font or colour choice takes its value, or the Cancel button.
bool IsCancel(const Answer& answer) {
  const auto* button = std::get_if<DialogAnswer>(&answer);
  return button != nullptr && *button == DialogAnswer::Cancel;
}

}  // namespace

DialogAnswer ScriptedDialogHost::MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                                            MessageIcon icon) {
  const RecordedPrompt prompt{"message", text, caption, buttons, icon};
  prompts_.push_back(prompt);
  const Answer answer = Next(answers_, prompt);
  if (const auto* button = std::get_if<DialogAnswer>(&answer)) return *button;
  WrongKind(prompt, answer, kAnswerKinds[0]);
}

int ScriptedDialogHost::ShowModal(QDialog& dialog) {
  const RecordedPrompt prompt{"modal", {}, dialog.windowTitle()};
  prompts_.push_back(prompt);
  const Answer answer = Next(answers_, prompt);
  const auto* action = std::get_if<ModalAction>(&answer);
  if (action == nullptr) WrongKind(prompt, answer, kAnswerKinds[2]);
  // Shown as exec() would show it, so that what the dialog does on showing runs before the action.
  dialog.show();
  const int result = (*action)(dialog);
  // An action that leaves the dialog open closes it the way the user would, with its result.
  if (dialog.isVisible()) dialog.done(result);
  return result;
}

std::optional<QString> ScriptedDialogHost::OpenFileName(const QString& caption, const QString& directory,
                                                        const QString&) {
  const RecordedPrompt prompt{"open", directory, caption};
  prompts_.push_back(prompt);
  const Answer answer = Next(answers_, prompt);
  if (const auto* fileName = std::get_if<std::optional<QString>>(&answer)) return *fileName;
  WrongKind(prompt, answer, kAnswerKinds[1]);
}

std::optional<QString> ScriptedDialogHost::SaveFileName(const QString& caption, const QString& suggested,
                                                        const QString&) {
  const RecordedPrompt prompt{"save", suggested, caption};
  prompts_.push_back(prompt);
  const Answer answer = Next(answers_, prompt);
  if (const auto* fileName = std::get_if<std::optional<QString>>(&answer)) return *fileName;
  WrongKind(prompt, answer, kAnswerKinds[1]);
}

bool ScriptedDialogHost::ChooseFont(FontSpec& font) {
  const RecordedPrompt prompt{"font", ToQ(font.name), {}};
  prompts_.push_back(prompt);
  const Answer answer = Next(answers_, prompt);
  if (IsCancel(answer)) return false;
  const auto* chosen = std::get_if<FontSpec>(&answer);
  if (chosen == nullptr) WrongKind(prompt, answer, kAnswerKinds[3]);
  font = *chosen;
  return true;
}

std::optional<std::int32_t> ScriptedDialogHost::ChooseColor(std::int32_t initial) {
  const RecordedPrompt prompt{"colour", QString::number(initial), {}};
  prompts_.push_back(prompt);
  const Answer answer = Next(answers_, prompt);
  if (IsCancel(answer)) return std::nullopt;
  const auto* chosen = std::get_if<std::int32_t>(&answer);
  if (chosen == nullptr) WrongKind(prompt, answer, kAnswerKinds[4]);
  return *chosen;
}

}  // namespace rirevar
