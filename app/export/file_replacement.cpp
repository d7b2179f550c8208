#include "app/export/file_replacement.h"

#include <filesystem>

namespace app {

namespace {

namespace fs = std::filesystem;

// One rename done, to be undone by renaming `to` back to `from`.
struct Done {
    std::string from, to;
};

}  // namespace

std::error_code RenameOnDisk(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(from, to, error);
    return error;
}

gfx::Status ReplaceFilesTogether(const std::vector<FileMove>& moves, const std::string& asideFolder,
                                 const RenameFile& rename) {
    std::vector<Done> done;
    std::string failure;
    for (std::size_t i = 0; i < moves.size() && failure.empty(); ++i) {
        const FileMove& move = moves[i];
        std::error_code error;
        const fs::file_status old = fs::symlink_status(move.to, error);
        if (fs::exists(old) && !fs::is_directory(old)) {
            const std::string aside = asideFolder + "/" + std::to_string(i);
            if (const std::error_code moved = rename(move.to, aside); moved) {
                failure = "cannot replace \"" + move.to + "\": " + moved.message();
                break;
            }
            done.push_back({move.to, aside});
        }
        if (const std::error_code placed = rename(move.from, move.to); placed) {
            failure = "cannot write \"" + move.to + "\": " + placed.message();
            break;
        }
        done.push_back({move.from, move.to});
    }
    if (failure.empty()) return {};

    for (auto step = done.rbegin(); step != done.rend(); ++step) {
        if (const std::error_code undone = rename(step->to, step->from); undone) {
            failure += "; \"" + step->from + "\" could not be put back (" + undone.message() +
                       ") and is now \"" + step->to + "\"";
        }
    }
    return gfx::Error{failure};
}

}  // namespace app
