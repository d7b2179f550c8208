#include "files/animation_file.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "files/document_io.h"
#include "files/file_messages.h"
#include "files/pose_line.h"
#include "files/text_field.h"
#include "files/text_lines.h"
#include "framework/debug_log.h"
#include "framework/display_text.h"

namespace files {

namespace {

using model::AnimationSet;
using model::kMaxKeys;
using model::kMaxParts;
using model::PartTable;

// 2nc + 2n + 6 lines, none longer than the reader takes: nothing further is needed from a file.
constexpr std::size_t kMaxAnimationFileBytes =
    (2 * kMaxKeys * kMaxParts + 2 * kMaxKeys + 6) * (kMaxLineLength + kLineEnd.size());

bool ValidPartCount(int count) {
    return count >= 0 && count <= kMaxParts;
}

bool Finite(const gfx::Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool Finite(const gfx::Quat& q) {
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

std::string AnimationFault(const AnimationSet& animation, const PartTable& parts, int keys) {
    if (!ValidPartCount(parts.count)) return "part count is outside 0 to 100";
    for (int j = 0; j < parts.count; ++j) {
        // Names appear only in comments, where a double quote does no harm.
        if (std::string fault = CommentTextFault(FieldText(parts.name[j]), kMaxNameBytes);
            !fault.empty()) {
            return "name of part " + std::to_string(j) + " " + fault;
        }
    }
    for (int k = 0; k < keys; ++k) {
        for (int j = 0; j < parts.count; ++j) {
            if (!Finite(animation.keyOrientation[k][j]) || !Finite(animation.keyPosition[k][j])) {
                return "key " + std::to_string(k + 1) + ", part " + std::to_string(j) +
                       ": value is not finite";
            }
        }
    }
    return {};
}

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += kLineEnd;
}

// Entries key by key, a blank line between key groups, then the closing line and a blank line.
template <typename AppendEntry>
void AppendKeyGroups(std::string& out, int keys, int partCount, AppendEntry appendEntry) {
    for (int k = 0; k < keys; ++k) {
        if (k > 0) AppendLine(out, "");
        for (int j = 0; j < partCount; ++j) appendEntry(k, j);
    }
    AppendLine(out, "};");
    AppendLine(out, "");
}

std::string FormatValidAnimation(const AnimationSet& animation, const PartTable& parts, int keys) {
    const int c = parts.count;
    const std::string sizes = "[" + std::to_string(keys) + "][" + std::to_string(c) + "] = {";
    std::string out;
    out.reserve(static_cast<std::size_t>(keys) * static_cast<std::size_t>(c) * 200 + 300);

    out += "short g_frameCount[" + std::to_string(keys) + "] = {";
    for (int k = 0; k < keys; ++k) {
        if (k > 0) out += ", ";
        out += std::to_string(animation.frameCount[k]);
    }
    AppendLine(out, "};");
    AppendLine(out, "");

    AppendLine(out, "QUAT g_qua" + sizes);
    AppendKeyGroups(out, keys, c, [&](int k, int j) {
        out += '\t';
        AppendQuaternionText(out, animation.keyOrientation[k][j]);
        out += ",\t// ";
        AppendLine(out, FieldText(parts.name[j]));
    });
    AppendLine(out, "VEC3 g_pos" + sizes);
    AppendKeyGroups(out, keys, c, [&](int k, int j) {
        out += '\t';
        AppendVectorText(out, animation.keyPosition[k][j]);
        out += ",\t\t// ";
        AppendLine(out, FieldText(parts.name[j]));
    });
    return out;
}

// "short g_frameCount[n] = {a, b, ...};": n between the brackets, the counts after the brace.
bool ReadFrameCounts(LineReader& lines, AnimationSet& animation, int& keys) {
    if (!lines.Next()) return false;
    const std::string_view line = lines.Line();
    const auto keysText = TextBetween(line, '[', ']');
    if (!keysText) return lines.Fail("no '[' and ']' around the number of keys");
    const auto keyCount = ParseInteger(*keysText);
    if (!keyCount) return lines.Fail("the number of keys is not an integer");
    if (*keyCount < 1 || *keyCount > kMaxKeys) {
        return lines.Fail("the number of keys is outside 1 to 16");
    }
    keys = static_cast<int>(*keyCount);
    const std::size_t brace = line.find('{');
    if (brace == std::string_view::npos) return lines.Fail("no '{' before the frame counts");
    std::string_view rest = line.substr(brace + 1);
    for (int k = 0; k < keys; ++k) {
        const auto key = [k] { return "frame count " + std::to_string(k + 1); };
        const char end = k + 1 < keys ? ',' : '}';
        const std::size_t at = rest.find(end);
        if (at == std::string_view::npos) {
            return lines.Fail(key() + " is not followed by '" + end + "'");
        }
        const auto count = ParseInteger(rest.substr(0, at));
        if (!count || *count < std::numeric_limits<std::int16_t>::min() ||
            *count > std::numeric_limits<std::int16_t>::max()) {
            return lines.Fail(key() + " is not a 16-bit integer");
        }
        animation.frameCount[k] = static_cast<std::int16_t>(*count);
        rest.remove_prefix(at + 1);
    }
    return true;
}

// Reads `keys` groups of `partCount` entries with `parseEntry(line, k, j)`, checking the blank
// lines between the groups and the closing line, which may only be left out at the end of the
// file when `closingOptional`. A file written for another part count fails on these checks.
template <typename ParseEntry>
bool ReadKeyGroups(LineReader& lines, int keys, int partCount, bool closingOptional,
                   ParseEntry parseEntry) {
    for (int k = 0; k < keys; ++k) {
        for (int j = 0; j < partCount; ++j) {
            if (!lines.Next()) return false;
            const std::string_view line = lines.Line();
            const auto entry = [k, j] {
                return "key " + std::to_string(k + 1) + ", part " + std::to_string(j) + ": ";
            };
            if (IsBlankLine(line) || IsClosingLine(line)) {
                return lines.Fail(entry() +
                                  "found a blank or closing line (the file has fewer "
                                  "parts than the open model?)");
            }
            if (std::string fault = parseEntry(line, k, j); !fault.empty()) {
                return lines.Fail(entry() + fault);
            }
        }
        if (k + 1 < keys) {
            if (!lines.Next()) return false;
            if (!IsBlankLine(lines.Line())) {
                return lines.Fail("expected the blank line after key " + std::to_string(k + 1) +
                                  " (the file has more parts than the open model?)");
            }
        }
    }
    if (closingOptional && lines.AtEnd()) return true;
    return ReadClosingLine(lines);
}

bool ReadAnimationLines(LineReader& lines, int partCount, AnimationSet& animation) {
    int keys = 0;
    if (!ReadFrameCounts(lines, animation, keys)) return false;
    if (!lines.Skip(2)) return false;  // blank line, g_qua declaration
    if (!ReadKeyGroups(lines, keys, partCount, false,
                       [&](std::string_view line, int k, int j) -> std::string {
                           auto q = ParseQuaternionLine(line);
                           if (!q) return q.error();
                           animation.keyOrientation[k][j] = *q;
                           return {};
                       })) {
        return false;
    }
    if (!lines.Skip(2)) return false;  // blank line, g_pos declaration
    // Nothing after the last position entry is needed; a closing line there is checked.
    return ReadKeyGroups(lines, keys, partCount, true,
                         [&](std::string_view line, int k, int j) -> std::string {
                             auto v = ParseVectorLine(line);
                             if (!v) return v.error();
                             animation.keyPosition[k][j] = *v;
                             return {};
                         });
}

// Clears the set and reads the bytes into it; the reason of a failure, or empty.
std::string ParseFault(std::string_view bytes, int partCount, AnimationSet& animation) {
    animation.ClearAnimation();
    if (!ValidPartCount(partCount)) {
        return "the open model's part count " + std::to_string(partCount) + " is outside 0 to 100";
    }
    LineReader lines(bytes);
    if (ReadAnimationLines(lines, partCount, animation)) return {};
    if (bytes.substr(0, bytes.find('\n')).find("g_meshCount") != std::string_view::npos) {
        return lines.Fault() + " (a part file, not an animation file)";
    }
    return lines.Fault();
}

}  // namespace

gfx::Result<std::string> FormatAnimationFile(const AnimationSet& animation,
                                             const PartTable& parts) {
    const int keys = animation.KeysInUse();
    if (keys == 0) return std::string();
    if (std::string fault = AnimationFault(animation, parts, keys); !fault.empty()) {
        framework::LogMessage("Animation file not written: %s\n", fault.c_str());
        return WriteFailed();
    }
    return FormatValidAnimation(animation, parts, keys);
}

gfx::Result<AnimationWrite> WriteAnimationFile(const std::string& path,
                                               const AnimationSet& animation,
                                               const PartTable& parts) {
    if (animation.KeysInUse() == 0) return AnimationWrite::kEmpty;
    auto text = FormatAnimationFile(animation, parts);
    if (!text) return WriteFailed();
    if (gfx::Status written = ReplaceFile(path, *text); !written) {
        framework::LogMessage("Animation file not written: %s\n", written.error().c_str());
        return WriteFailed();
    }
    return AnimationWrite::kWritten;
}

gfx::Status ParseAnimationFile(std::string_view bytes, int partCount, AnimationSet& animation) {
    if (std::string fault = ParseFault(bytes, partCount, animation); !fault.empty()) {
        animation.frameCount[0] = 0;
        framework::LogMessage("Animation file not read: %s\n", fault.c_str());
        return ReadFailed();
    }
    return {};
}

gfx::Status ReadAnimationFile(const std::string& path, int partCount, AnimationSet& animation) {
    auto bytes = ReadDocumentBytes(path, kMaxAnimationFileBytes);
    if (!bytes) {
        animation.frameCount[0] = 0;
        framework::LogMessage("Animation file \"%s\" not read: %s\n",
                              framework::DisplayText(path).c_str(), bytes.error().c_str());
        return ReadFailedAt(path, bytes.error());
    }
    if (std::string fault = ParseFault(*bytes, partCount, animation); !fault.empty()) {
        animation.frameCount[0] = 0;
        framework::LogMessage("Animation file \"%s\" not read: %s\n",
                              framework::DisplayText(path).c_str(), fault.c_str());
        return ReadFailedAt(path, fault);
    }
    return {};
}

}  // namespace files
