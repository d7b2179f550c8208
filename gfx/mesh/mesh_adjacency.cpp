// Face adjacency: which face lies across each edge of each face.
//
// Rules:
// - Corners are compared by position only, so split vertices (same position, different normal
//   or texture coordinate) still join their faces. With epsilon > 0, a vertex takes the point
//   of the lowest-numbered earlier vertex within epsilon of it in every component (so a chain
//   of near vertices makes one point); NaN positions are points of their own.
// - An edge carried by exactly two faces links them, whatever their winding.
// - An edge carried by three or more faces (non-manifold) links faces pairwise only where the
//   edge runs in opposite directions (consistently wound neighbours): each face, in face order,
//   takes the first unpaired face that runs the edge the other way. Faces left over have no
//   neighbour across that edge.
// - A degenerate face (two corners at the same point) or a face with an index outside the
//   vertex buffer takes part in no adjacency: its three entries are kNoNeighbour and it does not
//   count toward the faces of any edge.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <span>
#include <unordered_map>
#include <vector>

#include "gfx/base/flat_hash_map.h"
#include "gfx/mesh/mesh.h"

namespace gfx {
namespace {

struct PositionBits {
    std::uint32_t x, y, z;
    friend bool operator==(const PositionBits&, const PositionBits&) = default;
};

struct PositionBitsHash {
    std::size_t operator()(const PositionBits& p) const {
        std::uint64_t h = p.x;
        h = h * 0x9E3779B97F4A7C15ull ^ p.y;
        h = h * 0x9E3779B97F4A7C15ull ^ p.z;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// -0 and +0 compare equal, so they must hash alike.
std::uint32_t CanonicalBits(float f) {
    return std::bit_cast<std::uint32_t>(f == 0.0f ? 0.0f : f);
}

std::vector<std::uint32_t> ExactPointIds(const std::vector<Vec3>& positions) {
    std::vector<std::uint32_t> ids(positions.size());
    FlatHashMap<PositionBits, std::uint32_t, PositionBitsHash> firstAt(positions.size());
    for (std::uint32_t v = 0; v < positions.size(); ++v) {
        const Vec3& p = positions[v];
        const PositionBits key{CanonicalBits(p.x), CanonicalBits(p.y), CanonicalBits(p.z)};
        ids[v] = *firstAt.TryEmplace(key, v).first;
    }
    return ids;
}

bool Near(float a, float b, float epsilon) {
    return a == b || std::fabs(a - b) <= epsilon;
}

bool Near(const Vec3& a, const Vec3& b, float epsilon) {
    return Near(a.x, b.x, epsilon) && Near(a.y, b.y, epsilon) && Near(a.z, b.z, epsilon);
}

struct Cell {
    std::int64_t x, y, z;
    friend bool operator==(const Cell&, const Cell&) = default;
    friend auto operator<=>(const Cell&, const Cell&) = default;
};

struct CellHash {
    std::size_t operator()(const Cell& c) const {
        std::uint64_t h = static_cast<std::uint64_t>(c.x);
        h = h * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(c.y);
        h = h * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(c.z);
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// Cells are a hair wider than epsilon so that rounding in the division can never put two
// vertices within epsilon two cells apart. Coordinates are clamped so huge or infinite
// positions stay representable; clamped points merely share cells, the distance test decides.
std::int64_t CellCoordinate(float value, double cellSize) {
    const double cell = std::floor(double{value} / cellSize);
    if (std::isnan(cell)) return 0;  // infinite value and epsilon
    constexpr double kLimit = 4e18;
    return static_cast<std::int64_t>(std::clamp(cell, -kLimit, kLimit));
}

// A uniform grid of epsilon-sized cells: vertices within epsilon of each other lie in the same
// or adjacent cells, so each vertex looks at 27 cells only, whatever the mesh's shape (a sweep
// along one axis would turn quadratic on a mesh lying in a plane across that axis). Exact or
// near copies of a point share a cell, so the common case stops at the cell's first vertex.
std::vector<std::uint32_t> NearPointIds(const std::vector<Vec3>& positions, float epsilon) {
    const auto count = static_cast<std::uint32_t>(positions.size());
    std::vector<std::uint32_t> ids(count);
    std::iota(ids.begin(), ids.end(), 0u);

    const double cellSize = double{epsilon} * (1 + 1e-6);
    std::vector<std::pair<Cell, std::uint32_t>> byCell;
    byCell.reserve(count);
    for (std::uint32_t v = 0; v < count; ++v) {
        const Vec3& p = positions[v];
        if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) continue;  // a point of its own
        byCell.push_back({{CellCoordinate(p.x, cellSize), CellCoordinate(p.y, cellSize),
                           CellCoordinate(p.z, cellSize)},
                          v});
    }
    std::sort(byCell.begin(), byCell.end());  // by cell, then vertex number
    std::unordered_map<Cell, std::pair<std::size_t, std::size_t>, CellHash> cellRange;
    for (std::size_t i = 0; i < byCell.size();) {
        std::size_t end = i + 1;
        while (end < byCell.size() && byCell[end].first == byCell[i].first) ++end;
        cellRange.emplace(byCell[i].first, std::make_pair(i, end));
        i = end;
    }

    // In vertex order, each vertex joins the point of the lowest-numbered earlier vertex within
    // epsilon of it (so chains of near vertices join one point).
    std::vector<Cell> cellOf(count);
    for (const auto& [cell, v] : byCell) cellOf[v] = cell;
    std::vector<bool> gridded(count, false);
    for (const auto& entry : byCell) gridded[entry.second] = true;
    for (std::uint32_t v = 0; v < count; ++v) {
        if (!gridded[v]) continue;
        std::uint32_t match = v;
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    const Cell& c = cellOf[v];
                    const auto it = cellRange.find({c.x + dx, c.y + dy, c.z + dz});
                    if (it == cellRange.end()) continue;
                    for (std::size_t i = it->second.first; i < it->second.second; ++i) {
                        const std::uint32_t u = byCell[i].second;
                        if (u >= match) break;
                        if (Near(positions[u], positions[v], epsilon)) {
                            match = u;
                            break;
                        }
                    }
                }
            }
        }
        ids[v] = ids[match];
    }
    return ids;
}

// One face side lying on an undirected edge; the key names the edge by its two point ids
// (lower one in the high half), which are vertex numbers below 65536.
struct EdgeSide {
    std::uint32_t key;
    std::uint32_t face;
    std::uint32_t corner;  // edge k runs from corner k to corner (k + 1) % 3
    bool forward;          // true when the edge runs from the lower point id to the higher
};

void LinkSides(std::vector<std::uint32_t>& adjacency, const EdgeSide& a, const EdgeSide& b) {
    adjacency[a.face * 3 + a.corner] = b.face;
    adjacency[b.face * 3 + b.corner] = a.face;
}

// The sides of one edge, in face order. Each face takes the first later unpaired face running
// the edge the other way; in one pass that is: a side pairs with the earliest waiting side of
// the opposite direction, or waits. Waiting sides all run one way (two opposite ones would have
// paired), so one queue holds them, and a fan of many faces running one way stays linear.
void LinkEdge(std::span<const EdgeSide> chain, std::vector<std::uint32_t>& adjacency) {
    if (chain.size() == 2) {
        LinkSides(adjacency, chain[0], chain[1]);
        return;
    }
    std::vector<std::size_t> waiting;
    waiting.reserve(chain.size());
    std::size_t head = 0;
    bool waitingForward = false;
    for (std::size_t j = 0; j < chain.size(); ++j) {
        if (head < waiting.size() && waitingForward != chain[j].forward) {
            LinkSides(adjacency, chain[waiting[head++]], chain[j]);
            continue;
        }
        if (head == waiting.size()) {
            waiting.clear();
            head = 0;
            waitingForward = chain[j].forward;
        }
        waiting.push_back(j);
    }
}

// Links the sides of every edge. Sides are grouped by their edge's lower point with a stable
// counting sort (sequential passes, unlike a hash table's probes), so a group holds a point's
// edges to higher points, in face order: a few sides, scanned for those of one edge. A point
// with very many such edges (a fan's centre) has its group stable-sorted by edge instead.
void LinkAllEdges(const std::vector<EdgeSide>& sides, std::uint32_t pointCount,
                  std::vector<std::uint32_t>& adjacency) {
    std::vector<std::uint32_t> start(std::size_t{pointCount} + 1, 0);
    for (const EdgeSide& side : sides) ++start[side.key >> 16];
    std::uint32_t total = 0;
    for (std::uint32_t& s : start) {
        const std::uint32_t count = s;
        s = total;
        total += count;
    }
    std::vector<EdgeSide> grouped(sides.size());
    std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
    for (const EdgeSide& side : sides) grouped[fill[side.key >> 16]++] = side;

    constexpr std::size_t kScanned = 32;
    std::vector<EdgeSide> chain;
    for (std::uint32_t point = 0; point < pointCount; ++point) {
        const std::span<EdgeSide> group(grouped.data() + start[point],
                                        grouped.data() + start[point + 1]);
        if (group.size() > kScanned) {
            std::stable_sort(group.begin(), group.end(),
                             [](const EdgeSide& a, const EdgeSide& b) { return a.key < b.key; });
            for (std::size_t i = 0; i < group.size();) {
                std::size_t end = i + 1;
                while (end < group.size() && group[end].key == group[i].key) ++end;
                if (end - i >= 2) LinkEdge(group.subspan(i, end - i), adjacency);
                i = end;
            }
            continue;
        }
        std::uint32_t taken = 0;  // bit i: side i already belongs to an edge seen
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (taken & (1u << i)) continue;
            std::uint32_t same = 0;  // the later sides of this edge
            for (std::size_t j = i + 1; j < group.size(); ++j) {
                if (group[j].key == group[i].key) same |= 1u << j;
            }
            taken |= same;
            if (same != 0 && (same & (same - 1)) == 0) {  // one bit: the common two-face edge
                LinkSides(adjacency, group[i], group[std::countr_zero(same)]);
            } else if (same != 0) {
                chain.assign(1, group[i]);
                for (std::size_t j = i + 1; j < group.size(); ++j) {
                    if (same & (1u << j)) chain.push_back(group[j]);
                }
                LinkEdge(chain, adjacency);
            }
        }
    }
}

}  // namespace

