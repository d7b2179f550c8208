// check, resave and resave-anim: the editor's document readers and writers, headless.

#include <memory>
#include <ostream>

#include "app/cli/commands.h"
#include "app/cli/notice_to_stream.h"
#include "app/cli/texture_warnings.h"
#include "app/core/documents.h"
#include "app/core/session.h"
#include "files/animation_file.h"
#include "files/file_messages.h"
#include "files/mesh_paths.h"
#include "files/part_file.h"
#include "framework/asset_paths.h"
#include "framework/display_text.h"
#include "framework/notice.h"

namespace cli {

namespace {

void PrintTree(const model::PartTable& parts, const editing::PartScene& scene, std::ostream& out) {
    out << "parts: " << parts.count << "\n";
    out << "scale: " << parts.scale << "\n";
    for (int i = 0; i < parts.count; ++i) {
        const scene::MeshObject& mesh = scene.mesh[i];
        out << "part " << i << ": " << framework::DisplayText(parts.Name(i)) << " parent "
            << parts.parent[i] << " level " << parts.level[i];
        if (mesh.IsLoaded()) {
            out << " vertices " << mesh.d3dMesh->NumVertices() << " faces "
                << mesh.d3dMesh->NumFaces() << " materials " << mesh.materialCount;
        }
        out << "\n";
    }
}

void PrintKeys(const model::AnimationSet& animation, std::ostream& out) {
    const int keys = animation.KeysInUse();
    out << "keys in use: " << keys << "\n";
    for (int k = 0; k < keys; ++k) {
        out << "key " << k + 1 << ": " << animation.frameCount[k] << " frames\n";
    }
}

}  // namespace

int RunCheck(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args.size() > 2) {
        err << "usage: posewrighter-cli check MODEL.pwp [ANIM.pwa]\n";
        return 2;
    }
    NoticeToStream notices(err);
    auto session = std::make_unique<app::Session>();
    if (!app::OpenPartFile(session->model, args[0])) return 1;
    if (args.size() == 2 && !app::OpenAnimationFile(session->model, args[1])) return 1;
    PrintTree(session->model.parts, session->model.scene, out);
    PrintKeys(session->model.animation, out);
    WarnAboutTextures(session->model, "check", err);
    return 0;
}

int RunResave(std::span<const std::string> args, std::ostream&, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: posewrighter-cli resave IN.pwp OUT.pwp\n";
        return 2;
    }
    auto parts = std::make_unique<model::PartTable>();
    if (const auto read = files::ReadPartFile(args[0], *parts); !read) {
        err << framework::NoticeAsLines(read.error()) << "\n";
        return 1;
    }
    // As the editor's Save does: relative mesh paths follow the file into another folder.
    files::ReplaceMeshPaths(*parts, files::MeshPathsFor(*parts, framework::FolderOf(args[0]),
                                                        framework::FolderOf(args[1])));
    if (const auto written = files::WritePartFile(args[1], *parts); !written) {
        err << written.error() << "\n";
        return 1;
    }
    return 0;
}

int RunResaveAnimation(std::span<const std::string> args, std::ostream&, std::ostream& err) {
    if (args.size() != 3) {
        err << "usage: posewrighter-cli resave-anim MODEL.pwp IN.pwa OUT.pwa\n";
        return 2;
    }
    auto parts = std::make_unique<model::PartTable>();
    if (const auto read = files::ReadPartFile(args[0], *parts); !read) {
        err << framework::NoticeAsLines(read.error()) << "\n";
        return 1;
    }
    auto animation = std::make_unique<model::AnimationSet>();
    if (const auto read = files::ReadAnimationFile(args[1], parts->count, *animation); !read) {
        err << framework::NoticeAsLines(read.error()) << "\n";
        return 1;
    }
    const auto written = files::WriteAnimationFile(args[2], *animation, *parts);
    if (!written) {
        err << written.error() << "\n";
        return 1;
    }
    if (*written == files::AnimationWrite::kEmpty) {
        err << "resave-anim: the animation is empty (key 1 has no frames); nothing written\n";
        return 1;
    }
    const std::vector<int> lost = animation->KeysPastTheEnd(parts->count);
    if (!lost.empty()) {
        err << "resave-anim: key" << (lost.size() > 1 ? "s " : " ") << files::KeyList(lost)
            << " not written: the animation ends before key " << animation->KeysInUse() + 1
            << ", the first without frames\n";
    }
    return 0;
}

}  // namespace cli
