#include "base/counter.h"

#include <memory>

#include "base/messages.h"
#include "base/text.h"

namespace olbrax {

namespace {

struct CounterStack {
  int depth = 0;
  std::unique_ptr<platform::CounterWindow> slots[kMaxCounterDepth + 1];
  platform::Window owner = nullptr;        // owner disabled by the outermost window
  platform::Cursor saved_cursor = platform::Cursor::Arrow;
  bool aborted = false;
};
CounterStack g_counters;

void Open(platform::Window owner, int lines, std::string_view caption, bool cancel) {
  int depth = ++g_counters.depth;
  if (depth > kMaxCounterDepth) return;
  g_counters.slots[depth].reset();
  if (!owner) return;

  platform::Ui& ui = platform::CurrentUi();
  platform::CounterSpec spec;
  spec.owner = owner;
  spec.cancel = cancel;
  spec.lines = lines - 2 < 8 ? lines - 2 : 8;
  if (spec.lines < 1) spec.lines = 1;
  spec.depth = depth;
  spec.caption = caption;
  spec.on_cancel = [] { g_counters.aborted = true; };

  g_counters.aborted = false;
  auto window = ui.CreateCounter(spec);
  if (!window) {
    ShowText(1, "Kan ej skapa dialog");
    return;
  }
  if (depth == 1) {
    // The outermost window saves the cursor and disables the owner until it closes.
    g_counters.saved_cursor = ui.CurrentCursor();
    g_counters.owner = owner;
    ui.SetWindowEnabled(owner, false);
  }
  if (!cancel) ui.SetCursor(platform::Cursor::Wait);
  g_counters.slots[depth] = std::move(window);
  ui.ProcessEvents();
}

}  // namespace

void OpenCounter(platform::Window owner, int lines, std::string_view caption) {
  Open(owner, lines, caption, false);
}

void OpenCancelCounter(platform::Window owner, int lines, std::string_view caption) {
  Open(owner, lines, caption, true);
}

void CounterLine(int line, std::string_view text) {
  int depth = g_counters.depth;
  if (g_counters.aborted || depth > kMaxCounterDepth || depth < 1 || !g_counters.slots[depth]) return;
  Text shown = HasDosSwedishLetters(text) ? DosToWin(text) : Text(text);
  int bar = line < 2 ? 1 : ((line - 2) % 8) + 1;
  g_counters.slots[depth]->SetLine(bar, shown);
  platform::CurrentUi().ProcessEvents();
}

void CloseCounter() {
  int depth = g_counters.depth;
  if (depth >= 1 && depth <= kMaxCounterDepth && g_counters.slots[depth]) {
    g_counters.slots[depth].reset();
    if (depth == 1) {
      platform::Ui& ui = platform::CurrentUi();
      ui.SetWindowEnabled(g_counters.owner, true);
      ui.SetCursor(g_counters.saved_cursor);
      g_counters.owner = nullptr;
    }
  }
  if (depth > 0) g_counters.depth = depth - 1;
}

bool CounterAborted() { return g_counters.aborted; }

int CounterDepth() { return g_counters.depth; }

void ResetCounters() {
  while (g_counters.depth > 0) CloseCounter();
  g_counters.aborted = false;
}

}  // namespace olbrax
