#include "model/part_tree.h"

namespace model {

namespace {

std::string PartFault(int i, const std::string& what) {
    return "part " + std::to_string(i) + ": " + what;
}

}  // namespace

std::string TreeFault(const PartTable& table) {
    if (table.count < 0 || table.count > kMaxParts) return "part count is outside 0 to 100";
    if (table.count == 0) return {};
    if (table.parent[0] != kNoPart || table.level[0] != 0) {
        return PartFault(0, "the root must have parent -1 and level 0");
    }
    for (int i = 1; i < table.count; ++i) {
        const int p = table.parent[i];
        if (p < 0 || p >= i)
            return PartFault(i, "parent " + std::to_string(p) + " is not an earlier part");
        const int level = table.level[i];
        if (level != table.level[p] + 1) {
            return PartFault(
                i, "level " + std::to_string(level) + " is not one more than its parent's");
        }
        // level[p] is below `level`, so the walk back stops at p at the latest.
        int nearest = i - 1;
        while (table.level[nearest] >= level) --nearest;
        if (nearest != p) {
            return PartFault(i, "not inside its parent's subtree (parts out of depth-first order)");
        }
    }
    return {};
}

}  // namespace model
