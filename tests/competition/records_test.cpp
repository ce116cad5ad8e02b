// The record layouts' defaults byte for byte, the 6-byte real, and the text conversions.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <typeinfo>
#include <map>
#include <memory>
#include <vector>

#include "competition/archive_state.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/route_recs.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

using Bytes = std::map<std::size_t, std::string>;  // offset -> expected bytes

// Checks that the record holds exactly the expected non-zero bytes: the listed ones at their
// offsets and zeros everywhere else.
template <class R>
void ExpectBytes(const R& record, const Bytes& expected) {
  std::string want(sizeof(R), '\0');
  for (const auto& [at, bytes] : expected) want.replace(at, bytes.size(), bytes);
  std::string got(reinterpret_cast<const char*>(&record), sizeof(R));
  for (std::size_t i = 0; i < sizeof(R); ++i)
    if (got[i] != want[i]) {
      ADD_FAILURE() << "byte " << i << " is " << int(static_cast<unsigned char>(got[i])) << ", expected "
                    << int(static_cast<unsigned char>(want[i]));
      return;
    }
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string B(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s += static_cast<char>(b);
  return s;
}

TEST(Records, CompetitionDefaults) {
  CurrentCompetition = 5;
  MotionCompetition = true;
  ClearCompetitionRec();
  EXPECT_EQ(CurrentCompetition, 0);
  EXPECT_FALSE(MotionCompetition);
  ExpectBytes(InfoRec, {
                           {112, B({0x68, 0x01})},             // minKmTid 360
                           {116, B({0xD0, 0x02})},             // maxKmTid 720
                           {300, Repeat(B({1, 0}), 5)},        // nontime
                           {622, B({1})},                      // Days
                           {624, B({1})},                      // StrNr
                           {1104, B({1, 0, 1, 0, 1, 0, 10})},  // Avg e, u, o, l
                           {1112, B({4}) + "*1.5"},            // Avg.ef
                           {1125, B({7, 1})},                  // kort, labelMode
                           {1128, B({0x98, 0x3A})},            // KartSkala 15000
                           {1132, B({12})},                    // mTabell
                           {2159, B({1})},                     // doRanking
                           {2162, Repeat(B({0xFF}), 8)},       // resDag, resDag1
                           {2170, B({1})},                     // gemen
                           {2172, B({1, 0, 3})},               // BanPrSkala24, banPrSkala8
                           {2182, B({12})},                    // banPrSkalaW
                           {2188, B({2})},                     // etkmarg
                           {2196, "?"},                        // tvltyp
                           {2199, B({1})},                     // ClubSort
                           {2214, B({1, 5}) + "\xD6 DIR"},     // usedirklass, dirklassfilter
                           {2240, Repeat(B({0x90, 0x7E, 0, 0}), 5)},  // NollTid 32400
                           {2260, B({1})},                     // SNrstart
                       });
}

TEST(Records, ClassDefaultsFollowTheCompetition) {
  ClearCompetitionRec();
  ClearClassRec();
  Bytes individual = {
      {31, B({1, 'A', 0, 0, 1, 'B', 0, 0, 1, 'C', 0, 0, 1, 'D', 0, 0, 1, 'E'})},
      {51, B({1}) + "1" + std::string(5, '\0') + B({1}) + "2" + std::string(5, '\0') + B({1}) + "3" +
               std::string(5, '\0') + B({1}) + "4" + std::string(5, '\0') + B({1}) + "5"},
      {608, Repeat(B({60, 0, 0, 0}), 5)},                      // SMell
      {652, Repeat(B({0x4C, 0x8D, 0x5B, 0x00}), 156)},         // SegrTid 5999948
      {1900, B({250})},                                        // maxi
      {2216, Repeat(B({0xFF}), 4)},                            // eftAnm
      {2224, B({1, 0}) + Repeat(B({1, 0}), 5) + Repeat(B({1, 0}), 5) + Repeat(B({1, 0}), 5) + Repeat(B({1, 0}), 5)},
      {2280, B({0x68, 0x01, 0, 0, 0xD0, 0x02})},               // km times
  };
  ExpectBytes(KlassRec, individual);

  // A relay of three legs in a motion competition: every leg may run the courses 1, 2 and 3.
  InfoRec.Days = 0;
  InfoRec.StrNr = 3;
  MotionCompetition = true;
  ClearClassRec();
  EXPECT_EQ(KlassRec.BanLottn[0].get(), "123");
  EXPECT_EQ(KlassRec.BanLottn[4].get(), "123");
  EXPECT_EQ(KlassRec.SMell[0], 0);
  EXPECT_EQ(KlassRec.maxi, 3200);
  ClearEntrant();
  EXPECT_EQ(EntrantRec.StageName[1].get(), "str 02");
  MotionCompetition = false;
}

TEST(Records, EntrantClubDistrictRouteDefaults) {
  ClearCompetitionRec();
  ClearEntrant();
  ExpectBytes(EntrantRec, {
                              {8, B({4}) + "0000"},
                              {18, Repeat(B({0x0F, 0x27}), 156)},              // Placing 9999
                              {352, Repeat(B({0x4C, 0x8D, 0x5B, 0x00}), 156)}, // RunTime
                              {1697, Repeat(B({2}) + "LL", 5)},
                          });
  ClearClub();
  ExpectBytes(ClubRec, {{8, B({2}) + "00"}, {506, B({'0', 0, 1, 0, '0', 0, '0'})}});
  ClearDistrict();
  ExpectBytes(DistrRec, {{4, B({2}) + "99"}});
  ClearRoute();
  ExpectBytes(RouteRec, {{186, B({0xE7, 0x03})}});
  ClearRoute24();
  ExpectBytes(Route24Rec, {{4, B({0xE7, 0x03})}});
}

TEST(Records, SixByteReal) {
  struct Case {
    double value;
    std::string bytes;
  } cases[] = {
      {0.0, B({0, 0, 0, 0, 0, 0})},
      {1.0, B({0x81, 0, 0, 0, 0, 0})},
      {-1.5, B({0x81, 0, 0, 0, 0, 0xC0})},
      {100.25, B({0x87, 0, 0, 0, 0x80, 0x48})},
      {1e6, B({0x94, 0, 0, 0, 0x24, 0x74})},
  };
  for (const Case& c : cases) {
    unsigned char out[6];
    WriteReal48(c.value, out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), c.bytes) << c.value;
    EXPECT_EQ(ReadReal48(reinterpret_cast<const unsigned char*>(c.bytes.data())), c.value);
  }
  // Exponent byte 0 is zero whatever follows.
  const unsigned char junk[6] = {0, 0xFF, 0x12, 0x34, 0x56, 0xFF};
  EXPECT_EQ(ReadReal48(junk), 0.0);
  // Writing rounds to the nearest value the 39-bit fraction holds.
  unsigned char out[6];
  WriteReal48(0.1, out);
  EXPECT_NEAR(ReadReal48(out), 0.1, std::ldexp(0.1, -40));
  WriteReal48(1.0 + std::ldexp(1.0, -41), out);  // below halfway rounds down
  EXPECT_EQ(ReadReal48(out), 1.0);
  WriteReal48(1.0 + std::ldexp(3.0, -41), out);  // above halfway rounds up
  EXPECT_EQ(ReadReal48(out), 1.0 + std::ldexp(1.0, -39));
  WriteReal48(-(1.0 + std::ldexp(3.0, -41)), out);  // the same for a negative value
  EXPECT_EQ(ReadReal48(out), -(1.0 + std::ldexp(1.0, -39)));
  WriteReal48(2.0 - std::ldexp(1.0, -41), out);  // rounding up carries into the exponent
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), B({0x82, 0, 0, 0, 0, 0}));
}

