#include "base/messages.h"

#include <algorithm>
#include <charconv>

#include "base/message_table.h"

namespace olbrax {

Text MsgLine;

namespace {

constexpr int kStackDepth = 33;

struct WindowStacks {
  platform::Window owners[kStackDepth + 1]{};
  int owner_depth = 0;
  platform::Cursor cursors[kStackDepth + 1]{};
  int cursor_depth = 0;
};
WindowStacks g_stacks;

std::string_view LookUp(int number) {
  auto table = detail::MessageTable();
  auto it = std::lower_bound(table.begin(), table.end(), number,
                             [](const detail::MessageEntry& e, int n) { return e.number < n; });
  return (it != table.end() && it->number == number) ? it->text : std::string_view();
}

std::string_view Caption(int style) {
  switch (style) {
    case 1: return "??";
    case 2: return "info";
    default: return "error";
  }
}

void (*g_before_box)() = nullptr;

void BeforeBox() {
  if (g_before_box) g_before_box();
}

int ShowTextImpl(int code, std::string_view text, bool convert_dos) {
  Text shown = Cut(text, kMsgLineMax);
  int style = code / 100;
  int sub = code % 100;
  if (style < 0 || style > 255 || sub < 0 || sub > 255) return platform::kNoBox;
  if (convert_dos && HasDosSwedishLetters(shown)) shown = DosToWin(shown);
  if (style == 0) {
    MsgLine = shown;
    platform::CurrentUi().MessageLine(shown);
    return platform::kOk;
  }
  BeforeBox();
  return platform::CurrentUi().ShowBox(style, Caption(style), shown);
}

}  // namespace

Text MsgText(int number) {
  const Text field = PadLeft(std::to_string(number), ' ', 6);
  Text text(LookUp(number));
  if (number >= 9500 && number <= 10499) {
    if (text.empty()) text = "errornr=" + field;
    text = Cut("Btree: " + text, kMsgTextMax);
  }
  if (text.empty()) text = Text("Okänt nummer i msgtextanrop= "_w) + field;
  return Cut(text, kMsgTextMax);
}

int ShowText(int code, std::string_view text) { return ShowTextImpl(code, text, true); }

int AskBeforeDestroying(std::string_view text) {
  Text shown = Cut(text, kMsgLineMax);
  if (HasDosSwedishLetters(shown)) shown = DosToWin(shown);
  BeforeBox();
  return platform::CurrentUi().ShowBox(platform::kGuardedQuestionBox, Caption(1), shown);
}
void SetBeforeBoxHook(void (*hook)()) { g_before_box = hook; }

int ShowTextAsIs(int code, std::string_view text) { return ShowTextImpl(code, text, false); }

bool ShowMsg(int code) {
  switch (code % 100) {
    case 0: case 34: MsgLine.clear(); break;
    case 7: MsgLine = MsgText(324); break;
    case 31: MsgLine = MsgText(325); break;
    case 33: MsgLine = MsgText(326); break;
    case 36: MsgLine = MsgText(329); break;
    case 39: MsgLine = MsgText(330); break;
    default: break;
  }
  switch (ShowText(code, MsgLine)) {
    case platform::kCancel: case platform::kAbort: case platform::kNo: return false;
    default: return true;
  }
}

int ParseNumberField(std::string_view field, int fallback) {
  field = field.substr(0, 5);
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || end != field.data() + field.size() || field.empty()) return fallback;
  return value;
}

int AskNumber(platform::Window owner, int value, std::string_view prompt) {
  BeforeBox();
  return platform::CurrentUi().AskNumber(owner, value, prompt.substr(0, 80));
}

void BeepSignal() { platform::CurrentUi().Beep(440, 100); }

void PushOwner(platform::Window window) {
  ++g_stacks.owner_depth;
  if (g_stacks.owner_depth >= 1 && g_stacks.owner_depth <= kStackDepth)
    g_stacks.owners[g_stacks.owner_depth] = window;
}

void PopOwner() { --g_stacks.owner_depth; }

platform::Window TopOwner() {
  int d = g_stacks.owner_depth;
  return (d >= 1 && d <= kStackDepth) ? g_stacks.owners[d] : nullptr;
}

void PushCursor() {
  ++g_stacks.cursor_depth;
  if (g_stacks.cursor_depth >= 1 && g_stacks.cursor_depth <= kStackDepth)
    g_stacks.cursors[g_stacks.cursor_depth] = platform::CurrentUi().CurrentCursor();
}

void PopCursor() {
  int d = g_stacks.cursor_depth;
  if (d >= 1) {
    if (d <= kStackDepth) platform::CurrentUi().SetCursor(g_stacks.cursors[d]);
    --g_stacks.cursor_depth;
  }
}

void ResetMessageState() {
  MsgLine.clear();
  g_stacks = WindowStacks{};
}

}  // namespace olbrax
