#pragma once
// At start-up, a recovery copy left by the last run is offered back: one question, Yes restores
// it as Open and Load would open its documents, No discards it. A copy that is not whole is
// never opened: the user is told and its folder is renamed aside, nothing deleted.

#include <functional>
#include <string>
#include <string_view>

#include "app/session.h"

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

}  // namespace app
