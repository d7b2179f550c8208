// Mesh paths written for a part file saved into another folder.

#include "files/mesh_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files_test_util.h"

namespace files {
namespace {

namespace fs = std::filesystem;
using namespace files::testing;

TEST(MeshPathsTest, RelativePathsFollowTheFileIntoAnotherFolder) {
    ScratchFolder root;
    for (const char* folder : {"A/parts", "B", "A/sub", "C"}) fs::create_directories(root / folder);
    for (const char* file :
         {"A/body.x", "A/parts/arm.x", "A/Leg.x", "C/body.x", "B/shared.x", "A/shared.x"}) {
        std::ofstream(root / file) << "x";
    }
    const std::string absolute = (root / "A" / "body.x").string();
    auto table = std::make_unique<model::PartTable>();
    const std::vector<std::string> stored = {
        "body.x",           // beside the file
        "parts\\arm.x",     // below it, written the Windows way
        "LEG.X",            // found ignoring case
        absolute,           // absolute: kept
        "C:\\art\\hand.x",  // a drive path: kept
        "missing.x",        // found nowhere: kept
        "shared.x",         // beside both, but another file in B
        "",
    };
    table->count = static_cast<std::int16_t>(stored.size());
    ReplaceMeshPaths(*table, stored);
    const std::string a = (root / "A").string() + "/";
    const std::string b = (root / "B").string() + "/";

    EXPECT_EQ(MeshPathsFor(*table, a, b),
              (std::vector<std::string>{"../A/body.x", "../A/parts/arm.x", "../A/Leg.x", absolute,
                                        "C:\\art\\hand.x", "missing.x", "../A/shared.x", ""}));
    EXPECT_EQ(MeshPathsFor(*table, a, a + "sub/"),
              (std::vector<std::string>{"../body.x", "../parts/arm.x", "../Leg.x", absolute,
                                        "C:\\art\\hand.x", "missing.x", "../shared.x", ""}));
    // The same folder, however spelt: nothing changes, not even the Windows separators.
    EXPECT_EQ(MeshPathsFor(*table, a, a + "sub/../"), stored);
    // A folder where every relative path still names the same file keeps them too.
    fs::create_symlink(root / "A", root / "link");
    EXPECT_EQ(MeshPathsFor(*table, a, (root / "link").string() + "/"), stored);

    // Undone as it was done.
    const std::vector<std::string> previous = ReplaceMeshPaths(*table, MeshPathsFor(*table, a, b));
    EXPECT_EQ(previous, stored);
    EXPECT_EQ(table->Path(0), "../A/body.x");
}

}  // namespace
}  // namespace files
