#include "gfx/xfile/xfile_binary_reader.h"

#include <cstring>

namespace gfx::xfile {

bool BinaryReader::Fail(std::string message) {
    error_ = std::move(message);
    return false;
}

void BinaryReader::Seek(Mark mark) {
    pos_ = mark.pos;
    list_ = List::kNone;
    listLeft_ = 0;
}

bool BinaryReader::PeekWord(std::uint16_t& value) const {
    if (data_.size() - pos_ < 2) return false;
    value = static_cast<std::uint16_t>(std::to_integer<unsigned>(data_[pos_]) |
                                       std::to_integer<unsigned>(data_[pos_ + 1]) << 8);
    return true;
}

bool BinaryReader::ReadCount(std::size_t itemBytes, std::uint32_t& count) {
    if (Remaining() < 4) return Fail("record cut short at " + Where());
    count = Dword(pos_);
    pos_ += 4;
    if (count > Remaining() / itemBytes) {
        return Fail("record at " + Where() + " claims " + std::to_string(count) + " items of " +
                    std::to_string(itemBytes) + " bytes, only " + std::to_string(Remaining()) +
                    " bytes remain");
    }
    return true;
}

bool BinaryReader::ReadSizedText(std::string_view& text) {
    std::uint32_t length = 0;
    if (!ReadCount(1, length)) return false;
    text = {reinterpret_cast<const char*>(data_.data()) + pos_, length};
    pos_ += length;
    return true;
}

// A string record ends with a separator token; a separator written as a 32-bit value leaves a
// zero word behind, which no token uses, so it is skipped too.
bool BinaryReader::SkipStringTerminator() {
    std::uint16_t word = 0;
    if (!PeekWord(word) || (word != kTokSemicolon && word != kTokComma)) return true;
    pos_ += 2;
    if (PeekWord(word) && word == 0) pos_ += 2;
    return true;
}

std::string BinaryReader::DescribeToken(std::uint16_t token) const {
    switch (token) {
        case kTokName:
            return "a name";
        case kTokString:
            return "a string";
        case kTokInteger:
            return "an integer";
        case kTokGuid:
            return "a GUID";
        case kTokIntegerList:
            return "an integer list";
        case kTokFloatList:
            return "a float list";
        case kTokOBrace:
            return "'{'";
        case kTokCBrace:
            return "'}'";
        case kTokTemplate:
            return "'template'";
        default:
            return "token " + std::to_string(token);
    }
}

bool BinaryReader::OpenList(std::uint16_t token) {
    const bool floats = token == kTokFloatList;
    std::uint32_t count = 0;
    if (!ReadCount(floats ? floatBytes_ : 4, count)) return false;
    list_ = count == 0 ? List::kNone : (floats ? List::kFloats : List::kIntegers);
    listLeft_ = count;
    return true;
}

// Moves past the record of a token whose code was already consumed.
bool BinaryReader::SkipRecord(std::uint16_t token) {
    std::string_view text;
    std::uint32_t count = 0;
    switch (token) {
        case kTokName:
            return ReadSizedText(text);
        case kTokString:
            return ReadSizedText(text) && SkipStringTerminator();
        case kTokInteger:
            if (Remaining() < 4) return Fail("integer cut short at " + Where());
            pos_ += 4;
            return true;
        case kTokGuid:
            if (Remaining() < 16) return Fail("GUID cut short at " + Where());
            pos_ += 16;
            return true;
        case kTokIntegerList:
        case kTokFloatList: {
            const std::size_t itemBytes = token == kTokFloatList ? floatBytes_ : 4;
            if (!ReadCount(itemBytes, count)) return false;
            pos_ += count * itemBytes;
            return true;
        }
        default:
            break;
    }
    const bool standAlone = (token >= kTokOBrace && token <= kTokSemicolon) ||
                            token == kTokTemplate || (token >= kTokWord && token <= kTokArray);
    if (!standAlone) {
        pos_ -= 2;
        return Fail("unknown binary token " + std::to_string(token) + " at " + Where());
    }
    return true;
}

bool BinaryReader::Next(Token& token) {
    if (listLeft_ > 0) {
        token = {TokenKind::kNumber, {}};
        return true;
    }
    for (;;) {
        std::uint16_t code = 0;
        if (!PeekWord(code)) {
            if (Remaining() == 1) return Fail("stray byte at the end of the data, " + Where());
            token = {TokenKind::kEnd, {}};
            return true;
        }
        pos_ += 2;
        switch (code) {
            case kTokName:
            case kTokString: {
                std::string_view text;
                if (!ReadSizedText(text)) return false;
                if (code == kTokString) SkipStringTerminator();
                token = {code == kTokName ? TokenKind::kName : TokenKind::kString, text};
                return true;
            }
            case kTokGuid:
            case kTokComma:
            case kTokSemicolon:
                if (!SkipRecord(code)) return false;
                continue;
            case kTokInteger:
            case kTokIntegerList:
            case kTokFloatList:
                if (!SkipRecord(code)) return false;
                token = {TokenKind::kNumber, {}};
                return true;
            case kTokOBrace:
                token = {TokenKind::kOBrace, "{"};
                return true;
            case kTokCBrace:
                token = {TokenKind::kCBrace, "}"};
                return true;
            case kTokTemplate:
                token = {TokenKind::kTemplate, "template"};
                return true;
            default:
                if (!SkipRecord(code)) return false;
                token = {TokenKind::kOther, {}};
                return true;
        }
    }
}

bool BinaryReader::ReadUIntSlow(std::uint32_t& value) {
    for (;;) {
        if (listLeft_ > 0) {
            if (list_ != List::kIntegers) {
                return Fail("expected an integer at " + Where() + ", found a float list");
            }
            value = Dword(pos_);
            pos_ += 4;
            if (--listLeft_ == 0) list_ = List::kNone;
            return true;
        }
        std::uint16_t code = 0;
        if (!PeekWord(code)) {
            return Fail("expected an integer at " + Where() + ", found the end of the data");
        }
        if (code == kTokInteger) {
            pos_ += 2;
            if (Remaining() < 4) return Fail("integer cut short at " + Where());
            value = Dword(pos_);
            pos_ += 4;
            return true;
        }
        if (code == kTokIntegerList) {
            pos_ += 2;
            if (!OpenList(code)) return false;
        } else if (code == kTokSemicolon || code == kTokComma) {
            pos_ += 2;
        } else {
            return Fail("expected an integer at " + Where() + ", found " + DescribeToken(code));
        }
    }
}

bool BinaryReader::ReadFloatSlow(float& value) {
    for (;;) {
        if (listLeft_ > 0) {
            if (list_ != List::kFloats) {
                return Fail("expected a float at " + Where() + ", found an integer list");
            }
            if (floatBytes_ == 8) {
                double wide = 0;
                std::memcpy(&wide, data_.data() + pos_, 8);
                value = static_cast<float>(wide);
            } else {
                std::memcpy(&value, data_.data() + pos_, 4);
            }
            pos_ += floatBytes_;
            if (--listLeft_ == 0) list_ = List::kNone;
            return true;
        }
        std::uint16_t code = 0;
        if (!PeekWord(code)) {
            return Fail("expected a float at " + Where() + ", found the end of the data");
        }
        if (code == kTokFloatList) {
            pos_ += 2;
            if (!OpenList(code)) return false;
        } else if (code == kTokSemicolon || code == kTokComma) {
            pos_ += 2;
        } else {
            return Fail("expected a float at " + Where() + ", found " + DescribeToken(code));
        }
    }
}

bool BinaryReader::ReadString(std::string_view& value) {
    for (;;) {
        std::uint16_t code = 0;
        if (listLeft_ > 0 || !PeekWord(code)) {
            return Fail("expected a string at " + Where());
        }
        pos_ += 2;
        if (code == kTokString) return ReadSizedText(value) && SkipStringTerminator();
        if (code != kTokSemicolon && code != kTokComma) {
            pos_ -= 2;
            return Fail("expected a string at " + Where() + ", found " + DescribeToken(code));
        }
    }
}

bool BinaryReader::SkipGuid() {
    std::uint16_t code = 0;
    if (listLeft_ == 0 && PeekWord(code) && code == kTokGuid) {
        pos_ += 2;
        return SkipRecord(code);
    }
    return true;
}

bool BinaryReader::SkipObject() {
    // Numbers left in an open list belong to the skipped object.
    pos_ += listLeft_ * (list_ == List::kFloats ? floatBytes_ : 4);
    list_ = List::kNone;
    listLeft_ = 0;
    const std::size_t start = pos_;
    int depth = 1;
    while (depth > 0) {
        std::uint16_t code = 0;
        if (!PeekWord(code)) {
            pos_ = start;
            return Fail("object opened before " + Where() + " is not closed before the end");
        }
        pos_ += 2;
        if (code == kTokOBrace) {
            ++depth;
        } else if (code == kTokCBrace) {
            --depth;
        } else if (!SkipRecord(code)) {
            return false;
        }
    }
    return true;
}

}  // namespace gfx::xfile
