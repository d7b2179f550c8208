// Reordering faces and vertices: compaction, attribute sort and vertex cache order.
//
// Every option keeps each face's corners (the same vertex data, in the same winding order) and
// its attribute id; only the order of faces and the numbering of vertices change.
// - kMeshOptCompact drops vertices no face uses.
// - kMeshOptAttrSort stable-sorts faces by attribute id, numbers vertices in the order the
//   sorted faces first use them (so a subset's vertices are contiguous unless an earlier subset
//   shares them) and builds the attribute table.
// - kMeshOptVertexCache implies the attribute sort and, within each subset, orders the faces
//   for the post-transform vertex cache, in time linear in the faces however many of them share
//   a vertex.
// Without a sort, an existing attribute table keeps its face ranges and gets its vertex ranges
// recomputed for the new numbering.

#include <meshoptimizer.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "gfx/mesh/mesh.h"

namespace gfx {
namespace {

constexpr std::uint32_t kKnownFlags = kMeshOptCompact | kMeshOptAttrSort | kMeshOptVertexCache;
constexpr std::uint32_t kUnusedVertex = 0xFFFFFFFF;
// The FIFO cache the order is made for, in vertices. meshoptimizer's FIFO ordering is used
// rather than its default one: it is about four times as fast, leaves as few misses in a cache
// of 16 vertices or more, and stays linear on a vertex that tens of thousands of faces share
// (where the default ordering takes seconds).
constexpr unsigned int kCacheSize = 16;

// Reorders the `count` faces at `faces` for the vertex cache. meshoptimizer works on bare
// indices, so its output triangles are matched back to the faces they came from (rotations
// included, in case the library starts a triangle at another corner); each face keeps its own
// corner order.
void OrderGroupForVertexCache(std::span<const std::uint16_t> indices, std::uint32_t vertexCount,
                              std::uint32_t* faces, std::size_t count) {
    // The group's faces bucketed by their first corner, in face order (a counting sort), so
    // that each triangle the library gives is matched to the earliest untaken face with its
    // corners: duplicate faces come out in their original order.
    std::vector<unsigned int> groupIndices(count * 3);
    std::vector<std::uint32_t> start(std::size_t{vertexCount} + 1, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t* corner = &indices[std::size_t{faces[i]} * 3];
        for (int k = 0; k < 3; ++k) groupIndices[i * 3 + k] = corner[k];
        ++start[std::size_t{corner[0]} + 1];
    }
    for (std::size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    std::vector<std::uint32_t> byFirst(count);
    {
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < count; ++i) {
            byFirst[fill[groupIndices[i * 3]]++] = static_cast<std::uint32_t>(i);
        }
    }
    std::vector<bool> taken(count, false);
    // Each bucket's first face not yet known to be taken.
    std::vector<std::uint32_t> head(start.begin(), start.end() - 1);
    // The earliest untaken face of the group with corners a, b, c in this order; count if none.
    auto take = [&](unsigned int a, unsigned int b, unsigned int c) -> std::size_t {
        if (a >= vertexCount) return count;
        std::uint32_t& first = head[a];
        while (first < start[a + 1] && taken[byFirst[first]]) ++first;
        for (std::uint32_t j = first; j < start[a + 1]; ++j) {
            const std::uint32_t i = byFirst[j];
            if (!taken[i] && groupIndices[i * 3 + 1] == b && groupIndices[i * 3 + 2] == c) {
                taken[i] = true;
                return i;
            }
        }
        return count;
    };

    std::vector<unsigned int> optimized(groupIndices.size());
    meshopt_optimizeVertexCacheFifo(optimized.data(), groupIndices.data(), groupIndices.size(),
                                    vertexCount, kCacheSize);

    std::vector<std::uint32_t> reordered;
    reordered.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned int a = optimized[i * 3], b = optimized[i * 3 + 1], c = optimized[i * 3 + 2];
        std::size_t item = take(a, b, c);
        if (item == count) item = take(b, c, a);
        if (item == count) item = take(c, a, b);
        if (item == count) return;  // not a permutation of the input: keep the sorted order
        reordered.push_back(faces[item]);
    }
    std::copy(reordered.begin(), reordered.end(), faces);
}

// Faces [start, end) of each run of equal attribute ids.
template <typename Visit>
void ForEachAttributeRun(const std::vector<std::uint32_t>& attributes, Visit visit) {
    std::size_t start = 0;
    while (start < attributes.size()) {
        std::size_t end = start + 1;
        while (end < attributes.size() && attributes[end] == attributes[start]) ++end;
        visit(start, end);
        start = end;
    }
}

void SetVertexRange(AttributeRange& range, std::span<const std::uint16_t> indices) {
    if (range.faceCount == 0) {
        range.vertexStart = range.vertexCount = 0;
        return;
    }
    const auto corners =
        indices.subspan(std::size_t{range.faceStart} * 3, std::size_t{range.faceCount} * 3);
    const auto [low, high] = std::minmax_element(corners.begin(), corners.end());
    range.vertexStart = *low;
    range.vertexCount = std::uint32_t{*high} - *low + 1;
}

}  // namespace

