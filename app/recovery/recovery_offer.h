#pragma once
// At start-up, the recovery copies left by editors that are gone are offered back: one question
// a copy, Yes restores it as Open and Load would open its documents, No discards it. A copy that
// is not whole is never opened: the user is told and its folder is renamed aside, nothing
// deleted. Copies of editors still running are not offered (files/recovery_copies.h).

#include <functional>
#include <string>
#include <string_view>

#include "app/core/session.h"

namespace app {

inline constexpr std::string_view kRecoveryQuestion =
    "前回保存されなかった作業が残っています。復元しますか？\r"
    "（はい: 復元する　いいえ: 破棄する）";
// Followed by the folder the copy was moved to.
inline constexpr std::string_view kRecoveryDamagedMessage =
    "前回の作業の復元用コピーが壊れているため、開けませんでした。\r"
    "コピーは次の場所に残してあります:\r";
inline constexpr std::string_view kRecoveryNotOpenedMessage =
    "前回の作業を復元できませんでした。\r"
    "コピーは次の場所に残してあります:\r";

enum class RecoveryOutcome {
    kNoCopy,
    kRestored,
    kDiscarded,
    kSetAside,  // damaged, or its documents failed to open: renamed aside
};

// The user's answer to a yes/no question: true = yes.
using AskYesNo = std::function<bool(std::string_view question)>;

// Offers the copy in `folder`. `stamp` names a copy set aside ("recovery-<stamp>.damaged").
// A restored copy's documents keep their own paths for the next save, and what the copy marked
// unsaved stays unsaved (both, when it marked neither), so the copy lives on until saved.
RecoveryOutcome OfferRecovery(Session& session, const std::string& folder, const AskYesNo& ask,
                              std::string_view stamp);

// Offers the copies left in the recovery folder `root`, newest first, one after another until
// one is restored; the others stay for later starts. A restored copy's folder becomes this
// editor's own copy folder `own` (renamed), so the work always has a copy under a live lock;
// with no own folder it stays where it is, to be offered again. A damaged one is set aside and
// the next is offered. Returns what became of the last copy offered.
RecoveryOutcome OfferLeftRecoveries(Session& session, const std::string& root,
                                    const std::string& own, const AskYesNo& ask,
                                    std::string_view stamp);

}  // namespace app
