#include "files/part_file.h"

#include <cmath>
#include <cstdint>

#include "files/document_io.h"
#include "files/file_messages.h"
#include "files/number_text.h"
#include "files/pose_line.h"
#include "files/text_field.h"
#include "files/text_lines.h"
#include "framework/debug_log.h"
#include "framework/display_text.h"
#include "model/part_tree.h"

namespace files {

namespace {

using model::kMaxParts;
using model::PartTable;

// 6N + 22 lines, none longer than the reader takes: nothing further is needed from a file.
constexpr std::size_t kMaxPartFileBytes = (6 * kMaxParts + 22) * (kMaxLineLength + kLineEnd.size());

bool ValidCount(long long count) {
    return count >= 0 && count <= kMaxParts;
}
bool ValidParent(long long parent, int count) {
    return parent >= -1 && parent < count;
}
bool ValidLevel(long long level, int count) {
    return level >= 0 && level < count;
}

std::optional<float> ParseScale(std::string_view text) {
    text = TrimBlanks(text);
    const auto number = ParseNumberPrefix(text);
    if (!number || !(number->value > 0)) return std::nullopt;
    text.remove_prefix(number->length);
    if (!text.empty() && (text.front() == 'f' || text.front() == 'F')) text.remove_prefix(1);
    if (!TrimBlanks(text).empty()) return std::nullopt;
    return number->value;
}

}  // namespace

// A scale too small for six decimals would be written as zero and refused on reading.
bool IsWritableScale(float scale) {
    std::string text;
    AppendScale(text, scale);
    return std::isfinite(scale) && ParseScale(text).has_value();
}

namespace {

bool Finite(const gfx::Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool Finite(const gfx::Quat& q) {
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

std::string PartFault(const PartTable& table, int i) {
    const std::string part = "part " + std::to_string(i) + ": ";
    if (std::string fault = TextFieldFault(FieldText(table.name[i]), kMaxNameBytes);
        !fault.empty()) {
        return part + "name " + fault;
    }
    if (std::string fault = TextFieldFault(FieldText(table.path[i]), kMaxPathBytes);
        !fault.empty()) {
        return part + "path " + fault;
    }
    if (!ValidParent(table.parent[i], table.count)) return part + "parent index out of range";
    if (!ValidLevel(table.level[i], table.count)) return part + "level out of range";
    if (!Finite(table.defaultPosition[i])) return part + "position is not finite";
    if (!Finite(table.defaultOrientation[i])) return part + "orientation is not finite";
    return {};
}

std::string TableFault(const PartTable& table) {
    if (!ValidCount(table.count)) return "part count is outside 0 to 100";
    if (!IsWritableScale(table.scale)) return std::string(kScaleRule);
    for (int i = 0; i < table.count; ++i) {
        if (std::string fault = PartFault(table, i); !fault.empty()) return fault;
    }
    return model::TreeFault(table);
}

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += kLineEnd;
}

void AppendDeclaration(std::string& out, std::string_view type, std::string_view name, int count,
                       std::string_view fieldSize) {
    out += type;
    out += ' ';
    out += name;
    out += '[' + std::to_string(count) + ']';
    out += fieldSize;
    AppendLine(out, " = {");
}

void AppendClosing(std::string& out) {
    AppendLine(out, "};");
    AppendLine(out, "");
}

std::string FormatValidTable(const PartTable& table) {
    const int n = table.count;
    std::string out;
    out.reserve(static_cast<std::size_t>(n) * 600 + 200);
    AppendLine(out, "short g_meshCount = " + std::to_string(n) + ";");
    AppendLine(out, "");
    out += "float g_scale = ";
    AppendScale(out, table.scale);
    AppendLine(out, ";");
    AppendLine(out, "");

    AppendDeclaration(out, "char", "g_name", n, "[64]");
    for (int i = 0; i < n; ++i)
        AppendLine(out, "\t\"" + std::string(FieldText(table.name[i])) + "\",");
    AppendClosing(out);
    AppendDeclaration(out, "char", "g_path", n, "[256]");
    for (int i = 0; i < n; ++i)
        AppendLine(out, "\t\"" + std::string(FieldText(table.path[i])) + "\",");
    AppendClosing(out);
    AppendDeclaration(out, "short", "g_parents", n, "");
    for (int i = 0; i < n; ++i) {
        AppendLine(out, "\t" + std::to_string(table.parent[i]) + ",\t// " +
                            std::string(FieldText(table.name[i])) + "\",");
    }
    AppendClosing(out);
    AppendDeclaration(out, "short", "g_level", n, "");
    for (int i = 0; i < n; ++i) {
        AppendLine(out, "\t" + std::to_string(table.level[i]) + ",\t// " +
                            std::string(FieldText(table.name[i])) + "\",");
    }
    AppendClosing(out);
    AppendDeclaration(out, "VEC3", "g_posDef", n, "");
    for (int i = 0; i < n; ++i) {
        out += '\t';
        AppendVectorText(out, table.defaultPosition[i]);
        AppendLine(out, ",\t// " + std::string(FieldText(table.name[i])));
    }
    AppendClosing(out);
    AppendDeclaration(out, "QUAT", "g_quaDef", n, "");
    for (int i = 0; i < n; ++i) {
        out += '\t';
        AppendQuaternionText(out, table.defaultOrientation[i]);
        AppendLine(out, ",\t// " + std::string(FieldText(table.name[i])));
    }
    AppendClosing(out);
    return out;
}

// One array: the blank line and the declaration line (not used), `count` entry lines read with
// `parseEntry(line, i)`, and the closing line.
template <typename ParseEntry>
bool ReadArray(LineReader& lines, int count, ParseEntry parseEntry) {
    if (!lines.Skip(2)) return false;
    for (int i = 0; i < count; ++i) {
        if (!lines.Next() || !parseEntry(lines.Line(), i)) return false;
    }
    return ReadClosingLine(lines);
}

// The text between the first two double quotes, into a field cleared first.
bool ReadQuoted(LineReader& lines, std::string_view line, std::span<char> field,
                std::size_t maxBytes, std::string_view what) {
    const auto text = TextBetween(line, '"', '"');
    if (!text) return lines.Fail(std::string(what) + ": fewer than two double quotes");
    // Only a comma may follow the closing quote (and a comment). Anything else is most likely
    // a C escape such as \" inside the text: taking the text up to that quote would keep a
    // part of the name, and the file written back would no longer compile.
    std::string_view after =
        line.substr(static_cast<std::size_t>(text->data() - line.data()) + text->size() + 1);
    after = TrimBlanks(after);
    if (!after.empty() && after.front() == ',') after = TrimBlanks(after.substr(1));
    if (!after.empty() && !after.starts_with("//")) {
        return lines.Fail(std::string(what) +
                          ": text after the closing double quote (a quote or escape within the "
                          "text is not supported)");
    }
    if (std::string fault = TextFieldFault(*text, maxBytes); !fault.empty()) {
        return lines.Fail(std::string(what) + " " + fault);
    }
    model::PartTable::SetField(field, *text);
    return true;
}

// "\t<integer>,\t// comment": the integer before the first comma, if `valid(integer, count)`.
template <typename T>
bool ReadIndex(LineReader& lines, std::string_view line, bool (*valid)(long long, int), int count,
               std::string_view what, T& value) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
        return lines.Fail(std::string(what) + ": no ',' after the number");
    }
    const auto number = ParseInteger(line.substr(0, comma));
    if (!number) return lines.Fail(std::string(what) + " is not an integer");
    if (!valid(*number, count)) return lines.Fail(std::string(what) + " out of range");
    value = static_cast<T>(*number);
    return true;
}

bool ReadPartLines(LineReader& lines, PartTable& table) {
    if (!lines.Next()) return false;
    const auto countText = TextBetween(lines.Line(), '=', ';');
    if (!countText) return lines.Fail("no '=' and ';' around the part count");
    const auto count = ParseInteger(*countText);
    if (!count) return lines.Fail("the part count is not an integer");
    if (!ValidCount(*count)) return lines.Fail("the part count is outside 0 to 100");
    table.count = static_cast<std::int16_t>(*count);
    const int n = table.count;

    if (!lines.Skip(1) || !lines.Next()) return false;
    const auto scaleText = TextBetween(lines.Line(), '=', ';');
    if (!scaleText) return lines.Fail("no '=' and ';' around the scale");
    const auto scale = ParseScale(*scaleText);
    if (!scale) return lines.Fail("the scale is not a positive finite number");
    // What could not be written back is not taken either: the model could never be saved.
    if (!IsWritableScale(*scale)) return lines.Fail(std::string(kScaleRule));
    table.scale = *scale;

    // The closing line of g_quaDef ends what is read; the last blank line may be missing.
    return ReadArray(lines, n,
                     [&](std::string_view line, int i) {
                         return ReadQuoted(lines, line, table.name[i], kMaxNameBytes, "name");
                     }) &&
           ReadArray(lines, n,
                     [&](std::string_view line, int i) {
                         return ReadQuoted(lines, line, table.path[i], kMaxPathBytes, "path");
                     }) &&
           ReadArray(lines, n,
                     [&](std::string_view line, int i) {
                         return ReadIndex(lines, line, ValidParent, n, "parent index",
                                          table.parent[i]);
                     }) &&
           ReadArray(lines, n,
                     [&](std::string_view line, int i) {
                         return ReadIndex(lines, line, ValidLevel, n, "level", table.level[i]);
                     }) &&
           ReadArray(lines, n,
                     [&](std::string_view line, int i) {
                         auto position = ParseVectorLine(line);
                         if (!position) return lines.Fail(position.error());
                         table.defaultPosition[i] = *position;
                         return true;
                     }) &&
           ReadArray(lines, n, [&](std::string_view line, int i) {
               auto orientation = ParseQuaternionLine(line);
               if (!orientation) return lines.Fail(orientation.error());
               table.defaultOrientation[i] = *orientation;
               return true;
           });
}

// The reason the bytes do not read, or empty. A table whose parents and levels do not form a
// depth-first tree is refused as well: every later step walks parent links and subtree runs.
std::string ParseFault(std::string_view bytes, PartTable& table) {
    LineReader lines(bytes);
    if (!ReadPartLines(lines, table)) {
        // An animation file opened in its place says so, rather than what its first line lacks.
        if (bytes.substr(0, bytes.find('\n')).find("g_frameCount") != std::string_view::npos) {
            return lines.Fault() + " (an animation file, not a part file)";
        }
        return lines.Fault();
    }
    return model::TreeFault(table);
}

}  // namespace

