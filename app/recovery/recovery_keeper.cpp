#include "app/recovery/recovery_keeper.h"

#include <cstring>

#include "files/animation_file.h"
#include "files/part_file.h"
#include "framework/debug_log.h"

namespace app {

namespace {

template <typename T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace

// What the two documents are written from, and the record's revision (a save changes no field).
struct RecoveryKeeper::Fields {
    std::int16_t count = 0;
    float scale = 0.0f;
    decltype(model::PartTable::name) name{};
    decltype(model::PartTable::path) path{};
    decltype(model::PartTable::parent) parent{};
    decltype(model::PartTable::level) level{};
    decltype(model::PartTable::defaultPosition) defaultPosition{};
    decltype(model::PartTable::defaultOrientation) defaultOrientation{};
    decltype(model::AnimationSet::keyOrientation) keyOrientation{};
    decltype(model::AnimationSet::keyPosition) keyPosition{};
    decltype(model::AnimationSet::frameCount) frameCount{};
    std::uint64_t revision = 0;

    // Bytes, not values: a NaN must compare equal to itself.
    bool Same(const model::PartTable& t, const model::AnimationSet& a, std::uint64_t r) const {
        return count == t.count && SameBytes(scale, t.scale) && SameBytes(name, t.name) &&
               SameBytes(path, t.path) && SameBytes(parent, t.parent) &&
               SameBytes(level, t.level) && SameBytes(defaultPosition, t.defaultPosition) &&
               SameBytes(defaultOrientation, t.defaultOrientation) &&
               SameBytes(keyOrientation, a.keyOrientation) &&
               SameBytes(keyPosition, a.keyPosition) && SameBytes(frameCount, a.frameCount) &&
               revision == r;
    }
    void Take(const model::PartTable& t, const model::AnimationSet& a, std::uint64_t r) {
        count = t.count;
        scale = t.scale;
        name = t.name;
        path = t.path;
        parent = t.parent;
        level = t.level;
        defaultPosition = t.defaultPosition;
        defaultOrientation = t.defaultOrientation;
        keyOrientation = a.keyOrientation;
        keyPosition = a.keyPosition;
        frameCount = a.frameCount;
        revision = r;
    }
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
    const model::PartTable& parts = session_.model.parts;
    const model::AnimationSet& animation = session_.model.animation;
    const DocumentRecord& record = session_.documents;
    if (seen_ && seen_->Same(parts, animation, record.revision)) return;
    if (!seen_) seen_ = std::make_unique<Fields>();
    seen_->Take(parts, animation, record.revision);
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
        return;
    }
    if (!modelBytes) {
        if (!lastModel_) lastModel_ = record.savedModel;
        framework::LogMessage(lastModel_ ? "Recovery copy keeps the part file as last written\n"
                                         : "Recovery copy not made: no part file was written\n");
        if (!lastModel_) return;
    }
    if (!animationBytes) {
        if (!lastAnimation_) lastAnimation_ = record.savedAnimation;
        framework::LogMessage("Recovery copy keeps the animation file as last written\n");
    }
    copy.modelPath = record.modelPath;
    copy.animationPath = record.animationPath;
    copy.model = *lastModel_;
    copy.animation = lastAnimation_.value_or(std::string());
    sink_.Write(std::move(copy));
    copyKept_ = true;
}

}  // namespace app
