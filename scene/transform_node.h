#pragma once
// One frame of the scene hierarchy: orientation, uniform scale and position relative to an
// optional parent node, with an optional mesh hit-tested and drawn at that frame.
//
// `local` holds the node's X, Y and Z axes (in the parent's frame, each multiplied by `scale`)
// in rows 0 to 2 and the position (in the parent's frame, not scaled) in row 3. Nothing derived
// from the parent chain is cached: every world query walks the parent links again, so a change
// to an ancestor is seen at once by all descendants.

#include <array>
#include <cstdint>

#include "gfx/math/math_types.h"

namespace framework {
class GraphicsDevice;
}

namespace scene {

class MeshObject;

// A world-space bounding sphere.
struct Sphere {
    gfx::Vec3 centre;
    float radius = 0;
};

class TransformNode {
  public:
    TransformNode() = default;
    virtual ~TransformNode() = default;

    // Draws the bound mesh at the world matrix, with its silhouette outline in `outlineColour`
    // when `outline` is set (MeshObject::Draw). A node without a mesh, or not bound, draws
    // nothing.
    virtual void Draw(framework::GraphicsDevice& device, bool outline,
                      gfx::Colour outlineColour) const;

    // Attaches a mesh and resets the node to the identity orientation at `position` with the
    // uniform scale `nodeScale`. Marks the node bound; the parent link is kept.
    void Bind(MeshObject& meshObject, gfx::Vec3 position, float nodeScale);

    // Changes the uniform scale (never 0), keeping orientation and position.
    void SetScale(float newScale);

    // Orientation relative to the parent, scale removed. Leaves the node exactly as it was.
    gfx::Quat GetOrientation() const;
    // Replaces the orientation, keeping position and scale.
    void SetOrientation(gfx::Quat q);

    // Position in parent-scaled units: the local position times the parent's combined scale.
    gfx::Vec3 GetPosition() const;
    void SetPosition(gfx::Vec3 p);
    // Stores the position in the parent's frame as given.
    void SetLocalPosition(gfx::Vec3 p);

    // Product of the scales of this node and all its ancestors.
    float CombinedScale() const;

    // `local` composed with every ancestor's, nearest first.
    gfx::Matrix WorldMatrix() const;
    gfx::Vec3 WorldPosition() const;
    // World axes, not normalised: their length is the combined scale.
    gfx::Vec3 WorldAxisX() const;
    gfx::Vec3 WorldAxisY() const;
    gfx::Vec3 WorldAxisZ() const;

    // Moves the node so that its world position becomes p. The displacement is mapped into the
    // parent's frame assuming the parent chain holds only rotations and uniform scales.
    void SetWorldPosition(gfx::Vec3 p);

    // Turns about the node's own axes; the position stays.
    void TurnLocalX(float angle);
    void TurnLocalY(float angle);
    void TurnLocalZ(float angle);
    // Turns about an axis given in the node's own frame (normalised here).
    void TurnLocalAxis(gfx::Vec3 axis, float angle);
    // Turns the node, position included, about the parent's Y axis: it orbits the parent's origin.
    void TurnParentY(float angle);

    // Points the Z axis along `forward` (parent frame) with the Y axis as close to `up` as
    // possible. The position and the scale stay.
    void SetDirection(gfx::Vec3 forward, gfx::Vec3 up);
    // Points the Z axis at a world-space point, up = (0, 1, 0). Does nothing when the target is
    // (almost) straight above or below the node.
    void TurnToward(gfx::Vec3 target);

    // The node's position plus the mesh's sphere centre (unrotated, unscaled); radius = this
    // node's own scale times the mesh's radius. A node without a mesh gives its world position
    // and radius 0.
    Sphere BoundingSphere() const;

    // Nearest front-facing hit of a world-space ray on the mesh. On a hit, `hitPoint` receives
    // the world-space point and `triangle` (when given) the hit face's corners in mesh space.
    // Without a hit `hitPoint` becomes (0, 0, 0); a node whose mesh is missing or not loaded is
    // never hit and leaves `hitPoint` untouched. Only hits nearer to the (mesh-space) origin than
    // the mesh-space point (1000, 1000, 1000) count.
    bool RayHit(gfx::Vec3 origin, gfx::Vec3 direction, gfx::Vec3& hitPoint,
                std::array<gfx::Vec3, 3>* triangle = nullptr) const;

    MeshObject* mesh = nullptr;       // not owned
    TransformNode* parent = nullptr;  // not owned; null = the node's frame is the world frame
    gfx::Matrix local;
    gfx::Matrix saved;    // copy of `local` taken by every operation that rebuilds it
    gfx::Matrix scratch;  // the last rotation or scaling matrix built
    std::int32_t bound = 0;
    float scale = 1.0f;

  private:
    // Rebuilds `local` as `pre` * (copy of `local`), the common form of every local turn.
    void ApplyLocal(const gfx::Matrix& pre);
    // Applies `scale` to a `local` whose axes are unit length (scale then still reads 1).
    void ReapplyScale();
};

}  // namespace scene
