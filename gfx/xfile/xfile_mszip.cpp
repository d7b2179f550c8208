#include "gfx/xfile/xfile_mszip.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "gfx/xfile/xfile_header.h"

namespace gfx::xfile {

namespace {

std::uint32_t Le16(std::span<const std::byte> bytes, std::size_t at) {
    return std::to_integer<std::uint32_t>(bytes[at]) | std::to_integer<std::uint32_t>(bytes[at + 1])
                                                           << 8;
}

std::uint32_t Le32(std::span<const std::byte> bytes, std::size_t at) {
    return Le16(bytes, at) | Le16(bytes, at + 2) << 16;
}

// Owns a raw-deflate inflater for the duration of one decompression.
class Inflater {
  public:
    Inflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (ok_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool ok() const { return ok_; }
    z_stream& stream() { return stream_; }

  private:
    z_stream stream_{};
    bool ok_ = false;
};

// File offsets in messages count from the start of the file, header included.
std::string At(std::size_t offset) {
    return "byte " + std::to_string(offset + kHeaderSize);
}

}  // namespace

Result<std::vector<std::byte>> InflateMsZip(std::span<const std::byte> in) {
    if (in.size() < 4) return Error{"compressed .x file ends before its size field"};
    const std::uint32_t declared = Le32(in, 0);
    if (declared < kHeaderSize) {
        return Error{"compressed .x file declares an inflated size of " + std::to_string(declared) +
                     " bytes, less than its own header"};
    }
    const std::size_t bodySize = declared - kHeaderSize;

    Inflater inflater;
    if (!inflater.ok()) return Error{"cannot start the deflate decoder"};
    z_stream& z = inflater.stream();

    std::vector<std::byte> out;
    std::size_t pos = 4;
    for (int chunk = 0; pos < in.size(); ++chunk) {
        const std::string which = "compressed chunk " + std::to_string(chunk) + " at " + At(pos);
        if (in.size() - pos < 6) return Error{which + " is cut short"};
        const std::uint32_t inflatedSize = Le16(in, pos);
        const std::uint32_t storedSize = Le16(in, pos + 2);
        if (in[pos + 4] != std::byte{'C'} || in[pos + 5] != std::byte{'K'}) {
            return Error{which + " lacks the 'CK' signature"};
        }
        if (inflatedSize == 0 || inflatedSize > kMsZipMaxChunk) {
            return Error{which + " claims to inflate to " + std::to_string(inflatedSize) +
                         " bytes (1 to 32768 allowed)"};
        }
        if (out.size() + inflatedSize > bodySize) {
            return Error{which + " inflates past the declared size of " + std::to_string(declared) +
                         " bytes"};
        }
        const std::size_t dataStart = pos + 6;
        const std::size_t available = std::min<std::size_t>(storedSize, in.size() - dataStart);

        if (inflateReset(&z) != Z_OK) return Error{which + ": deflate decoder failed"};
        if (!out.empty()) {
            const std::size_t history = std::min(out.size(), kMsZipMaxChunk);
            if (inflateSetDictionary(
                    &z, reinterpret_cast<const Bytef*>(out.data()) + (out.size() - history),
                    static_cast<uInt>(history)) != Z_OK) {
                return Error{which + ": cannot set the deflate dictionary"};
            }
        }
        const std::size_t oldSize = out.size();
        out.resize(oldSize + inflatedSize);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(in.data() + dataStart));
        z.avail_in = static_cast<uInt>(available);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + oldSize);
        z.avail_out = inflatedSize;
        int rc = inflate(&z, Z_FINISH);
        const bool filled = z.avail_out == 0;
        if (filled && rc != Z_STREAM_END && rc != Z_DATA_ERROR) {
            // The stated size is reached but the stream goes on: anything more it would
            // produce means the size was wrong; nothing more means it merely lacks an end.
            Bytef extra = 0;
            z.next_out = &extra;
            z.avail_out = 1;
            rc = inflate(&z, Z_FINISH);
            if (z.avail_out == 0) {
                return Error{which + " inflates to more than its stated " +
                             std::to_string(inflatedSize) + " bytes"};
            }
            if (rc == Z_BUF_ERROR) rc = Z_OK;
            z.avail_out = 0;
        }
        if (rc != Z_STREAM_END && !(filled && rc == Z_OK)) {
            if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT) {
                return Error{which + " holds corrupt deflate data"};
            }
            return Error{which + " is truncated: it inflates to " +
                         std::to_string(inflatedSize - z.avail_out) + " of " +
                         std::to_string(inflatedSize) + " bytes"};
        }
        if (!filled) {
            return Error{which + " inflates to " + std::to_string(inflatedSize - z.avail_out) +
                         " bytes, its header says " + std::to_string(inflatedSize)};
        }
        // The documented size includes "CK"; a stream running past that means the writer
        // counted the deflate data alone.
        const std::size_t consumed = available - z.avail_in;
        const std::size_t step =
            (storedSize >= 2 && consumed <= storedSize - 2) ? storedSize - 2 : storedSize;
        if (step > in.size() - dataStart) {
            return Error{which + " claims " + std::to_string(storedSize) +
                         " compressed bytes, only " + std::to_string(in.size() - dataStart) +
                         " remain"};
        }
        pos = dataStart + step;
    }
    if (out.size() != bodySize) {
        return Error{"compressed .x file inflates to " + std::to_string(out.size() + kHeaderSize) +
                     " bytes, its header declares " + std::to_string(declared)};
    }
    return out;
}

}  // namespace gfx::xfile
