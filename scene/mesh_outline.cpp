#include "scene/mesh_outline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace scene {
namespace {

// Marks "no third vertex"; never a 16-bit vertex index.
constexpr std::uint32_t kNoVertex = 0xFFFFFFFF;

using Corners = std::array<std::uint32_t, 3>;

Corners CornersOf(std::span<const std::uint16_t> indices, std::size_t face) {
    return {indices[face * 3], indices[face * 3 + 1], indices[face * 3 + 2]};
}

bool Holds(const Corners& face, std::uint32_t vertex) {
    return face[0] == vertex || face[1] == vertex || face[2] == vertex;
}

// For one unordered pair of vertices: the last face whose index set holds both, that face's
// remaining vertex (kNoVertex when its set is just the pair), and the last face whose remaining
// vertex differs from that one. "The last face holding the pair but not c" is then `last` when
// c is not its remaining vertex, else `lastOther`.
struct PairFaces {
    std::uint32_t last = kNoFace;
    std::uint32_t lastThird = kNoVertex;
    std::uint32_t lastOther = kNoFace;

    void Add(std::uint32_t face, std::uint32_t third) {
        if (third != lastThird) {
            lastOther = last;
            lastThird = third;
        }
        last = face;
    }
    std::uint32_t LastWithout(std::uint32_t vertex) const {
        return lastThird != vertex ? last : lastOther;
    }
};

// The faces holding each vertex, in face order, for the neighbours of degenerate faces: across
// the edge between a face's two equal corners lies the last face that holds that vertex but not
// the face's other vertex. Answers are memoised per (vertex, excluded vertex); a scan only skips
// faces holding both, so all scans together stay linear.
class VertexFaces {
  public:
    explicit VertexFaces(std::span<const std::uint16_t> indices) : indices_(indices) {
        const std::size_t faces = indices.size() / 3;
        start_.assign(65536 + 1, 0);
        ForEachDistinctVertex(faces, [&](std::uint32_t, std::uint32_t v) { ++start_[v + 1]; });
        for (std::size_t v = 1; v < start_.size(); ++v) start_[v] += start_[v - 1];
        faces_.resize(start_.back());
        std::vector<std::uint32_t> fill(start_.begin(), start_.end() - 1);
        ForEachDistinctVertex(faces,
                              [&](std::uint32_t f, std::uint32_t v) { faces_[fill[v]++] = f; });
    }

    std::uint32_t LastWithout(std::uint32_t vertex, std::uint32_t excluded) {
        const std::uint32_t key = (vertex << 16) | excluded;
        if (const auto found = memo_.find(key); found != memo_.end()) return found->second;
        std::uint32_t answer = kNoFace;
        for (std::uint32_t i = start_[vertex + 1]; i > start_[vertex]; --i) {
            const std::uint32_t face = faces_[i - 1];
            if (!Holds(CornersOf(indices_, face), excluded)) {
                answer = face;
                break;
            }
        }
        memo_.emplace(key, answer);
        return answer;
    }

  private:
    template <typename Visit>
    void ForEachDistinctVertex(std::size_t faces, Visit visit) {
        for (std::size_t f = 0; f < faces; ++f) {
            const Corners c = CornersOf(indices_, f);
            const auto face = static_cast<std::uint32_t>(f);
            visit(face, c[0]);
            if (c[1] != c[0]) visit(face, c[1]);
            if (c[2] != c[0] && c[2] != c[1]) visit(face, c[2]);
        }
    }

