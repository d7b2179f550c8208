#pragma once
// Tokens and numbers of the binary .x encoding: little-endian 16-bit token codes, some followed
// by a record (names, strings, integers, GUIDs, integer and float lists). Numbers are read one at
// a time across list boundaries, so a reader never depends on how a writer grouped them.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "gfx/xfile/xfile_token.h"

namespace gfx::xfile {

// Token codes of the binary encoding.
enum BinaryToken : std::uint16_t {
    kTokName = 1,
    kTokString = 2,
    kTokInteger = 3,
    kTokGuid = 5,
    kTokIntegerList = 6,
    kTokFloatList = 7,
    kTokOBrace = 10,
    kTokCBrace = 11,
    kTokOParen = 12,
    kTokCParen = 13,
    kTokOBracket = 14,
    kTokCBracket = 15,
    kTokOAngle = 16,
    kTokCAngle = 17,
    kTokDot = 18,
    kTokComma = 19,
    kTokSemicolon = 20,
    kTokTemplate = 31,
    kTokWord = 40,
    kTokDword = 41,
    kTokFloat = 42,
    kTokDouble = 43,
    kTokChar = 44,
    kTokUChar = 45,
    kTokSWord = 46,
    kTokSDword = 47,
    kTokVoid = 48,
    kTokLpstr = 49,
    kTokUnicode = 50,
    kTokCString = 51,
    kTokArray = 52,
};

class BinaryReader {
  public:
    static constexpr std::size_t kMinNumberBytes = 4;

    // floatBytes: 4 or 8, as the header's float size says.
    BinaryReader(std::span<const std::byte> data, int floatBytes)
        : data_(data), floatBytes_(static_cast<std::size_t>(floatBytes)) {}

    bool Next(Token& token);
    // Inline while inside an open list of the right kind, the common case of mesh data.
    bool ReadUInt(std::uint32_t& value) {
        if (list_ != List::kIntegers) return ReadUIntSlow(value);
        value = Dword(pos_);
        pos_ += 4;
        if (--listLeft_ == 0) list_ = List::kNone;
        return true;
    }
    bool ReadFloat(float& value) {
        if (list_ != List::kFloats || floatBytes_ != 4) return ReadFloatSlow(value);
        std::memcpy(&value, data_.data() + pos_, 4);
        pos_ += 4;
        if (--listLeft_ == 0) list_ = List::kNone;
        return true;
    }
    // The numbers left in the open integer list, 4 bytes each (empty when none is open), and
    // the bulk way past the first `count` of them: the fast path of ReadUInt over a run.
    std::span<const std::byte> IntsOpen() const {
        return list_ == List::kIntegers ? data_.subspan(pos_, std::size_t{listLeft_} * 4)
                                        : std::span<const std::byte>();
    }
    void SkipInts(std::size_t count) {
        pos_ += count * 4;
        listLeft_ -= static_cast<std::uint32_t>(count);
        if (listLeft_ == 0) list_ = List::kNone;
    }
    // Floats left in the open list when it holds 4-byte floats (the bulk path), else 0.
    std::size_t FloatsOpen() const {
        return list_ == List::kFloats && floatBytes_ == 4 ? listLeft_ : 0;
    }
    // Copies `count` floats, at most FloatsOpen(), from the open list to `out` at once.
    void TakeFloats(void* out, std::size_t count) {
        std::memcpy(out, data_.data() + pos_, count * 4);
        pos_ += count * 4;
        listLeft_ -= static_cast<std::uint32_t>(count);
        if (listLeft_ == 0) list_ = List::kNone;
    }
    bool ReadString(std::string_view& value);
    bool SkipGuid();
    bool SkipObject();

    Mark GetMark() const { return {pos_, 0}; }
    void Seek(Mark mark);
    std::size_t Remaining() const { return data_.size() - pos_; }
    // Offsets count from the start of the file, header included.
    std::string Where() const { return "byte " + std::to_string(pos_ + 16); }
    const std::string& Error() const { return error_; }

  private:
    enum class List { kNone, kIntegers, kFloats };

    bool ReadUIntSlow(std::uint32_t& value);
    bool ReadFloatSlow(float& value);
    bool Fail(std::string message);
    bool PeekWord(std::uint16_t& value) const;
    std::uint32_t Dword(std::size_t at) const {
        std::uint32_t value;
        std::memcpy(&value, data_.data() + at, 4);
        return value;  // the loader assumes a little-endian host
    }
    // Reads a record's count and checks that `count` items of `itemBytes` fit in the data.
    bool ReadCount(std::size_t itemBytes, std::uint32_t& count);
    bool ReadSizedText(std::string_view& text);
    bool SkipStringTerminator();
    bool OpenList(std::uint16_t token);
    bool SkipRecord(std::uint16_t token);
    std::string DescribeToken(std::uint16_t token) const;

    std::span<const std::byte> data_;
    std::size_t floatBytes_;
    std::size_t pos_ = 0;
    List list_ = List::kNone;
    std::uint32_t listLeft_ = 0;
    std::string error_;
};

}  // namespace gfx::xfile