TEST(Records, SixByteRealAtTheEndsOfItsRange) {
  unsigned char out[6];
  auto bytes = [&] { return std::string(reinterpret_cast<char*>(out), 6); };
  const std::string largest = B({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
  WriteReal48(1e300, out);
  EXPECT_EQ(bytes(), largest);
  WriteReal48(-HUGE_VAL, out);
  EXPECT_EQ(bytes(), B({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  WriteReal48(std::nan(""), out);
  EXPECT_EQ(bytes(), B({0, 0, 0, 0, 0, 0}));
  WriteReal48(std::ldexp(1.0, -128), out);  // the smallest value
  EXPECT_EQ(bytes(), B({1, 0, 0, 0, 0, 0}));
  WriteReal48(std::ldexp(0.75, -128), out);  // nearer to the smallest value than to zero
  EXPECT_EQ(bytes(), B({1, 0, 0, 0, 0, 0}));
  WriteReal48(std::ldexp(0.25, -128), out);  // nearer to zero
  EXPECT_EQ(bytes(), B({0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ReadReal48(reinterpret_cast<const unsigned char*>(largest.data())),
            std::ldexp(2.0 - std::ldexp(1.0, -39), 126));
}

TEST(Records, ClubStatisticsEntries) {
  std::memset(&CmpClubRec, 0, sizeof CmpClubRec);
  SetClubAmount(3, 1, 125.5);
  SetClubCounter(3, 5, -2);
  const std::uint8_t* entry = reinterpret_cast<const std::uint8_t*>(&CmpClubRec) + 5000 + 40 * 3;
  EXPECT_EQ(entry[8], 0x87);
  EXPECT_EQ(entry[14], 0);  // the slot's last two bytes stay zero
  EXPECT_EQ(entry[32], 0xFE);
  EXPECT_EQ(entry[33], 0xFF);
  EXPECT_EQ(ClubAmount(3, 1), 125.5);
  EXPECT_EQ(ClubCounter(3, 5), -2);
}

// A text field of a record: a length-prefixed text, or a zero-ended path.
struct Field {
  std::size_t at;
  bool path = false;
};

std::vector<Field> Every(std::size_t first, std::size_t step, int count) {
  std::vector<Field> out;
  for (int i = 0; i < count; ++i) out.push_back({first + step * static_cast<std::size_t>(i)});
  return out;
}

std::vector<Field> operator+(std::vector<Field> a, const std::vector<Field>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Four address blocks of five lines from the given offset.
std::vector<Field> Addresses(std::size_t at) {
  std::vector<Field> out;
  for (std::size_t block = 0; block < 4; ++block) out = out + Every(at + 115 * block, 23, 5);
  return out;
}

// The offset of the first byte where the two differ, or -1.
long FirstDifference(const std::string& got, const std::string& want) {
  auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin());
  return g == got.end() ? -1 : g - got.begin();
}

// Writes the letter as a one-character text into each field of a zero-filled record.
template <class R>
std::string WithLetter(const std::vector<Field>& fields, char letter) {
  std::string bytes(sizeof(R), '\0');
  for (const Field& f : fields) {
    if (f.path) {
      bytes[f.at] = letter;
    } else {
      bytes[f.at] = 1;
      bytes[f.at + 1] = letter;
    }
  }
  return bytes;
}

// Every converted field, and only those, turns the DOS letter Ä (0x8E) into the Windows
// letter (0xC4) after reading, and back before writing while DOS output is on. Fields that are
// texts but not converted keep their bytes.
template <class R>
void ExpectConversions(const std::vector<Field>& converted, const std::vector<Field>& plain) {
  auto record = std::make_unique<R>();
  auto raw = [&] { return std::string(reinterpret_cast<const char*>(record.get()), sizeof(R)); };
  auto load = [&](const std::string& bytes) { std::memcpy(record.get(), bytes.data(), sizeof(R)); };
  std::string dos = WithLetter<R>(converted + plain, '\x8E');
  std::string win = WithLetter<R>(converted, '\xC4');
  for (const Field& f : plain) {
    win[f.at] = 1;
    win[f.at + 1] = '\x8E';
  }

  load(dos);
  FromStorage(*record);
  EXPECT_EQ(FirstDifference(raw(), win), -1) << "reading " << typeid(R).name();
  ToStorage(*record);  // Windows letters are written as they are
  EXPECT_EQ(FirstDifference(raw(), win), -1) << "writing " << typeid(R).name();
  DosOutput = true;
  ToStorage(*record);
  DosOutput = false;
  EXPECT_EQ(FirstDifference(raw(), dos), -1) << "writing for DOS " << typeid(R).name();
}

TEST(Records, EveryConvertedFieldAndNoOther) {
  ExpectConversions<TInfoRec>(
      std::vector<Field>{{4}, {7}, {48}, {89}, {630}} + Addresses(643) +
          std::vector<Field>{{1112}, {1134, true}, {2215}},
      {});
  ExpectConversions<TKlassRec>(std::vector<Field>{{7}, {16}} + Every(31, 4, 5) + Every(51, 7, 5), {{4}});
  ExpectConversions<TEntrantRec>(std::vector<Field>{{8}, {1496}} + Every(1504, 33, 5) + Every(1676, 4, 5),
                                 Every(1697, 3, 5) + std::vector<Field>{{1714}});
  ExpectConversions<TClubRec>(std::vector<Field>{{8}, {11}, {42}} + Addresses(46), {});
  ExpectConversions<TDistrRec>({{4}, {7}, {27}}, {});
  ExpectConversions<TKontrRec>(std::vector<Field>{{4}} + Every(16, 11, 8), {});
  ExpectConversions<TTrackRec>(std::vector<Field>{{4}} + Every(128, 4, 35), {});
  ExpectConversions<TRouteRec>({{6}, {17}}, {});
  ExpectConversions<TRoute24Rec>({{8}, {19}}, {});
  ExpectConversions<TCmpClubRec>({{0, true}, {1025, true}, {4898}, {4931}, {4964}}, {});
}

TEST(Records, StorageConversions) {
  ClearClub();
  ClubRec.ClubName.set("\xC5SA \xC4LVSJ\xD6");  // Windows letters stay as they are
  ToStorage(ClubRec);
  FromStorage(ClubRec);
  EXPECT_EQ(ClubRec.ClubName.get(), "\xC5SA \xC4LVSJ\xD6");
  ClubRec.ClubName.set("\x8F" "SA \x8E" "LVSJ\x99");  // written by an older DOS program
  FromStorage(ClubRec);
  EXPECT_EQ(ClubRec.ClubName.get(), "\xC5SA \xC4LVSJ\xD6");
  ClubRec.ClubName.set(std::string(40, 'x'));  // cut to the field
  EXPECT_EQ(ClubRec.ClubName.len, 30);
}

}  // namespace
}  // namespace olbrax::test
