// render: one frame of the editor's view drawn headless on the EGL device, written as a PNG.

#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <ostream>

#include "app/cli/commands.h"
#include "app/cli/notice_to_stream.h"
#include "app/cli/texture_warnings.h"
#include "app/core/documents.h"
#include "app/core/editor_actions.h"
#include "app/core/session.h"
#include "app/core/stored_light.h"
#include "app/core/view_size.h"
#include "app/drawing/frame_rendering.h"
#include "app/editor/editor.h"
#include "app/steps/view_geometry.h"
#include "editing/key_poses.h"
#include "files/settings/settings_file.h"
#include "framework/notice.h"
#include "framework/platform/egl_surface.h"
#include "gfx/image/png_writer.h"
#include "scene/draw_primitives.h"

namespace cli {

namespace {

constexpr const char* kRenderUsage =
    "usage: posewrighter-cli render MODEL.pwp [--anim ANIM.pwa --key K] [--select N] "
    "[--outline] [--onion] [--no-grid] [--eye X,Y,Z --target X,Y,Z] [--size WxH] -o OUT.png\n";

// The largest side --size takes: far beyond any window, well within what a renderer allows.
constexpr int kMaxRenderSide = 8192;

struct RenderOptions {
    std::string model, animation, output;
    int key = 0;  // 0 = the default pose
    int select = model::kNoPart;
    bool outline = false, grid = true;
    bool onion = false;  // the keys beside --key as ghosts
    std::optional<gfx::Vec3> eye, target;
    app::ViewSize size{framework::kBackBufferWidth, framework::kBackBufferHeight};
};

// The whole text must be the number.
template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "X,Y,Z", three finite numbers: a NaN or infinite eye or target makes no view.
std::optional<gfx::Vec3> ParsePoint(std::string_view text) {
    float values[3];
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = i < 2 ? text.find(',') : text.size();
        if (comma == std::string_view::npos) return std::nullopt;
        const auto value = ParseNumber<float>(text.substr(0, comma));
        if (!value || !std::isfinite(*value)) return std::nullopt;
        values[i] = *value;
        text.remove_prefix(i < 2 ? comma + 1 : comma);
    }
    return gfx::Vec3{values[0], values[1], values[2]};
}

// "WxH", each side a whole number from 1 to kMaxRenderSide.
std::optional<app::ViewSize> ParseSize(std::string_view text) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    const auto width = ParseNumber<int>(text.substr(0, x));
    const auto height = ParseNumber<int>(text.substr(x + 1));
    const auto fits = [](std::optional<int> side) {
        return side && *side >= 1 && *side <= kMaxRenderSide;
    };
    if (!fits(width) || !fits(height)) return std::nullopt;
    return app::ViewSize{*width, *height};
}

// The options, or nothing after telling `err` what is wrong.
std::optional<RenderOptions> ParseOptions(std::span<const std::string> args, std::ostream& err) {
    RenderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> const std::string& { return args[++i]; };
        if (word == "--outline") {
            options.outline = true;
        } else if (word == "--onion") {
            options.onion = true;
        } else if (word == "--no-grid") {
            options.grid = false;
        } else if (word == "--anim" || word == "-o" || word == "--key" || word == "--select" ||
                   word == "--eye" || word == "--target" || word == "--size") {
            if (!hasValue) {
                err << "render: " << word << " needs a value\n";
                return std::nullopt;
            }
            const std::string& text = value();
            if (word == "--anim") {
                options.animation = text;
            } else if (word == "-o") {
                options.output = text;
            } else if (word == "--size") {
                const auto size = ParseSize(text);
                if (!size) {
                    err << "render: --size takes WIDTHxHEIGHT, each 1 to " << kMaxRenderSide
                        << ", not \"" << text << "\"\n";
                    return std::nullopt;
                }
                options.size = *size;
            } else if (word == "--key" || word == "--select") {
                const auto number = ParseNumber<int>(text);
                if (!number) {
                    err << "render: " << word << " takes a whole number, not \"" << text << "\"\n";
                    return std::nullopt;
                }
                (word == "--key" ? options.key : options.select) = *number;
            } else {
                const auto point = ParsePoint(text);
                if (!point) {
                    err << "render: " << word << " takes three finite numbers X,Y,Z, not \"" << text
                        << "\"\n";
                    return std::nullopt;
                }
                (word == "--eye" ? options.eye : options.target) = point;
            }
        } else if (word.starts_with('-') || !options.model.empty()) {
            err << "render: unexpected argument \"" << word << "\"\n";
            return std::nullopt;
        } else {
            options.model = word;
        }
    }
    if (options.model.empty() || options.output.empty()) {
        err << kRenderUsage;
        return std::nullopt;
    }
    if (options.key != 0 && options.animation.empty()) {
        err << "render: --key needs --anim\n";
        return std::nullopt;
    }
    if (options.onion && options.key == 0) {
        err << "render: --onion needs --key\n";
        return std::nullopt;
    }
    return options;
}

