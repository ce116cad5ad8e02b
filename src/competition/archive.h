// The files of a data directory and the archive of up to eight competitions.
//
// A data directory holds the archive file OLBRAX (one entry per competition), three registers
// shared by all competitions (clubs, districts, route descriptions in one of two formats) and,
// per competition nn = 01..08, the class, entrant, course and control files and the plain
// statistics block CLUBSnn.Dat. The entry set (classes, entrants, courses) and the definition set
// (classes, controls, courses) of the current competition are never open at the same time.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "competition/archive_state.h"
#include "storage/efiler.h"

namespace olbrax {

inline constexpr int kMaxCompetitions = 8;

// Record sizes and keys of the files.
inline constexpr int kInfoRecLen = 2364, kClubRecLen = 548, kDistrRecLen = 32, kRouteRecLen = 288,
                     kRoute24RecLen = 520, kKlassRecLen = 2348, kEntrantRecLen = 1748, kTrackRecLen = 280,
                     kKontrRecLen = 116, kCmpClubLen = 41080;

// The open files of the registers (null when closed).
extern FileBlock* ClubFile;
extern FileBlock* DistrFile;
extern FileBlock* RouteFile;  // RUTBESKR or RUTB24, by RouteFormatInUse
extern FileBlock* KlassFile;
extern FileBlock* EntrantFile;
extern FileBlock* TrackFile;
extern FileBlock* KontrFile;

// The name of a file of the data directory: DataDirectory + "/" + name (+ nn).
Text DataFileName(std::string_view name, int competition = 0);

void OpenArchive();
void CloseArchive();
// "skapa nya": a new, empty archive; existing registers are kept. False when it was not made:
// the question was answered No, or a file is held by another copy of the program or cannot be
// created (nothing is changed then, and the user has been told).
bool CreateArchiveFiles();
void OpenRouteFile();
void CloseRouteFile();
void SwitchRouteFile();

void SelectCompetition(bool create_if_zero, std::int32_t n);
void OpenCompetition();
void CloseCompetition();
void OpenDefinitions();
void CloseDefinitions();
// Creates the five files of CurrentCompetition and opens its entry set; false (told to the user)
// at the first failure. Its statistics block is written as the buffer holds it: the caller has
// reset it and set the payment details.
bool CreateCompetitionFiles();
// Adds InfoRec to the archive as a new competition, creates its files and opens it, all or
// nothing: after a failure the files made so far and the archive entry are gone again, and the
// user has been told why.
bool CreateCompetition();

void ReadCompetitionRec(int mode, std::string_view key, std::int32_t& n, bool& at_end, bool& found);
// Writing the archive entry is one change (competition/registers/register_change.h): false when
// it failed, which the user has been shown.
bool PutCompetitionRec(bool adding, std::int32_t& n);
bool WriteCompetitionRec(std::int32_t n);
// Deletes entry n and its files after the question; refused (false, with the reason on the message
// line) for a vacant or already deleted entry.
bool DeleteCompetition(std::int32_t n);

void ResetCmpClubRec();
// Reading and writing the statistics block; a failure is shown to the user (false).
bool ReadCmpClubRec();
bool WriteCmpClubRec();
// The statistics block is written after the commit of the changes it counts, outside their
// transaction. A marker file beside it, "CLUBS" + nn + kStaleMarkerExt, says while it exists that
// the block may be behind the entrants: Mark makes it durable before such a commit (false with
// the text for the user when that failed; it shows nothing, as a box would commit an open batch),
// Clear removes it once the block is written. Opening a
// competition with the marker present counts its club statistics again from the entrants,
// writes the block and removes the marker. Other copies of the program do not know the marker
// and read the block as before.
inline constexpr std::string_view kStaleMarkerExt = ".Stale";
bool MarkClubStatisticsStale(Text& failure);
void ClearClubStatisticsStale();

// One item of the selection and delete menus of the archive.
struct ArchiveMenuItem {
  Text caption;  // the competition name, "raderad" or "vakant"
  bool enabled = false;
  bool checked = false;
};
// The eight items of both menus.
std::array<ArchiveMenuItem, kMaxCompetitions> ShowArchiveMenus();

// "ny" / "ändra": whether the competition dialog may open (false after the refusals, with the
// status text in MsgLine), and what its OK does. Adding starts from an empty competition record
// and an empty statistics block (no payment details), and keeps what the dialog puts there; a
// payee left empty becomes the organiser.
bool BeginInputInfo(bool adding);
// False when the competition could not be stored or opened (the user has been told).
bool AcceptInputInfo(bool adding);

// Selecting and deleting entry n from the menus.
void SelectFromMenu(std::int32_t n);
bool DeleteFromMenu(std::int32_t n);
// The start-up reopening of the competition named by the configuration.
void ReopenConfiguredCompetition();

// The key descriptions of every file, set once at start.
void InitCompetitionKeys();
// The per-competition file of the ids that arrived in IOF XML messages (IOFIDnn): created with
// the competition's files and deleted with them.
inline constexpr const char* kIofIdFile = "IOFID";
// Creates the file block of kind `kind` ("OLBRAX", "CLUBAR", "DISTR", "RUTBESKR", "RUTB24",
// "KLASS", "OL", "TRACK", "KONTR", "IOFID") under the name `path`, with its record length and keys.
void CreateRegisterFile(std::string_view kind, std::string_view path);
// Reads the statistics block of the file `path` into CmpClubRec; the I/O result, 0 on success.
int ReadCmpClubRecFrom(std::string_view path);

// Closes everything that is open (for tests and the end of the program).
void CloseAllCompetitionFiles();

}  // namespace olbrax
