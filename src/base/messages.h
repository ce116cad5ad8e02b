// Message numbers and texts, the message line, message boxes and small window utilities.
//
// Typical use: build a text (often MsgText(n) followed by a name), store it in MsgLine and call
// ShowMsg(1) for the message line, ShowMsg(101) for a Yes/No question or ShowMsg(201) for a
// notice box. A display code is style * 100 + sub: style 0 message line, 1 question, 2 notice,
// 3 error box.
#pragma once

#include <string_view>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax {

constexpr std::size_t kMsgLineMax = 160;
constexpr std::size_t kMsgTextMax = 100;

// The message line shown in the shell's status bar (at most 160 characters).
extern Text MsgLine;

// The text of a message number (at most 100 characters). Never fails: numbers without text give
// "Okänt nummer i msgtextanrop= " and the number, storage-engine codes (9500..10499) get the
// prefix "Btree: ".
Text MsgText(int number);

// Shows MsgLine by `code`; the sub-code may first replace MsgLine by a fixed message. True when
// the user agreed (OK, Retry, Ignore, Yes) or no box could be shown.
bool ShowMsg(int code);
// Shows `text` (cut to 160) by the style of `code`, converting DOS letters first. Returns the
// box result (platform::BoxResult); style 0 stores the text into MsgLine and returns 1.
int ShowText(int code, std::string_view text);
// The same without the DOS-letter conversion.
int ShowTextAsIs(int code, std::string_view text);

// A Yes/No question (caption "??") asked before data is destroyed: "Nej" is its default button,
// so that a stray Enter keeps the data. Returns the box result (platform::kYes to go on).
int AskBeforeDestroying(std::string_view text);
// Called before every message box and question (not before message-line texts): a long command
// that holds changes in memory commits them before the user is asked anything. Null: none.
void SetBeforeBoxHook(void (*hook)());

// The number box: shows `prompt` (at most 80 characters; "Ange ett tal:" when empty) and
// `value`; returns the number entered or `value` when cancelled.
int AskNumber(platform::Window owner, int value, std::string_view prompt);
// Parses what the number box's 5-character field holds as a signed integer; `fallback` when it
// holds no number.
int ParseNumberField(std::string_view field, int fallback);

// A tone of 440 Hz for 100 ms.
void BeepSignal();

// The owner-window stack (33 deep): dialogs are owned by the top entry.
void PushOwner(platform::Window window);
void PopOwner();
platform::Window TopOwner();
// The cursor stack (33 deep): push saves the current cursor, pop restores it.
void PushCursor();
void PopCursor();

// Empties MsgLine and both stacks (for tests).
void ResetMessageState();

}  // namespace olbrax
