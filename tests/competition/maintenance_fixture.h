// A data directory with two competitions and gaps in every register, for the tests of the index
// rebuild and the backup; its contents compared by meaning (references resolved to names) rather
// than by record number; and the integrity check of a whole data directory.
#pragma once

#include <map>
#include <string>

#include "data_fixture.h"

namespace olbrax::test {

struct DataSize {
  int clubs = 12;
  int entrants = 20;        // of competition 1
  int other_entrants = 6;   // of competition 2
  int routes = 4;
  int controls = 8;
};

class MaintenanceTest : public DataTest {
 protected:
  // Fills the archive: districts, clubs (one of them the placeholder "ÖÖÖ okänd"), route
  // descriptions of both forms, and two competitions with classes, controls, courses and
  // entrants, each with some records deleted again. Competition 1 is left open.
  void BuildData(const DataSize& size = {});

  // Adds an entrant to the open competition, counted as the program counts it.
  std::int32_t AddEntrant(std::int32_t class_ref, std::int32_t club_ref, const std::string& name, int number);
  std::int32_t AddClub(const std::string& name);
  // Deletes a club record and its key (there is no command for it; imports only add clubs).
  void RemoveClub(std::int32_t ref);
  // Deletes an entrant of the open competition as the bookkeeping wants it (uncounted first).
  void RemoveEntrant(std::int32_t ref);

  // The data directory's files, name -> bytes (the staging folder of a rebuild not included).
  std::map<std::string, std::string> SaveFiles() const;
  void RestoreFiles(const std::map<std::string, std::string>& files) const;

  // What the data directory holds, by meaning: every live record of every register, with record
  // numbers that point elsewhere replaced by what they name, in a sorted, comparable text.
  std::string Contents() const { return Contents(data.path()); }
  std::string Contents(const std::filesystem::path& folder) const;
  // Equal contents; otherwise the first line that differs (the contents are long).
  static ::testing::AssertionResult Same(const std::string& a, const std::string& b);
  // How the records are numbered: the length of every file block (tells old from rebuilt).
  std::string Numbering() const;
  // The integrity check of every file block of the data directory; empty when all pass.
  std::string CheckAll() const { return CheckAll(data.path()); }
  std::string CheckAll(const std::filesystem::path& folder) const;
  // Leftovers of a rebuild: its staging folder or "filetmp" files.
  bool RebuildLeftovers() const;

  std::int32_t classes_[3] = {};
};

}  // namespace olbrax::test
