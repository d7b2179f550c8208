// The capability report in the debug log, from what the GL context says.
//
// How the classic capability entries map onto GL:
// - maximum primitives: the triangle count of the context's recommended maximum index count per
//   draw (GL_MAX_ELEMENTS_INDICES / 3); GL sets no hard limit.
// - maximum lights: GL_MAX_LIGHTS.
// - fog: vertex and table (per-pixel) fog are both part of the fixed-function pipeline (1);
//   range-based fog needs GL_NV_fog_distance.
// - available texture memory: GL_NVX_gpu_memory_info or GL_ATI_meminfo when present; otherwise
//   (software rasterisers keep textures in main memory) the free main memory.
// - maximum texture size: GL_MAX_TEXTURE_SIZE for both sides.
// - maximum stages: GL_MAX_TEXTURE_UNITS (the fixed-function texture units).
// - non-square textures, alpha and mipmaps: always available in GL (1).
// - bump-environment mapping: GL_ATI_envmap_bumpmap.

#include <sys/sysinfo.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "framework/debug_log.h"
#include "framework/device/gl_api.h"
#include "framework/device/graphics_device.h"

namespace framework {

namespace {

bool HasExtension(const char* name) {
    const auto* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (all == nullptr) return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(all, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool starts = at == all || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

int GetInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::int64_t AvailableTextureKilobytes() {
    if (HasExtension("GL_NVX_gpu_memory_info")) {
        return GetInteger(0x9049);  // GPU_MEMORY_INFO_CURRENT_AVAILABLE_VIDMEM_NVX, in KB
    }
    if (HasExtension("GL_ATI_meminfo")) {
        GLint info[4] = {};
        glGetIntegerv(0x87FC, info);  // TEXTURE_FREE_MEMORY_ATI: free KB first
        return info[0];
    }
    struct sysinfo facts {};
    if (sysinfo(&facts) != 0) return 0;
    return static_cast<std::int64_t>(facts.freeram) * facts.mem_unit / 1024;
}

}  // namespace

void GraphicsDevice::ReportDeviceCaps() {
    LogMessage(
        "最大プリミティブ = %d\n最大ライト = %d\nフォグ{\n\t頂点 = %d\n\tピクセル = %d\n\t範囲 = "
        "%d\n}\n",
        GetInteger(GL_MAX_ELEMENTS_INDICES) / 3, GetInteger(GL_MAX_LIGHTS), 1, 1,
        HasExtension("GL_NV_fog_distance") ? 1 : 0);
    const int maxSize = GetInteger(GL_MAX_TEXTURE_SIZE);
    const auto memory =
        static_cast<int>(std::min<std::int64_t>(AvailableTextureKilobytes(), INT_MAX));
    LogMessage(
        "テクスチャー{\n\t利用可能メモリ = %d KB\n\t最大サイズ = %d x %d\n\t最大ステージ = "
        "%d\n\t非正方形テクスチャ = %d\n\tアルファブレンド = %d\n\tミップマップ = %d\n\t"
        "バンプマップ = %d\n}\n",
        memory, maxSize, maxSize, GetInteger(GL_MAX_TEXTURE_UNITS), 1, 1, 1,
        HasExtension("GL_ATI_envmap_bumpmap") ? 1 : 0);
}

}  // namespace framework
