// export: the model with its playback loop as a glTF 2.0 file.

#include <memory>
#include <ostream>

#include "app/cli/commands.h"
#include "app/cli/notice_to_stream.h"
#include "app/core/documents.h"
#include "app/core/session.h"
#include "app/export/gltf_write.h"

namespace cli {

namespace {

constexpr const char* kExportUsage =
    "usage: posewrighter-cli export MODEL.pwp [ANIM.pwa] -o OUT.glb|OUT.gltf\n";

}  // namespace

int RunExport(std::span<const std::string> args, std::ostream&, std::ostream& err) {
    std::vector<std::string> documents;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && output.empty()) {
            output = args[++i];
        } else if (args[i].starts_with("-")) {
            err << "export: unknown or repeated option \"" << args[i] << "\"\n" << kExportUsage;
            return 2;
        } else {
            documents.push_back(args[i]);
        }
    }
    if (documents.empty() || documents.size() > 2 || output.empty()) {
        err << kExportUsage;
        return 2;
    }
    NoticeToStream notices(err);
    auto session = std::make_unique<app::Session>();
    if (!app::OpenPartFile(session->model, documents[0])) return 1;
    if (documents.size() == 2 && !app::OpenAnimationFile(session->model, documents[1])) return 1;
    if (const gfx::Status written = app::ExportGltf(session->model, output, documents); !written) {
        err << "export: " << written.error() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace cli
