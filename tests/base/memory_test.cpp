#include <gtest/gtest.h>

#include "base/memory.h"
#include "support/fixtures.h"

namespace olbrax {
namespace {

class MemoryTest : public test::UiTest {};

TEST_F(MemoryTest, AllocLockUnlockFree) {
  MemHandle h = MemAlloc("t", 100);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(MemSize("t", h), 100u);
  EXPECT_EQ(MemFlags("t", h), 0);
  auto* p = static_cast<unsigned char*>(MemLock("t", h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[99], 0);  // zeroed
  EXPECT_EQ(MemFlags("t", h), 1);
  EXPECT_FALSE(MemUnlock("t", h));
  EXPECT_EQ(MemFree("t", h), 0u);
  EXPECT_EQ(h, 0u);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MemoryTest, FailuresShowTheErrorNumberFunctionAndTag) {
  MemHandle bad = 4242;
  EXPECT_EQ(MemSize("PrSetup", bad), 0u);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "   6 globalsize error PrSetup");
  EXPECT_EQ(ui.boxes[0].caption, "info");

  ui.boxes.clear();
  EXPECT_EQ(MemLock("L", bad), nullptr);
  ASSERT_EQ(ui.boxes.size(), 2u);  // the flag check first, then the lock itself
  EXPECT_EQ(ui.boxes[0].text, "   6 globalflags error L");
  EXPECT_EQ(ui.boxes[1].text, "   6 globallock error L");

  ui.boxes.clear();
  MemHandle h = bad;
  EXPECT_EQ(MemFree("F", h), bad);  // a failed free leaves the handle
  EXPECT_EQ(h, bad);
  EXPECT_EQ(ui.boxes.back().text, "   6 globalfree error F");
}

TEST_F(MemoryTest, AFreedHandleIsNoLongerValid) {
  MemHandle h = MemAlloc("t", 8);
  MemHandle copy = h;
  MemFree("t", h);
  ui.boxes.clear();
  EXPECT_FALSE(MemUnlock("u", copy));
  EXPECT_EQ(ui.boxes.back().text, "   6 globalunlock error u");
}

MemoryStatus FakeStatus() {
  MemoryStatus st;
  st.avail_phys = 1000000;
  st.avail_virtual = 5000000;
  return st;
}

TEST_F(MemoryTest, MemAvailKeepsTheLowWaterMarks) {
  SetMemoryStatusSource(FakeStatus);
  ResetMemoryMarks();
  EXPECT_EQ(MemLowPhys(), -1);
  EXPECT_TRUE(MemAvail(1000));
  EXPECT_EQ(MemLowPhys(), 999000);
  EXPECT_EQ(MemLowVirtual(), 4999000);
  EXPECT_TRUE(MemAvail(10));  // a smaller request does not raise the marks
  EXPECT_EQ(MemLowPhys(), 999000);
  EXPECT_TRUE(MemAvail(5000000 - 2048));
  EXPECT_FALSE(MemAvail(5000000 - 2047));
  EXPECT_EQ(MemLowVirtual(), 2048);
  SetMemoryStatusSource(nullptr);
  ResetMemoryMarks();
}

TEST(MemoryStatusTest, ReadsThisMachinesMemory) {
  MemoryStatus st = ReadMemoryStatus();
  EXPECT_GT(st.total_phys, 0);
  EXPECT_GT(st.avail_phys, 0);
  EXPECT_GE(st.total_virtual, st.total_phys);
}

}  // namespace
}  // namespace olbrax
