#include <gtest/gtest.h>

#include "base/counter.h"
#include "base/messages.h"
#include "support/fixtures.h"

namespace olbrax {
namespace {

class CounterTest : public test::UiTest {
 protected:
  int owner_ = 0;
  platform::Window owner() { return &owner_; }
};

TEST_F(CounterTest, LinesStartAtTwoAndWrapOverEight) {
  OpenCounter(owner(), 3, "kopiering");
  CounterLine(2, "a");
  CounterLine(1, "b");
  CounterLine(10, "c");
  CounterLine(11, "d");
  CloseCounter();
  EXPECT_EQ(ui.counter_lines, (std::vector<std::string>{"1:1:a", "1:1:b", "1:1:c", "1:2:d"}));
}

TEST_F(CounterTest, OutermostWindowDisablesTheOwnerAndRestoresTheCursor) {
  ui.cursor = platform::Cursor::Program;
  OpenCounter(owner(), 3, "a");
  EXPECT_EQ(ui.cursor, platform::Cursor::Wait);
  OpenCancelCounter(owner(), 4, "b");
  ui.SetCursor(platform::Cursor::Arrow);  // an inner window changed it
  CloseCounter();
  CloseCounter();
  EXPECT_EQ(ui.cursor, platform::Cursor::Program);
  ASSERT_EQ(ui.enable_calls.size(), 2u);
  EXPECT_EQ(ui.enable_calls[0], std::make_pair(owner(), false));
  EXPECT_EQ(ui.enable_calls[1], std::make_pair(owner(), true));
}

TEST_F(CounterTest, AFifthNestedWindowShowsNothing) {
  for (int i = 0; i < 5; ++i) OpenCounter(owner(), 3, "x");
  EXPECT_EQ(ui.counters_created, 4);
  CounterLine(2, "ignored");
  EXPECT_TRUE(ui.counter_lines.empty());
  CloseCounter();
  CounterLine(2, "fourth");
  EXPECT_EQ(ui.counter_lines.back(), "4:1:fourth");
  while (CounterDepth() > 0) CloseCounter();
}

TEST_F(CounterTest, CancelStopsLinesUntilTheNextWindow) {
  OpenCancelCounter(owner(), 3, "import");
  CounterLine(2, "one");
  ui.RequestCancel();
  CounterLine(2, "two");  // the cancel is seen while this line is shown
  EXPECT_TRUE(CounterAborted());
  CounterLine(2, "three");
  CloseCounter();
  EXPECT_TRUE(CounterAborted());
  EXPECT_EQ(ui.counter_lines.size(), 2u);
  OpenCounter(owner(), 3, "next");
  EXPECT_FALSE(CounterAborted());
  CloseCounter();
}

TEST_F(CounterTest, WindowsWithoutCancelIgnoreACancelRequest) {
  OpenCounter(owner(), 3, "x");
  ui.RequestCancel();
  CounterLine(2, "a");
  EXPECT_FALSE(CounterAborted());
  CloseCounter();
}

TEST_F(CounterTest, WithoutOwnerOrWindowNothingShows) {
  OpenCounter(nullptr, 3, "x");
  CounterLine(2, "a");
  CloseCounter();
  EXPECT_EQ(ui.counters_created, 0);
  ui.fail_counters = true;
  OpenCounter(owner(), 3, "x");
  EXPECT_EQ(MsgLine, "Kan ej skapa dialog");
  CloseCounter();
  EXPECT_EQ(CounterDepth(), 0);
}

TEST_F(CounterTest, DosLettersAreConverted) {
  OpenCounter(owner(), 3, "x");
  CounterLine(2, "p\x86");
  CloseCounter();
  EXPECT_EQ(ui.counter_lines.back(), "1:1:p\xE5");
}

}  // namespace
}  // namespace olbrax
