// The named operation layer: argument fixing, key cutting, the trace hook and the start.
#include <vector>

#include "base/messages.h"
#include "storage/efiler.h"
#include "storage_fixture.h"

namespace olbrax::test {
namespace {

std::vector<std::string> g_trace;
void Record(std::string_view name) { g_trace.emplace_back(name); }

class EfilerTest : public StorageTest {
 protected:
  void TearDown() override {
    SetIsamTrace(nullptr);
    StorageTest::TearDown();
  }
};

TEST_F(EfilerTest, KeysAreCutTo30AndNamesTraced) {
  g_trace.clear();
  SetIsamTrace(Record);
  KeyDescs d{};
  d[0] = {30, 0};
  olbrax::CreateFileBlock(Name(), 21, 1, d);
  FileBlock* fb = nullptr;
  olbrax::OpenFileBlock(fb, Name());
  ASSERT_TRUE(IsamOK);
  const std::string forty(40, 'K');
  std::int32_t r = 0;
  olbrax::AddRec(fb, r, std::string(21, 'x').data());
  olbrax::AddKey(fb, 1, r, forty);
  ASSERT_TRUE(IsamOK) << IsamError;
  std::int32_t found = 0;
  olbrax::FindKey(fb, 1, found, forty + "more");
  EXPECT_EQ(found, r);
  Text key;
  olbrax::ClearKey(fb, 1);
  olbrax::NextKey(fb, 1, found, key);
  EXPECT_EQ(key, forty.substr(0, 30));
  olbrax::DeleteKey(fb, 1, r, forty);
  EXPECT_TRUE(IsamOK);
  olbrax::CloseFileBlock(fb);
  EXPECT_EQ(g_trace.front(), "CreateFileBlock:" + Name());
  EXPECT_EQ(g_trace[1], "OpenFileBlock: " + Name());
  EXPECT_EQ(g_trace.back(), "CloseFileBlock");
}

TEST_F(EfilerTest, StartChoosesTheModeAndExplainsAFailure) {
  isam::ExitIsam();
  std::vector<Text> args{"olbrax", "c:/data/t\xE4vling"};
  ASSERT_TRUE(StartIsam(args));
  EXPECT_EQ(isam::IsamMaxWorkstation(), 0);
  isam::ExitIsam();
  args.push_back("k\xF6r/net");  // found inside a longer argument, in lower case
  ASSERT_TRUE(StartIsam(args));
  EXPECT_EQ(isam::IsamMaxWorkstation(), 50);

  // A second start fails and tells why, in one composed text.
  platform::HeadlessUi ui;
  platform::SetUi(&ui);
  EXPECT_FALSE(StartIsam(args));
  platform::SetUi(nullptr);
  EXPECT_EQ(MsgLine.substr(0, 60),
            Text("IsamDosError:   0 IsamError: 10450 IsamErrorClass:  4Ej till").substr(0, 60));
  EXPECT_NE(MsgLine.find("eller, Fel n\xE4tverk."), Text::npos);
  EXPECT_EQ(MsgLine.size(), kMsgLineMax);
  ResetMessageState();
}

}  // namespace
}  // namespace olbrax::test
