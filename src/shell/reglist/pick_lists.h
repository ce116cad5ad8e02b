// The pick lists of the competition's registers: classes (in class order, with a filter),
// courses, controls and route descriptions. Each runs its pick window when it is created.
#pragma once

#include "shell/reglist/pick.h"

namespace olbrax {

class TKlassPick final : public TEPick {
 public:
  // kfilter: which classes are listed.
  enum Filter { kAll = 0, kOpenOnly = 1, kOrdinaryOnly = 2, kContainsE = 3 };
  TKlassPick(platform::Window owner, std::string_view title, bool multi, int kfilter, std::int32_t param = 0,
             bool sort = false);

  bool doTheFilter() override;
  void FormPickStr(Text& text) override;  // the class name
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;

 private:
  int kfilter_;
};

class TBanPick final : public TEPick {
 public:
  TBanPick(platform::Window owner, std::string_view title, bool multi, std::int32_t param = 0, bool sort = false);
  void FormPickStr(Text& text) override;  // the course name
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
};

class TKontrPick final : public TEPick {
 public:
  TKontrPick(platform::Window owner, std::string_view title, bool multi, std::int32_t param = 0, bool sort = false);
  void FormPickStr(Text& text) override;  // the control code
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
};

class TRutbPick final : public TEPick {
 public:
  TRutbPick(platform::Window owner, std::string_view title, bool multi, std::int32_t param = 0, bool sort = false);
  void FormPickStr(Text& text) override;  // the search key, a blank and the text
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
};

}  // namespace olbrax