// Opens the documents and poses the model; false after telling `err` why.
bool PrepareModel(app::Session& session, const RenderOptions& options, std::ostream& err) {
    editing::Model& model = session.model;
    if (!app::OpenPartFile(model, options.model)) return false;
    if (!options.animation.empty() && !app::OpenAnimationFile(model, options.animation)) {
        return false;
    }
    if (options.key != 0) {
        const int keys = model.animation.KeysInUse();
        if (options.key < 1 || options.key > keys) {
            err << "render: --key " << options.key << " is not a key of the animation (1.." << keys
                << ")\n";
            return false;
        }
        editing::FetchKey(model.animation, options.key, model.scene);
    }
    if (options.select != model::kNoPart &&
        (options.select < 0 || options.select >= model.parts.count)) {
        err << "render: --select " << options.select << " is not a part (0.."
            << model.parts.count - 1 << ")\n";
        return false;
    }
    app::SelectPart(session, static_cast<model::PartIndex>(options.select));
    return true;
}

// The camera of the editor after start-up unless the options place it.
void PlaceCamera(framework::ViewTransforms& camera, const framework::GraphicsDevice& device,
                 const RenderOptions& options) {
    camera.ProjectionMatrix = app::EditorProjection(device.ScreenWidth(), device.ScreenHeight());
    app::FrameView(camera, nullptr);
    if (options.eye || options.target) {
        scene::SetView(camera, options.eye.value_or(gfx::Vec3{0.0f, 2.0f, 8.0f}),
                       options.target.value_or(gfx::Vec3{0.0f, 1.0f, 0.0f}), {0.0f, 1.0f, 0.0f});
    }
}

}  // namespace

int RunRender(std::span<const std::string> args, std::ostream&, std::ostream& err) {
    const auto options = ParseOptions(args, err);
    if (!options) return 2;
    NoticeToStream notices(err);

    framework::EglSurface surface;
    framework::GraphicsDevice device(surface);
    if (!device.InitGraphics()) {
        err << "render: no headless graphics device\n";
        return 1;
    }
    auto session = std::make_unique<app::Session>();
    if (!app::FollowWindowSize(device, session->editor.Camera, options->size)) {
        err << "render: the headless device cannot draw " << options->size.width << "x"
            << options->size.height << " pixels\n";
        return 1;
    }
    // After the device, so that fonts and textures go while it still has its context.
    scene::OverlayFonts overlay(device);
    overlay.Create(0, app::kOverlayFace, app::kOverlayHeight, app::kOverlayWeight);
    session->textures.SetUploader(&device);
    if (!PrepareModel(*session, *options, err)) return 1;
    WarnAboutTextures(session->model, "render", err);

    app::EditorState& state = session->editor;
    PlaceCamera(state.Camera, device, *options);
    app::ApplyStoredLight(state, app::ReadStoredLight(files::ProgramSettings()));
    app::SetGridShown(*session, options->grid);
    app::SetOutlineShown(*session, options->outline);
    app::SetOnionShown(*session, options->onion);
    if (options->key != 0) app::SetShownKey(*session, options->key);
    app::FrameModes modes{state.SelectedPart};
    modes.onion = app::OnionKeysToShow(session->model.animation, session->panels, state);
    app::RenderFrame({device, overlay, session->model.parts, session->model.scene, session->panels,
                      state.Camera, state.Light, &session->model.animation, &session->silhouettes},
                     modes);

    gfx::Image image;
    image.width = static_cast<std::uint32_t>(device.ScreenWidth());
    image.height = static_cast<std::uint32_t>(device.ScreenHeight());
    image.texels = device.ReadPixels();
    if (const auto written = gfx::WritePngFile(options->output, image); !written) {
        err << "render: " << written.error() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace cli
