#include "framework/notice.h"

#include <cstdio>
#include <string>

namespace framework {

namespace {
NoticeHandler& Handler() {
    static NoticeHandler handler;
    return handler;
}
QuestionHandler& Questions() {
    static QuestionHandler handler;
    return handler;
}
}  // namespace

void SetQuestionHandler(QuestionHandler handler) {
    Questions() = std::move(handler);
}

Answer AskQuestion(std::string_view question) {
    return Questions() ? Questions()(question) : Answer::kNo;
}

void SetNoticeHandler(NoticeHandler handler) {
    Handler() = std::move(handler);
}

std::string NoticeAsLines(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool loneReturn = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
        lines.push_back(loneReturn ? '\n' : text[i]);
    }
    return lines;
}

void ShowMessage(std::string_view text) {
    if (Handler()) {
        Handler()(text);
    } else {
        const std::string lines = NoticeAsLines(text) + "\n";
        std::fwrite(lines.data(), 1, lines.size(), stderr);
    }
}

}  // namespace framework
