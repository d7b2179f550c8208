#include "files/settings/window_layout.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <tuple>
#include <vector>

namespace files {

namespace {

// Edges in 64 bits, so that a work area near the int range plus a size cannot overflow.
struct Box {
    std::int64_t left, top, right, bottom;
};

bool Present(FrameSize size) {
    return size.width > 0 && size.height > 0;
}

Box BoxAt(std::int64_t left, std::int64_t top, FrameSize size) {
    return {left, top, left + size.width, top + size.height};
}

std::int64_t OverlapArea(const Box& a, const Box& b) {
    const std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

bool Inside(const Box& box, const Box& area) {
    return box.left >= area.left && box.top >= area.top && box.right <= area.right &&
           box.bottom <= area.bottom;
}

WindowCorner CornerOf(const Box& box) {
    return {static_cast<int>(box.left), static_cast<int>(box.top)};
}

std::size_t Index(LayoutWindow window) {
    return static_cast<std::size_t>(window);
}

// Where the preferred layout tries the Material panel, in this order.
enum class MaterialSpot { kBelowPart, kBesidePart, kEndOfRow };

// The main window with the Part panel beside it, three panels in a row below the main window and
// the Material panel at `spot`; nothing when that leaves the area or overlaps.
std::optional<LayoutCorners> PreferredLayout(const Box& area, const LayoutSizes& frames,
                                             MaterialSpot spot) {
    std::array<std::optional<Box>, kLayoutWindows> boxes;
    const auto place = [&](LayoutWindow window, std::int64_t left, std::int64_t top) {
        const FrameSize size = frames[Index(window)];
        if (Present(size)) boxes[Index(window)] = BoxAt(left, top, size);
    };
    const auto rightOf = [&](LayoutWindow window, std::int64_t otherwise) {
        const auto& box = boxes[Index(window)];
        return box ? box->right + kLayoutGap : otherwise;
    };
    const auto bottomOf = [&](LayoutWindow window, std::int64_t otherwise) {
        const auto& box = boxes[Index(window)];
        return box ? box->bottom + kLayoutGap : otherwise;
    };
    place(LayoutWindow::kMain, area.left, area.top);
    const std::int64_t besideMain = rightOf(LayoutWindow::kMain, area.left);
    place(LayoutWindow::kPart, besideMain, area.top);
    std::int64_t rowEnd = area.left;
    const std::int64_t rowTop = bottomOf(LayoutWindow::kMain, area.top);
    for (const LayoutWindow window :
         {LayoutWindow::kAnimation, LayoutWindow::kHandling, LayoutWindow::kLighting}) {
        place(window, rowEnd, rowTop);
        rowEnd = rightOf(window, rowEnd);
    }
    switch (spot) {
        case MaterialSpot::kBelowPart:
            // Right of the row, should the row reach under the Part panel.
            place(LayoutWindow::kMaterial, std::max(besideMain, rowEnd),
                  bottomOf(LayoutWindow::kPart, area.top));
            break;
        case MaterialSpot::kBesidePart:
            place(LayoutWindow::kMaterial, rightOf(LayoutWindow::kPart, besideMain), area.top);
            break;
        case MaterialSpot::kEndOfRow:
            place(LayoutWindow::kMaterial, rowEnd, rowTop);
            break;
    }

    LayoutCorners corners;
    corners.fill(CornerOf(area));
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        if (!boxes[i]) continue;
        if (!Inside(*boxes[i], area)) return std::nullopt;
        for (std::size_t j = 0; j < i; ++j) {
            if (boxes[j] && OverlapArea(*boxes[i], *boxes[j]) > 0) return std::nullopt;
        }
        corners[i] = CornerOf(*boxes[i]);
    }
    return corners;
}

// The start that keeps [start, start + length) inside the area's [low, high), or low when the
// length does not fit.
std::int64_t ClampStart(std::int64_t start, std::int64_t length, std::int64_t low,
                        std::int64_t high) {
    return std::max(low, std::min(start, high - length));
}

// Each window in turn at the least overlapping spot beside or below those placed before it.
LayoutCorners LeastOverlapLayout(const Box& area, const LayoutSizes& frames,
                                 const LayoutStored& stored) {
    LayoutCorners corners;
    corners.fill(CornerOf(area));
    std::vector<Box> panels;
    std::optional<Box> main;
    // Stored windows are where they are before anything is placed around them.
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        if (!Present(frames[i]) || !stored[i]) continue;
        corners[i] = *stored[i];
        const Box box = BoxAt(stored[i]->left, stored[i]->top, frames[i]);
        if (i == Index(LayoutWindow::kMain)) {
            main = box;
        } else {
            panels.push_back(box);
        }
    }
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        const FrameSize size = frames[i];
        if (!Present(size) || stored[i]) continue;
        std::vector<std::int64_t> lefts{area.left, area.right - size.width};
        std::vector<std::int64_t> tops{area.top, area.bottom - size.height};
        const auto addEdgesOf = [&](const Box& placed) {
            lefts.insert(lefts.end(), {placed.left, placed.right + kLayoutGap});
            tops.insert(tops.end(), {placed.top, placed.bottom + kLayoutGap});
        };
        if (main) addEdgesOf(*main);
        for (const Box& panel : panels) addEdgesOf(panel);

        // Overlap with panels, overlap with the main window, top, left: the smallest wins.
        using Score = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;
        std::optional<Score> best;
        Box chosen{};
        for (const std::int64_t left : lefts) {
            for (const std::int64_t top : tops) {
                const Box box = BoxAt(ClampStart(left, size.width, area.left, area.right),
                                      ClampStart(top, size.height, area.top, area.bottom), size);
                std::int64_t onPanels = 0;
                for (const Box& panel : panels) onPanels += OverlapArea(box, panel);
                const std::int64_t onMain = main ? OverlapArea(box, *main) : 0;
                const Score score{onPanels, onMain, box.top, box.left};
                if (!best || score < *best) {
                    best = score;
                    chosen = box;
                }
            }
        }
        corners[i] = CornerOf(chosen);
        if (i == Index(LayoutWindow::kMain)) {
            main = chosen;
        } else {
            panels.push_back(chosen);
        }
    }
    return corners;
}

}  // namespace

// Whether a window the layout places covers a stored one.
bool CoversStored(const LayoutCorners& corners, const LayoutSizes& frames,
                  const LayoutStored& stored) {
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        if (!Present(frames[i]) || stored[i]) continue;
        const Box placed = BoxAt(corners[i].left, corners[i].top, frames[i]);
        for (std::size_t j = 0; j < kLayoutWindows; ++j) {
            if (!Present(frames[j]) || !stored[j]) continue;
            if (OverlapArea(placed, BoxAt(stored[j]->left, stored[j]->top, frames[j])) > 0) {
                return true;
            }
        }
    }
    return false;
}

LayoutCorners FirstStartLayout(framework::ScreenRect workArea, const LayoutSizes& frames,
                               const LayoutStored& stored) {
    const Box area{workArea.left, workArea.top, workArea.right, workArea.bottom};
    for (const MaterialSpot spot :
         {MaterialSpot::kBelowPart, MaterialSpot::kBesidePart, MaterialSpot::kEndOfRow}) {
        std::optional<LayoutCorners> preferred = PreferredLayout(area, frames, spot);
        if (!preferred || CoversStored(*preferred, frames, stored)) continue;
        for (std::size_t i = 0; i < kLayoutWindows; ++i) {
            if (stored[i]) (*preferred)[i] = *stored[i];
        }
        return *preferred;
    }
    return LeastOverlapLayout(area, frames, stored);
}

}  // namespace files