    std::span<const std::uint16_t> indices_;
    std::vector<std::uint32_t> start_;  // faces of vertex v: faces_[start_[v], start_[v + 1])
    std::vector<std::uint32_t> faces_;
    std::unordered_map<std::uint32_t, std::uint32_t> memo_;
};

bool Distinct(const Corners& c) {
    return c[0] != c[1] && c[1] != c[2] && c[2] != c[0];
}

struct Vec3d {
    double x, y, z;
};

Vec3d Minus(const gfx::Vec3& a, const gfx::Vec3& b) {
    return {double{a.x} - b.x, double{a.y} - b.y, double{a.z} - b.z};
}

double Dot(const Vec3d& a, const Vec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Length(const Vec3d& v) {
    return std::sqrt(Dot(v, v));
}

// The sphere round every vertex (box middle, farthest vertex), then each face's plane.
void AddFacePlanes(OutlineData& data, std::span<const std::uint16_t> indices) {
    const std::size_t vertexCount = data.x.size();
    const std::size_t faceCount = indices.size() / 3;
    auto at = [&](std::size_t v) { return gfx::Vec3{data.x[v], data.y[v], data.z[v]}; };
    if (vertexCount > 0) {
        gfx::Vec3 low = at(0), high = at(0);
        for (std::size_t v = 1; v < vertexCount; ++v) {
            const gfx::Vec3 p = at(v);
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
        data.centre = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
        double radius = 0;
        for (std::size_t v = 0; v < vertexCount; ++v) {
            radius = std::max(radius, Length(Minus(at(v), data.centre)));
        }
        // Rounded up so that the float sphere still holds every vertex.
        data.radius = std::nextafter(static_cast<float>(radius), HUGE_VALF);
    }

    data.planeX.assign(faceCount, 0);
    data.planeY.assign(faceCount, 0);
    data.planeZ.assign(faceCount, 0);
    data.planeD.assign(faceCount, 0);
    const double thinLimit = std::ldexp(double{data.radius}, -10);
    double thinnest = HUGE_VAL;
    for (std::size_t f = 0; f < faceCount; ++f) {
        const std::uint16_t* corner = indices.data() + f * 3;
        if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount) {
            continue;
        }
        const gfx::Vec3 a = at(corner[0]), b = at(corner[1]), c = at(corner[2]);
        const Vec3d ab = Minus(b, a), ac = Minus(c, a);
        const Vec3d n{ab.y * ac.z - ab.z * ac.y, ab.z * ac.x - ab.x * ac.z,
                      ab.x * ac.y - ab.y * ac.x};
        const double twiceArea = Length(n);
        // The longest side's length: the root is taken once, of the largest square (the root
        // rounds monotonically, so this is the largest of the three roots).
        const Vec3d bc = Minus(c, b);
        const double longest = std::sqrt(std::max({Dot(ab, ab), Dot(ac, ac), Dot(bc, bc)}));
        if (!(longest > 0) || !std::isfinite(twiceArea)) continue;
        const double height = twiceArea / longest;
        if (!(height >= thinLimit)) continue;
        thinnest = std::min(thinnest, height);
        const Vec3d unit{n.x / twiceArea, n.y / twiceArea, n.z / twiceArea};
        const Vec3d offset = Minus(a, data.centre);
        data.planeX[f] = PlaneFixed(unit.x);
        data.planeY[f] = PlaneFixed(unit.y);
        data.planeZ[f] = PlaneFixed(unit.z);
        data.planeD[f] =
            PlaneFixed((unit.x * offset.x + unit.y * offset.y + unit.z * offset.z) / data.radius);
    }
    data.thinnest = std::isfinite(thinnest) ? static_cast<float>(thinnest) : 0.0f;
}

}  // namespace

std::int16_t PlaneFixed(double unitValue) {
    const double scaled = unitValue * double{OutlineData::kPlaneUnit};
    if (!(scaled > -32767.0)) return scaled < 0 ? -32767 : 0;  // NaN compares false
    if (!(scaled < 32767.0)) return 32767;
    // std::round's halves away from zero without its library call, which was a tenth of the
    // outline's time: the part after the point is exact.
    const auto whole = static_cast<std::int32_t>(scaled);
    const double rest = scaled - whole;
    return static_cast<std::int16_t>(whole + (rest >= 0.5 ? 1 : 0) - (rest <= -0.5 ? 1 : 0));
}

FaceNeighbours FindFaceNeighboursAllPairs(std::span<const std::uint16_t> indices) {
    const std::size_t faces = indices.size() / 3;
    FaceNeighbours neighbours(faces * 3, kNoFace);
    for (std::size_t f = 0; f < faces; ++f) {
        const Corners corners = CornersOf(indices, f);
        for (std::size_t g = 0; g < faces; ++g) {
            const Corners other = CornersOf(indices, g);
            unsigned shared = 0;
            if (Holds(other, corners[0])) shared |= 1;
            if (Holds(other, corners[1])) shared |= 2;
            if (Holds(other, corners[2])) shared |= 4;
            const auto face = static_cast<std::uint32_t>(g);
            if (shared == (1 | 2)) neighbours[f * 3] = face;
            if (shared == (2 | 4)) neighbours[f * 3 + 1] = face;
            if (shared == (1 | 4)) neighbours[f * 3 + 2] = face;
        }
    }
    return neighbours;
}

FaceNeighbours FindFaceNeighbours(std::span<const std::uint16_t> indices) {
    const std::size_t faces = indices.size() / 3;
    FaceNeighbours neighbours(faces * 3, kNoFace);

    // Every pair of distinct vertices a face holds, with the face's remaining vertex, grouped by
    // the pair's lower vertex in face order (a counting sort); within a group, a pair's faces
    // are gathered by its higher vertex.
    struct Side {
        std::uint32_t face, third;
        std::uint16_t high;
        std::uint8_t edge;  // the face's edge the pair is, kNotAsked for a face's only pair
    };
    constexpr std::uint8_t kNotAsked = 3;
    std::uint32_t vertexLimit = 0;
    for (const std::uint16_t index : indices.first(faces * 3)) {
        vertexLimit = std::max<std::uint32_t>(vertexLimit, index + 1u);
    }
    bool anyDegenerate = false;
    // Calls side(low, Side) for each pair of each face, in face order.
    auto forEachSide = [&](auto side) {
        for (std::size_t f = 0; f < faces; ++f) {
            const Corners c = CornersOf(indices, f);
            const auto face = static_cast<std::uint32_t>(f);
            if (Distinct(c)) {
                for (std::uint8_t k = 0; k < 3; ++k) {
                    const std::uint32_t u = c[k], v = c[(k + 1) % 3];
                    side(std::min(u, v),
                         Side{face, c[(k + 2) % 3], static_cast<std::uint16_t>(std::max(u, v)), k});
                }
                continue;
            }
            anyDegenerate = true;
            // Two equal corners: the set is one pair (or a single vertex, which holds no pair).
            const std::uint32_t other = c[0] != c[1] ? c[1] : c[2];
            if (other == c[0]) continue;
            side(std::min(c[0], other),
                 Side{face, kNoVertex, static_cast<std::uint16_t>(std::max(c[0], other)),
                      kNotAsked});
        }
    };
    std::vector<std::uint32_t> start(vertexLimit + 1, 0);
    forEachSide([&](std::uint32_t low, const Side&) { ++start[low + 1]; });
    for (std::size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    std::vector<Side> sides(start.back());
    {
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        forEachSide([&](std::uint32_t low, const Side& side) { sides[fill[low]++] = side; });
    }

    constexpr std::uint32_t kNoPair = 0xFFFFFFFF;
    std::vector<std::uint32_t> pairOf(vertexLimit, kNoPair);  // higher vertex -> pairs
    std::vector<PairFaces> pairs;
    for (std::uint32_t low = 0; low < vertexLimit; ++low) {
        const std::span<const Side> group(sides.data() + start[low], sides.data() + start[low + 1]);
        for (const Side& side : group) {
            std::uint32_t& pair = pairOf[side.high];
            if (pair == kNoPair) {
                pair = static_cast<std::uint32_t>(pairs.size());
                pairs.emplace_back();
            }
            pairs[pair].Add(side.face, side.third);
        }
        for (const Side& side : group) {
            if (side.edge != kNotAsked) {
                neighbours[std::size_t{side.face} * 3 + side.edge] =
                    pairs[pairOf[side.high]].LastWithout(side.third);
            }
        }
        for (const Side& side : group) pairOf[side.high] = kNoPair;
        pairs.clear();
    }
    if (!anyDegenerate) return neighbours;

    // A face with two equal corners has a neighbour only across the edge joining them.
    VertexFaces vertexFaces(indices);
    for (std::size_t f = 0; f < faces; ++f) {
        const Corners c = CornersOf(indices, f);
        if (Distinct(c) || (c[0] == c[1] && c[1] == c[2])) continue;
        if (c[0] == c[1]) {
            neighbours[f * 3] = vertexFaces.LastWithout(c[0], c[2]);
        } else if (c[1] == c[2]) {
            neighbours[f * 3 + 1] = vertexFaces.LastWithout(c[1], c[0]);
        } else {
            neighbours[f * 3 + 2] = vertexFaces.LastWithout(c[2], c[1]);
        }
    }
    return neighbours;
}

std::shared_ptr<const OutlineData> MakeOutlineData(const gfx::Mesh& mesh) {
    auto data = std::make_shared<OutlineData>();
    const std::uint32_t vertexCount = mesh.NumVertices();
    const std::uint32_t stride = mesh.BytesPerVertex();
    const std::span<const std::uint16_t> indices = mesh.Indices();
    const std::span<const std::byte> vertices = mesh.Vertices();
    const std::size_t faceCount = indices.size() / 3;
    auto position = [&](std::uint32_t vertex) {
        gfx::Vec3 p;
        const std::size_t offset = std::size_t{vertex} * stride;
        if (vertex < vertexCount && offset + sizeof p <= vertices.size()) {
            std::memcpy(&p, vertices.data() + offset, sizeof p);
        }
        return p;
    };

    FaceNeighbours neighbours = FindFaceNeighbours(indices.first(faceCount * 3));
    if (faceCount < 0xFFFF) {
        data->neighbours16.assign(neighbours.begin(), neighbours.end());  // kNoFace: 0xFFFF
    } else {
        data->neighbours = std::move(neighbours);
    }
    data->x.resize(vertexCount);
    data->y.resize(vertexCount);
    data->z.resize(vertexCount);
    for (std::uint32_t v = 0; v < vertexCount; ++v) {
        const gfx::Vec3 p = position(v);
        data->x[v] = p.x;
        data->y[v] = p.y;
        data->z[v] = p.z;
    }
    AddFacePlanes(*data, indices.first(faceCount * 3));
    return data;
}

}  // namespace scene
