#include "app/steps/manipulator_hit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "gfx/math/math.h"

namespace app {

namespace {

struct Point2 {
    float x, y;
};

// Where a world point lands in client pixels; none behind (or at) the camera.
std::optional<Point2> Project(const gfx::Matrix& viewProjection, const ClientView& view,
                              gfx::Vec3 p) {
    const gfx::Vec4 clip = gfx::Vec3Transform(p, viewProjection);
    if (!(clip.w > 1e-6f)) return std::nullopt;
    const float width = static_cast<float>(std::max(view.clientWidth, 1));
    const float height = static_cast<float>(std::max(view.clientHeight, 1));
    return Point2{(clip.x / clip.w + 1.0f) * 0.5f * width,
                  (1.0f - clip.y / clip.w) * 0.5f * height};
}

float SegmentDistance(Point2 a, Point2 b, Point2 p) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float q = dx * dx + dy * dy;
    const float t =
        q > 0.0f ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / q, 0.0f, 1.0f) : 0.0f;
    return std::hypot(a.x + dx * t - p.x, a.y + dy * t - p.y);
}

// The distance in pixels from the cursor to the drawn world segment a-b; infinite when either end
// is behind the camera.
float DistanceToSegment(const gfx::Matrix& vp, const ClientView& view, gfx::Vec3 a, gfx::Vec3 b,
                        Point2 cursor) {
    const auto pa = Project(vp, view, a);
    const auto pb = Project(vp, view, b);
    if (!pa || !pb) return INFINITY;
    return SegmentDistance(*pa, *pb, cursor);
}

constexpr int kRingSegments = 64;

}  // namespace

HandleMode HandleUnderCursor(const ManipulatorFrame& frame, const ClientView& view,
                             framework::PixelPoint cursor) {
    if (!(frame.radius > 0.0f)) return HandleMode::kIdle;
    const gfx::Matrix vp =
        gfx::MatrixMultiply(view.transforms.ViewMatrix, view.transforms.ProjectionMatrix);
    const Point2 at{static_cast<float>(cursor.x), static_cast<float>(cursor.y)};
    const auto pivot = Project(vp, view, frame.centre);
    if (pivot && std::hypot(pivot->x - at.x, pivot->y - at.y) < kPivotClearPixels) {
        return HandleMode::kIdle;
    }
    HandleMode best = HandleMode::kIdle;
    float bestDistance = kHandleReachPixels;
    // Of two handles equally near, the one tried first: lines before rings, X before Z.
    const auto consider = [&](float distance, HandleMode mode) {
        const bool nearer =
            best == HandleMode::kIdle ? distance <= bestDistance : distance < bestDistance;
        if (nearer) {
            best = mode;
            bestDistance = distance;
        }
    };
    for (int axis = 0; axis < 3; ++axis) {
        const gfx::Vec3 reach = ManipulatorAxis(frame, axis) * frame.radius;
        consider(DistanceToSegment(vp, view, frame.centre - reach, frame.centre + reach, at),
                 static_cast<HandleMode>(static_cast<int>(HandleMode::kMoveX) + axis));
    }
    for (int axis = 0; axis < 3; ++axis) {
        const gfx::Vec3 u = ManipulatorAxis(frame, (axis + 1) % 3) * frame.radius;
        const gfx::Vec3 v = ManipulatorAxis(frame, (axis + 2) % 3) * frame.radius;
        float nearest = INFINITY;
        gfx::Vec3 previous = frame.centre + u;
        for (int i = 1; i <= kRingSegments; ++i) {
            const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) /
                                static_cast<float>(kRingSegments);
            const gfx::Vec3 next = frame.centre + u * std::cos(angle) + v * std::sin(angle);
            nearest = std::min(nearest, DistanceToSegment(vp, view, previous, next, at));
            previous = next;
        }
        consider(nearest, static_cast<HandleMode>(static_cast<int>(HandleMode::kTurnX) + axis));
    }
    return best;
}

HandleMode SelectedPartHandleUnderCursor(const Session& session, const ClientView& view,
                                         framework::PixelPoint cursor) {
    const model::PartIndex part = session.editor.SelectedPart;
    if (part < 0 || part >= session.model.parts.count || !session.panels.IsPartVisible(part)) {
        return HandleMode::kIdle;
    }
    return HandleUnderCursor(
        PartManipulatorFrame(session.model.scene, part, session.panels.handlingLocal), view,
        cursor);
}

}  // namespace app
