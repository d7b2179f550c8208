// libFuzzer target: any bytes as the recovery copy's manifest must be read or refused cleanly.
// What is read must survive being written again: the manifest formatted from its paths and
// flags reads back with the same paths and flags.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/recovery/recovery_copy.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto manifest = files::ParseRecoveryManifest(bytes);
    if (!manifest.ok()) return 0;
    files::RecoveryCopy copy = manifest->copy;
    if (!manifest->animationFile.empty()) copy.animation = "x";
    const auto again = files::ParseRecoveryManifest(files::FormatRecoveryManifest(copy, 7));
    if (!again.ok()) __builtin_trap();
    if (again->copy.modelPath != copy.modelPath ||
        again->copy.animationPath != copy.animationPath ||
        again->copy.modelUnsaved != copy.modelUnsaved ||
        again->copy.animationUnsaved != copy.animationUnsaved) {
        __builtin_trap();
    }
    return 0;
}