Result<Mesh> Mesh::Optimize(std::uint32_t flags, std::span<const std::uint32_t> adjacency) const {
    const std::uint32_t faceCount = NumFaces();
    if ((flags & ~kKnownFlags) != 0) {
        return Error{"Optimize: unsupported flags " + std::to_string(flags & ~kKnownFlags)};
    }
    if (!adjacency.empty()) {
        if (adjacency.size() != std::size_t{faceCount} * 3) {
            return Error{"Optimize: adjacency has " + std::to_string(adjacency.size()) +
                         " entries, expected " + std::to_string(std::size_t{faceCount} * 3)};
        }
        for (const std::uint32_t neighbour : adjacency) {
            if (neighbour != kNoNeighbour && neighbour >= faceCount) {
                return Error{"Optimize: adjacency names face " + std::to_string(neighbour) +
                             " of " + std::to_string(faceCount)};
            }
        }
    }
    for (const std::uint16_t index : indices_) {
        if (index >= vertexCount_) {
            return Error{"Optimize: index " + std::to_string(index) + " is past the " +
                         std::to_string(vertexCount_) + " vertices"};
        }
    }
    const bool sortFaces = (flags & (kMeshOptAttrSort | kMeshOptVertexCache)) != 0;
    // Without a sort the table is kept, so it must fit the faces; a sort replaces it.
    for (const AttributeRange& range : attributeTable_) {
        if (!sortFaces && std::uint64_t{range.faceStart} + range.faceCount > faceCount) {
            return Error{"Optimize: attribute table range of id " + std::to_string(range.attribId) +
                         " runs past the faces"};
        }
    }

    std::vector<std::uint32_t> faceOrder(faceCount);
    std::iota(faceOrder.begin(), faceOrder.end(), 0u);
    // Faces already in attribute order (one material, or grouped by the file) need no sort.
    if (sortFaces && !std::is_sorted(attributes_.begin(), attributes_.end())) {
        std::stable_sort(faceOrder.begin(), faceOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
            return attributes_[a] < attributes_[b];
        });
    }
    std::vector<std::uint32_t> sortedAttributes(faceCount);
    for (std::uint32_t f = 0; f < faceCount; ++f) sortedAttributes[f] = attributes_[faceOrder[f]];
    if (flags & kMeshOptVertexCache) {
        ForEachAttributeRun(sortedAttributes, [&](std::size_t start, std::size_t end) {
            OrderGroupForVertexCache(indices_, vertexCount_, faceOrder.data() + start, end - start);
        });
    }

    // newIndexOf[old vertex]: first-use order after a sort, original order otherwise.
    std::vector<std::uint32_t> newIndexOf(vertexCount_, kUnusedVertex);
    std::uint32_t nextIndex = 0;
    if (sortFaces) {
        for (const std::uint32_t f : faceOrder) {
            for (int k = 0; k < 3; ++k) {
                std::uint32_t& slot = newIndexOf[indices_[std::size_t{f} * 3 + k]];
                if (slot == kUnusedVertex) slot = nextIndex++;
            }
        }
    } else {
        for (const std::uint16_t index : indices_) newIndexOf[index] = 0;  // mark used
        for (std::uint32_t& slot : newIndexOf) {
            if (slot == 0 || !(flags & kMeshOptCompact)) slot = nextIndex++;
        }
    }
    if (!(flags & kMeshOptCompact)) {
        for (std::uint32_t& slot : newIndexOf) {
            if (slot == kUnusedVertex) slot = nextIndex++;
        }
    }

    Mesh result(faceCount, nextIndex, fvf_);
    for (std::uint32_t v = 0; v < vertexCount_; ++v) {
        if (newIndexOf[v] == kUnusedVertex || stride_ == 0) continue;
        std::memcpy(result.vertices_.data() + std::size_t{newIndexOf[v]} * stride_,
                    vertices_.data() + std::size_t{v} * stride_, stride_);
    }
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        const std::uint32_t source = faceOrder[f];
        result.attributes_[f] = attributes_[source];
        for (int k = 0; k < 3; ++k) {
            result.indices_[std::size_t{f} * 3 + k] =
                static_cast<std::uint16_t>(newIndexOf[indices_[std::size_t{source} * 3 + k]]);
        }
    }

    if (sortFaces) {
        ForEachAttributeRun(result.attributes_, [&](std::size_t start, std::size_t end) {
            AttributeRange range;
            range.attribId = result.attributes_[start];
            range.faceStart = static_cast<std::uint32_t>(start);
            range.faceCount = static_cast<std::uint32_t>(end - start);
            result.attributeTable_.push_back(range);
        });
    } else {
        result.attributeTable_ = attributeTable_;
    }
    for (AttributeRange& range : result.attributeTable_) SetVertexRange(range, result.indices_);
    return result;
}

}  // namespace gfx
