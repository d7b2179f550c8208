#include "app/recovery/recovery_offer.h"

#include <filesystem>
#include <system_error>

#include "app/core/documents.h"
#include "files/recovery/recovery_copies.h"
#include "files/recovery/recovery_copy.h"
#include "framework/debug_log.h"

namespace app {

namespace {

RecoveryOutcome SetAside(Session& session, const std::string& folder, std::string_view stamp,
                         std::string_view message) {
    const auto moved = files::SetAsideRecoveryCopy(folder, stamp);
    if (!moved) framework::LogMessage("Recovery copy not set aside: %s\n", moved.error().c_str());
    session.ShowMessage(std::string(message) + (moved ? *moved : folder));
    return RecoveryOutcome::kSetAside;
}

bool Restore(Session& session, const files::RecoveryCopy& copy) {
    if (!app::OpenPartBytes(session.model, copy.model, copy.modelPath)) return false;
    session.model.animation.ClearAnimation();
    if (!copy.animation.empty() && !app::OpenAnimationBytes(session.model, copy.animation)) {
        return false;
    }
    session.panelObserver().KeyShown(1);

    const bool neither = !copy.modelUnsaved && !copy.animationUnsaved;
    DocumentRecord& record = session.documents;
    record.modelPath = copy.modelPath;
    record.animationPath = copy.animationPath;
    record.savedModel.reset();
    record.savedAnimation.reset();
    if (!neither && !copy.modelUnsaved) record.savedModel = copy.model;
    if (!neither && !copy.animationUnsaved) record.savedAnimation = copy.animation;
    ++record.revision;
    return true;
}

}  // namespace

RecoveryOutcome OfferRecovery(Session& session, const std::string& folder, const AskYesNo& ask,
                              std::string_view stamp) {
    if (folder.empty()) return RecoveryOutcome::kNoCopy;
    const files::RecoveryRead read = files::ReadRecoveryCopy(folder);
    switch (read.state) {
        case files::RecoveryState::kNone:
            return RecoveryOutcome::kNoCopy;
        case files::RecoveryState::kDamaged:
            framework::LogMessage("Recovery copy in \"%s\" is damaged: %s\n", folder.c_str(),
                                  read.problem.c_str());
            return SetAside(session, folder, stamp, kRecoveryDamagedMessage);
        case files::RecoveryState::kFound:
            break;
    }
    if (!ask(kRecoveryQuestion)) {
        if (const gfx::Status removed = files::RemoveRecoveryCopy(folder); !removed) {
            framework::LogMessage("Recovery copy not removed: %s\n", removed.error().c_str());
        }
        return RecoveryOutcome::kDiscarded;
    }
    if (!Restore(session, read.copy)) {
        // A mesh that no longer loads, say: the editor is left empty and the copy kept aside.
        framework::LogMessage("Recovery copy in \"%s\" did not open\n", folder.c_str());
        if (session.model.parts.count > 0) session.model.AbandonTable();
        session.model.animation.ClearAnimation();
        NoteModelSaved(session, std::string());
        NoteAnimationSaved(session, std::string());
        return SetAside(session, folder, stamp, kRecoveryNotOpenedMessage);
    }
    return RecoveryOutcome::kRestored;
}

RecoveryOutcome OfferLeftRecoveries(Session& session, const std::string& root,
                                    const std::string& own, const AskYesNo& ask,
                                    std::string_view stamp) {
    RecoveryOutcome outcome = RecoveryOutcome::kNoCopy;
    std::vector<files::LeftRecoveryCopy> left = files::FindLeftRecoveryCopies(root);
    for (files::LeftRecoveryCopy& copy : left) {
        const RecoveryOutcome offered = OfferRecovery(session, copy.folder, ask, stamp);
        if (offered == RecoveryOutcome::kNoCopy) {
            // An empty folder: nothing to offer, nothing to keep.
            std::error_code error;
            std::filesystem::remove(copy.folder, error);
            if (!std::filesystem::exists(copy.folder, error)) files::ForgetLeftRecoveryCopy(copy);
            continue;
        }
        outcome = offered;
        if (offered != RecoveryOutcome::kRestored) {
            // Discarded or renamed aside: no copy under this lock any more.
            files::ForgetLeftRecoveryCopy(copy);
            continue;
        }
        std::error_code error;
        const std::filesystem::path from = std::filesystem::path(copy.folder).parent_path();
        const std::filesystem::path to = std::filesystem::path(own).parent_path();
        if (!own.empty()) std::filesystem::rename(from, to, error);
        if (own.empty() || error) {
            framework::LogMessage(
                "Recovery copy in \"%s\" stays there: %s\n", copy.folder.c_str(),
                own.empty() ? "no copy of this editor's own" : error.message().c_str());
        } else {
            files::ForgetLeftRecoveryCopy(copy);
        }
        break;
    }
    return outcome;
}

}  // namespace app
