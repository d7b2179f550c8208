#pragma once
// While a command runs, the notice box's texts go to the command's error stream, one line each
// (a lone carriage return in a notice breaks the line).

#include <ostream>
#include <string_view>

#include "framework/notice.h"

namespace cli {

class NoticeToStream {
  public:
    explicit NoticeToStream(std::ostream& err) {
        framework::SetNoticeHandler(
            [&err](std::string_view text) { err << framework::NoticeAsLines(text) << "\n"; });
    }
    ~NoticeToStream() { framework::SetNoticeHandler({}); }
    NoticeToStream(const NoticeToStream&) = delete;
    NoticeToStream& operator=(const NoticeToStream&) = delete;
};

}  // namespace cli
