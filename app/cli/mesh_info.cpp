// mesh-info: prints, one fact a line, what the mesh loader gives for a file (.x or .obj).

#include <cstdio>
#include <ostream>
#include <set>

#include "app/cli/commands.h"
#include "framework/asset_paths.h"
#include "gfx/mesh/mesh.h"
#include "gfx/meshfile/mesh_file.h"

namespace cli {

namespace {

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string Triple(gfx::Vec3 v) {
    return Number(v.x) + " " + Number(v.y) + " " + Number(v.z);
}

std::string Rgba(const gfx::ColourValue& c) {
    return Number(c.r) + " " + Number(c.g) + " " + Number(c.b) + " " + Number(c.a);
}

// Subsets that hold faces: the distinct attribute ids in use.
std::size_t UsedSubsets(const gfx::Mesh& mesh) {
    const auto attributes = mesh.Attributes();
    return std::set<std::uint32_t>(attributes.begin(), attributes.end()).size();
}

}  // namespace

int RunMeshInfo(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: posewrighter-cli mesh-info FILE.x|FILE.obj\n";
        return 2;
    }
    const auto loaded = gfx::LoadMeshFile(args[0], framework::LookUpBeside);
    if (!loaded) {
        err << "mesh-info: " << loaded.error() << "\n";
        return 1;
    }
    const gfx::Mesh& mesh = loaded->mesh;
    out << "vertices: " << mesh.NumVertices() << "\n";
    out << "faces: " << mesh.NumFaces() << "\n";
    out << "subsets: " << UsedSubsets(mesh) << "\n";
    out << "materials: " << loaded->materials.size() << "\n";
    for (std::size_t i = 0; i < loaded->materials.size(); ++i) {
        const auto& m = loaded->materials[i];
        const std::string prefix = "material " + std::to_string(i) + " ";
        out << prefix << "diffuse: " << Rgba(m.material.diffuse) << "\n";
        out << prefix << "specular: " << Rgba(m.material.specular) << "\n";
        out << prefix << "emissive: " << Rgba(m.material.emissive) << "\n";
        out << prefix << "power: " << Number(m.material.power) << "\n";
        out << prefix << "texture: "
            << (m.textureFilename ? "\"" + *m.textureFilename + "\"" : std::string("none")) << "\n";
    }
    gfx::Vec3 boxMin, boxMax, centre;
    float radius = 0;
    const std::byte* vertices = mesh.LockVertexBuffer();
    gfx::ComputeBoundingBox(vertices, mesh.NumVertices(), mesh.BytesPerVertex(), &boxMin, &boxMax);
    gfx::ComputeBoundingSphere(vertices, mesh.NumVertices(), mesh.BytesPerVertex(), &centre,
                               &radius);
    mesh.UnlockVertexBuffer();
    out << "box min: " << Triple(boxMin) << "\n";
    out << "box max: " << Triple(boxMax) << "\n";
    out << "sphere centre: " << Triple(centre) << "\n";
    out << "sphere radius: " << Number(radius) << "\n";
    return 0;
}

}  // namespace cli
