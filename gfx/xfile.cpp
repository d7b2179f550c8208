#include "gfx/xfile.h"

#include <fstream>
#include <iterator>
#include <string_view>

#include "gfx/xfile_binary_reader.h"
#include "gfx/xfile_header.h"
#include "gfx/xfile_merge.h"
#include "gfx/xfile_mszip.h"
#include "gfx/xfile_parser.h"
#include "gfx/xfile_text_reader.h"

namespace gfx {

Result<LoadedMesh> LoadMeshFromXInMemory(std::span<const std::byte> bytes) {
    auto header = xfile::ParseHeader(bytes);
    if (!header) return Error{header.error()};

    std::span<const std::byte> body = bytes.subspan(xfile::kHeaderSize);
    std::vector<std::byte> inflated;
    if (header->compressed) {
        auto result = xfile::InflateMsZip(body);
        if (!result) return Error{result.error()};
        inflated = std::move(*result);
        body = inflated;
    }

    xfile::MeshMerger merger;
    Status parsed;
    if (header->binary) {
        xfile::BinaryReader reader(body, header->floatBytes);
        parsed = xfile::ParseObjects(reader, merger);
    } else {
        xfile::TextReader reader(
            std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
        parsed = xfile::ParseObjects(reader, merger);
    }
    if (!parsed) return Error{parsed.error()};
    return merger.Finish();
}

Result<LoadedMesh> LoadMeshFromX(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Error{path + ": cannot open the file"};
    std::vector<char> chars((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (file.bad()) return Error{path + ": cannot read the file"};
    auto loaded = LoadMeshFromXInMemory(std::as_bytes(std::span(chars)));
    if (!loaded) return Error{path + ": " + loaded.error()};
    return loaded;
}

}  // namespace gfx
