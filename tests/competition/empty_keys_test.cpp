// Records written with an empty key text are stored and found under "XXX" (a district under
// "99"), so that an empty name can still be looked up, shown and deleted.
#include "base/messages.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/definition_recs.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "competition/records_check.h"
#include "data_fixture.h"

namespace olbrax::test {
namespace {

using EmptyKeys = DataTest;

// Finds the key exactly; the stored record lands in its buffer.
template <class FindFn>
bool Finds(FindFn find, std::string_view key) {
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  find(kFindExact, key, ref, at_end, found);
  return found;
}

TEST_F(EmptyKeys, CompetitionRegistersStoreXXX) {
  AddCompetition("Tomma namn");
  std::int32_t ref = 0;
  ClearClassRec();
  PutClass(true, ref);
  ASSERT_TRUE(IsamOK) << IsamError;
  ASSERT_TRUE(Finds(FindClassByName, "XXX"));
  EXPECT_EQ(KlassRec.Bet.get(), "XXX");

  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  ClearControl();
  PutControl(true, ref);
  ASSERT_TRUE(Finds(FindControl, "XXX"));
  EXPECT_EQ(KontrRec.KodNr.get(), "XXX");
  ClearCourse();
  PutCourse(true, ref);
  ASSERT_TRUE(Finds(FindCourse, "XXX"));
  EXPECT_EQ(TrackRec.Bana.get(), "XXX");
  CloseDefinitions();
}

TEST_F(EmptyKeys, SharedRegistersStoreXXXAnd99) {
  std::int32_t ref = 0;
  ClearClub();
  PutClub(true, ref);
  ASSERT_TRUE(IsamOK) << IsamError;
  ASSERT_TRUE(Finds(FindClub, "XXX"));
  EXPECT_EQ(ClubRec.ClubName.get(), "XXX");

  // The route file holds the short or the long form, as the configuration says.
  bool long_form = GeneralSettings.RouteFormat == 1;
  ClearRoute();
  ClearRoute24();
  PutRoute(true, ref);
  ASSERT_TRUE(Finds(FindRoute, "XXX"));
  EXPECT_EQ(long_form ? Route24Rec.RouteKey.get() : RouteRec.RouteKey.get(), "XXX");

  ClearDistrict();
  DistrRec.Dnr.set("");
  PutDistrict(true, ref);
  ASSERT_TRUE(Finds(FindDistrict, "99"));
  EXPECT_EQ(DistrRec.Dnr.get(), "99");
}

// Two records with an empty key: the second would be stored under "XXX" too, which the unique
// index refuses. It is not added (a record without its key would never be listed again), and the
// user is told; the empty key finds the first.
TEST_F(EmptyKeys, ASecondRecordWithAnEmptyKeyIsNotAddedWithoutItsKey) {
  AddCompetition("Tomma nycklar");
  OpenDefinitions();
  std::int32_t first = 0, second = 0;
  ClearControl();
  KontrRec.posX = 1;
  ASSERT_TRUE(PutControl(true, first));
  ClearControl();
  KontrRec.posX = 2;
  EXPECT_FALSE(PutControl(true, second));
  EXPECT_EQ(second, 0);
  EXPECT_EQ(IsamError, isam::kKeyExists);
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_EQ(ui.boxes.back().text, MsgText(isam::kKeyExists));
  EXPECT_EQ(UsedRecs(KontrFile), 1);
  ASSERT_TRUE(Finds(FindControl, ""));
  EXPECT_EQ(KontrRec.posX, 1);
  CloseDefinitions();
  EXPECT_TRUE(CheckRecordKeys(DataFileName("KONTR", CurrentCompetition)).ok);

  // The same in the shared registers: an empty club name and an empty district number.
  ClearClub();
  ASSERT_TRUE(PutClub(true, first));
  ClearDistrict();
  DistrRec.Dnr.set("");
  ASSERT_TRUE(PutDistrict(true, first));
  EXPECT_TRUE(Finds(FindClub, ""));
  EXPECT_TRUE(Finds(FindDistrict, ""));
  EXPECT_EQ(DistrRec.Dnr.get(), "99");
}

}  // namespace
}  // namespace olbrax::test
