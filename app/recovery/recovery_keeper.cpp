#include "app/recovery/recovery_keeper.h"

#include "files/animation_file.h"
#include "files/part_file.h"
#include "framework/debug_log.h"
#include "model/document.h"

namespace app {

// The document and the record's revision (a save changes nothing in the document) as last
// looked at.
struct RecoveryKeeper::Seen {
    model::Document document;
    std::uint64_t revision = 0;
};

RecoveryKeeper::RecoveryKeeper(const Session& session, files::RecoverySink& sink)
    : session_(session), sink_(sink) {}

RecoveryKeeper::~RecoveryKeeper() = default;

void RecoveryKeeper::Step(std::uint32_t now) {
    if (!started_) {
        started_ = true;
        lastLook_ = now;
        return;
    }
    if (now - lastLook_ < kRecoveryIntervalMilliseconds) return;
    lastLook_ = now;
    Look();
}

void RecoveryKeeper::Finish() {
    Look();
    sink_.Flush();
}

void RecoveryKeeper::Look() {
    const model::Document& document = session_.model.document;
    const model::PartTable& parts = document.parts;
    const model::AnimationSet& animation = document.animation;
    const DocumentRecord& record = session_.documents;
    if (seen_ && seen_->document == document && seen_->revision == record.revision) return;
    if (!seen_) seen_ = std::make_unique<Seen>();
    seen_->document = document;
    seen_->revision = record.revision;
    ++formatted_;

    // Each document on its own: one its writer refuses (its reason is in the log) is unsaved
    // and keeps, in the copy, the bytes its writer gave last, so the other is still kept.
    auto modelBytes = files::FormatPartFile(parts);
    auto animationBytes = files::FormatAnimationFile(animation, parts);
    files::RecoveryCopy copy;
    copy.modelUnsaved = !modelBytes || record.savedModel != *modelBytes;
    copy.animationUnsaved = !animationBytes || record.savedAnimation != *animationBytes;
    if (modelBytes) lastModel_ = std::move(*modelBytes);
    if (animationBytes) lastAnimation_ = std::move(*animationBytes);
    modelUnsaved_ = copy.modelUnsaved;
    animationUnsaved_ = copy.animationUnsaved;
    if (!unsaved()) {
        if (copyKept_) sink_.Remove();
        copyKept_ = false;
        lastSent_.reset();
        return;
    }
    if (!modelBytes && !lastModel_) lastModel_ = record.savedModel;
    if (!animationBytes && !lastAnimation_) lastAnimation_ = record.savedAnimation;
    if (!lastModel_) {
        framework::LogMessage("Recovery copy not made: no part file was written\n");
        return;
    }
    copy.modelPath = record.modelPath;
    copy.animationPath = record.animationPath;
    copy.model = *lastModel_;
    copy.animation = lastAnimation_.value_or(std::string());
    // A document holding a NaN never equals itself, so every look comes here: the disk already
    // has this copy.
    if (copyKept_ && lastSent_ == copy) return;
    if (!modelBytes) framework::LogMessage("Recovery copy keeps the part file as last written\n");
    if (!animationBytes) {
        framework::LogMessage("Recovery copy keeps the animation file as last written\n");
    }
    lastSent_ = copy;
    sink_.Write(std::move(copy));
    copyKept_ = true;
}

}  // namespace app
