#pragma once
// The one notice box for the user, and the one question. The editor installs a handler that shows a
// message box; without one (headless) the text goes to standard error as a line. A lone carriage
// return in the text breaks a line.

#include <functional>
#include <string_view>

namespace framework {

using NoticeHandler = std::function<void(std::string_view text)>;

// Replaces the handler; an empty one restores the standard-error line.
void SetNoticeHandler(NoticeHandler handler);
void ShowMessage(std::string_view text);

// The one three-way question of the editor: Yes, No or Cancel. The editor installs a box;
// without one (headless) every question is answered No, which leaves things as they are.
enum class Answer { kYes, kNo, kCancel };
using QuestionHandler = std::function<Answer(std::string_view question)>;
void SetQuestionHandler(QuestionHandler handler);
Answer AskQuestion(std::string_view question);

// The text as plain lines: every lone carriage return becomes a line feed.
std::string NoticeAsLines(std::string_view text);

}  // namespace framework
