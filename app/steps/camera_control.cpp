#include "app/steps/camera_control.h"

#include "gfx/math/math.h"
#include "scene/draw_primitives.h"

namespace app {
namespace {

using framework::ButtonPhase;
using framework::MouseButton;

void CaptureCamera(EditorState& state, const gfx::Matrix& viewMatrix, bool withRight) {
    const CameraFrame camera = CameraFromView(viewMatrix);
    if (withRight) state.CameraRight = camera.right;
    state.CameraUp = camera.up;
    state.CameraForward = camera.forward;
    state.CameraEye = camera.eye;
}

// The pan plane's point on the ray, or failing that on the reversed ray.
bool PanPlaneHit(const scene::TransformNode& plane, const Ray& ray, gfx::Vec3& hit) {
    return plane.RayHit(ray.origin, ray.direction, hit) ||
           plane.RayHit(ray.origin, -ray.direction, hit);
}

}  // namespace

void StartOrbit(EditorState& state, const ClientView& view, framework::PixelPoint cursor) {
    state.DragAnchor = cursor;
    CaptureCamera(state, view.transforms.ViewMatrix, true);
}

void Orbit(Session& session, const ClientView& view, framework::PixelPoint cursor) {
    const EditorState& state = session.editor;
    scene::TransformNode& pivot = session.orbitPivot;
    scene::TransformNode& camera = session.orbitCamera;
    pivot.SetDirection({0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f});
    pivot.SetLocalPosition(state.OrbitCentre);
    camera.SetLocalPosition(state.CameraEye - state.OrbitCentre);
    camera.SetDirection(state.CameraForward, state.CameraUp);
    camera.parent = &pivot;

    // Anchor minus current: dragging right swings the camera the other way round the centre.
    const float yaw = static_cast<float>(state.DragAnchor.x - cursor.x) * kOrbitRadiansPerPixel;
    pivot.TurnLocalY(yaw);
    const float pitch = static_cast<float>(state.DragAnchor.y - cursor.y) * kOrbitRadiansPerPixel;
    // Composed on the local side: the pose turns about the right axis first, then about Y.
    pivot.TurnLocalAxis(state.CameraRight, pitch);

    const gfx::Vec3 eye = camera.WorldPosition();
    scene::SetView(view.transforms, eye, eye + camera.WorldAxisZ(), camera.WorldAxisY());
    camera.parent = nullptr;
}

void StartPan(Session& session, const ClientView& view, framework::PixelPoint cursor) {
    EditorState& state = session.editor;
    state.DragAnchor = cursor;
    const Ray ray = PointerRay(view, cursor);
    scene::TransformNode& plane = session.panPlane;
    plane.SetPosition(ClosestPointOnLine(ray.origin - ray.direction * kPanRayHalfLength,
                                         ray.origin + ray.direction * kPanRayHalfLength,
                                         {0.0f, 0.0f, 0.0f}));
    plane.TurnToward(CameraFromView(view.transforms.ViewMatrix).eye);

    state.PanAnchor = {0.0f, 0.0f, 0.0f};
    state.PanReversed = 0;
    if (!plane.RayHit(ray.origin, ray.direction, state.PanAnchor) &&
        plane.RayHit(ray.origin, -ray.direction, state.PanAnchor)) {
        state.PanReversed = 1;
    }
    CaptureCamera(state, view.transforms.ViewMatrix, false);
}

void Pan(Session& session, const ClientView& view, framework::PixelPoint cursor) {
    const EditorState& state = session.editor;
    // The pointer ray is taken under the camera as it was at the press.
    scene::SetView(view.transforms, state.CameraEye, state.CameraEye + state.CameraForward,
                   state.CameraUp);
    gfx::Vec3 hit;
    if (!PanPlaneHit(session.panPlane, PointerRay(view, cursor), hit)) return;
    const gfx::Vec3 delta = state.PanReversed == 1 ? hit - state.PanAnchor : state.PanAnchor - hit;
    const gfx::Vec3 eye = state.CameraEye + delta;
    scene::SetView(view.transforms, eye, eye + state.CameraForward, state.CameraUp);
}

void Dolly(framework::ViewTransforms& transforms, int wheel) {
    const float step = static_cast<float>(wheel) * kDollyPerWheelUnit;
    if (step == 0.0f) return;
    const CameraFrame camera = CameraFromView(transforms.ViewMatrix);
    const gfx::Vec3 forward = gfx::Vec3Normalize(camera.forward);
    const gfx::Vec3 eye = camera.eye + forward * step;
    scene::SetView(transforms, eye, eye + forward, camera.up);
}

bool HandleCameraButtons(Session& session, const ClientView& view,
                         const framework::InputState& input) {
    const ButtonPhase right = framework::MouseButtonState(input, MouseButton::kRight);
    const ButtonPhase middle = framework::MouseButtonState(input, MouseButton::kMiddle);
    if (right == ButtonPhase::kPressed) {
        StartOrbit(session.editor, view, input.cursor);
    } else if (right == ButtonPhase::kHeld) {
        Orbit(session, view, input.cursor);
    } else if (middle == ButtonPhase::kPressed) {
        StartPan(session, view, input.cursor);
    } else if (middle == ButtonPhase::kHeld) {
        Pan(session, view, input.cursor);
    } else {
        return false;
    }
    return true;
}

}  // namespace app