std::vector<std::uint32_t> Mesh::GenerateAdjacency(float epsilon) const {
    const std::uint32_t faceCount = NumFaces();
    std::vector<std::uint32_t> adjacency(std::size_t{faceCount} * 3, kNoNeighbour);
    if (stride_ == 0) return adjacency;  // a format without positions holds no vertex data

    std::vector<Vec3> positions(vertexCount_);
    for (std::uint32_t v = 0; v < vertexCount_; ++v) positions[v] = Position(v);
    const std::vector<std::uint32_t> pointOf =
        epsilon > 0 ? NearPointIds(positions, epsilon) : ExactPointIds(positions);

    std::vector<EdgeSide> sides;
    sides.reserve(adjacency.size());
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        std::uint32_t points[3];
        bool usable = true;
        for (int k = 0; k < 3; ++k) {
            const std::uint16_t index = indices_[std::size_t{f} * 3 + k];
            if (index >= vertexCount_) {
                usable = false;
                break;
            }
            points[k] = pointOf[index];
        }
        if (!usable || points[0] == points[1] || points[1] == points[2] || points[2] == points[0])
            continue;
        for (std::uint32_t k = 0; k < 3; ++k) {
            const std::uint32_t from = points[k], to = points[(k + 1) % 3];
            sides.push_back({(std::min(from, to) << 16) | std::max(from, to), f, k, from < to});
        }
    }

    // Point ids are vertex numbers, so below the vertex count.
    LinkAllEdges(sides, vertexCount_, adjacency);
    return adjacency;
}

}  // namespace gfx
