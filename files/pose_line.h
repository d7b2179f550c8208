#pragma once
// The vector and quaternion entries shared by the part and animation files:
// "VEC3( +x, +y, +z)" and "QUAT( +x, +y, +z, +w)", every number in the component form of
// number_text.h. The line parses take one whole entry line, comment included.

#include <string>
#include <string_view>

#include "gfx/base/result.h"
#include "gfx/math/math_types.h"

namespace files {

void AppendVectorText(std::string& out, const gfx::Vec3& v);
void AppendQuaternionText(std::string& out, const gfx::Quat& q);

// Accepts "<anything without '('>( c, c, c)," and then anything (the comment), where every c is
// a finite number followed by the letter f (or F), with blanks allowed around the numbers and
// separators. Anything else fails with the reason in the error text (for the debug log).
gfx::Result<gfx::Vec3> ParseVectorLine(std::string_view line);
// The same with four components x, y, z, w.
gfx::Result<gfx::Quat> ParseQuaternionLine(std::string_view line);

}  // namespace files
