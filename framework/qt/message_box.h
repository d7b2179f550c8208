#pragma once
// The notice box of the windowed program: a message box with an empty title and an OK button,
// owned by the main window; and the one yes/no question box.

#include <functional>
#include <string_view>

#include "framework/notice.h"

class QWindow;

namespace framework::qt {

// Shows the box and waits until it is closed. A lone carriage return breaks a line.
void ShowMessageBox(QWindow* owner, std::string_view text);

// Asks a question with Yes and No buttons and waits for the answer. Yes is the default: Enter,
// Escape and the close box all answer it, so that only a deliberate No discards anything.
bool AskYesNoBox(QWindow* owner, std::string_view question);

// Asks with Yes, No and Cancel buttons; Yes is the default (Enter), Escape and the close box
// cancel.
framework::Answer AskYesNoCancelBox(QWindow* owner, std::string_view question);

// Routes framework::ShowMessage to the box and framework::AskQuestion to the three-way box;
// afterClose runs once each box has been closed (the input sampling forgets the buttons the box
// swallowed).
void InstallMessageBoxNotices(QWindow& owner, std::function<void()> afterClose);

}  // namespace framework::qt
