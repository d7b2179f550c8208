#pragma once
// The recovery folder shared by every running editor. Each editor keeps its copy (see
// recovery_copy.h) in a folder of its own, "editor-<id>/", and holds "editor-<id>.lock" beside it
// for its whole run (recovery_lock.h):
//
//   recovery/editor-4242-1765240000000.lock     held by the editor with process id 4242
//   recovery/editor-4242-1765240000000/         its copy: manifest.txt, model-<n>.pwp ...
//   recovery/editor-earlier-1765230000000/      a copy of the older, one-copy layout, moved
//   recovery/recovery-20261209-014500.damaged/  a damaged copy set aside
//
// A copy is left over when its lock can be taken: its editor is gone. The older layout kept one
// copy directly in the recovery folder; such a copy is moved into a folder of its own first.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/recovery/recovery_lock.h"
#include "gfx/base/result.h"

namespace files {

// The copy of the running editor: its folder (with a trailing slash) and its held lock.
struct OwnRecoveryCopy {
    std::string folder;
    RecoveryLock lock;
};

// "<pid>-<milliseconds since 1970>": unique among the editors of one machine.
std::string NewRecoveryCopyId();

// Claims the copy named `id` in `root` (made when missing): its lock file is made, held. The
// folder itself is made by the first write.
gfx::Result<OwnRecoveryCopy> ClaimRecoveryCopy(const std::string& root, std::string_view id);

// A copy whose editor is gone, locked by the caller while it holds this.
struct LeftRecoveryCopy {
    std::string folder;  // with a trailing slash
    RecoveryLock lock;
    std::filesystem::file_time_type written;  // its manifest's time (the folder's without one)
};

// The copies in `root` whose editors are gone, newest first, each one's lock taken. Copies whose
// lock another editor holds are left alone. On the way, a copy of the older layout is moved into
// a folder of its own, and lock files without a copy whose lock can be taken are removed.
std::vector<LeftRecoveryCopy> FindLeftRecoveryCopies(const std::string& root);

// Done with a left copy that was discarded or taken over: its lock file is removed.
void ForgetLeftRecoveryCopy(LeftRecoveryCopy& copy);

}  // namespace files