gfx::Result<std::string> FormatPartFile(const PartTable& table) {
    if (std::string fault = TableFault(table); !fault.empty()) {
        framework::LogMessage("Part file not written: %s\n", fault.c_str());
        return WriteFailed();
    }
    return FormatValidTable(table);
}

gfx::Status WritePartFile(const std::string& path, const PartTable& table) {
    auto text = FormatPartFile(table);
    if (!text) return WriteFailed();
    if (gfx::Status written = ReplaceFile(path, *text); !written) {
        framework::LogMessage("Part file not written: %s\n", written.error().c_str());
        return WriteFailed();
    }
    return {};
}

gfx::Status ParsePartFile(std::string_view bytes, PartTable& table) {
    if (std::string fault = ParseFault(bytes, table); !fault.empty()) {
        framework::LogMessage("Part file not read: %s\n", fault.c_str());
        return ReadFailed();
    }
    return {};
}

gfx::Status ReadPartFile(const std::string& path, PartTable& table) {
    auto bytes = ReadDocumentBytes(path, kMaxPartFileBytes);
    if (!bytes) {
        framework::LogMessage("Part file \"%s\" not read: %s\n",
                              framework::DisplayText(path).c_str(), bytes.error().c_str());
        return ReadFailedAt(path, bytes.error());
    }
    if (std::string fault = ParseFault(*bytes, table); !fault.empty()) {
        framework::LogMessage("Part file \"%s\" not read: %s\n",
                              framework::DisplayText(path).c_str(), fault.c_str());
        return ReadFailedAt(path, fault);
    }
    return {};
}

}  // namespace files
