// The label and payment-form registers on their files: layouts as on disk, keys, limits, the
// storing rules of the form windows, refusals that leave nothing behind, and every storage
// failure of put, change and delete reported with the engine's text and nothing half-stored.
#include <cerrno>
#include <functional>

#include "base/messages.h"
#include "register_fixture.h"
#include "registers/data/giro_fields.h"
#include "storage/file_hooks.h"

namespace olbrax::test {
namespace {

using LabelRegister = RegisterTest;
using GiroRegister = RegisterTest;

// The bytes of record `rec` of a data file.
std::string RecordBytes(const std::string& name, int rec_len, int rec) {
  return ReadFileBytes(name + ".DAT").substr(static_cast<std::size_t>(rec_len) * rec, rec_len);
}

TEST_F(LabelRegister, RecordAsOnDisk) {
  ASSERT_TRUE(OpenLabelFile());
  std::int32_t rec = AddLabel("AB\r\nC");
  ASSERT_EQ(rec, 1);
  CloseLabelFile();
  std::string expected(248, '\0');
  expected.replace(4, 6, std::string("\x05" "AB\r\nC", 6));
  EXPECT_EQ(RecordBytes(LabelFileName(), 248, 1), expected);
  EXPECT_EQ(CheckLabels(), "ok");
}

TEST_F(LabelRegister, KeyIsTheFirstLineAndPicturesAreNamedInIt) {
  EXPECT_EQ(LabelKey("Anna Andersson\r\nStorgatan 1"), "Anna Andersson");
  EXPECT_EQ(LabelKey("en mycket l\xE5ng f\xF6rsta rad som inte ryms i nyckeln"), "en mycket l\xE5ng f\xF6rsta rad som ");
  EXPECT_EQ(LabelKey("sm\xE5 bokst\xE4ver"), "sm\xE5 bokst\xE4ver");

  // The word in any case; the path as written, the blank after the word included.
  LabelPictureInfo p = LabelPicture("bitmap /home/anna/logga.png\r\nrad 2");
  EXPECT_TRUE(p.is_picture);
  EXPECT_EQ(p.path, " /home/anna/logga.png");
  p = LabelPicture("BITMAP/bilder/Karta.JPG");
  EXPECT_TRUE(p.is_picture);
  EXPECT_EQ(p.path, "/bilder/Karta.JPG");
  p = LabelPicture("Bo Bitma\r\nbitmap i andra raden");
  EXPECT_FALSE(p.is_picture);
  EXPECT_EQ(p.path, "Bo Bitma");
}

TEST_F(LabelRegister, AddFindRewriteAndDeleteWithMessage) {
  ASSERT_TRUE(OpenLabelFile());
  std::int32_t anna = AddLabel("Anna\r\nStorgatan 12345678901234567890");
  std::int32_t bo = AddLabel("Bo\r\nLillgatan 2");
  ASSERT_NE(anna, 0);
  ASSERT_NE(bo, 0);
  EXPECT_EQ(Labels(), (std::vector<std::string>{"Anna\r\nStorgatan 12345678901234567890", "Bo\r\nLillgatan 2"}));

  // Rewriting keeps the keys: the second line may change freely.
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FindLabel(0, "Bo", rec, at_end, found);
  ASSERT_TRUE(found);
  EtikettRec.Etk.set("Bo\r\nNygatan 3");
  RewriteLabel(rec);
  ASSERT_TRUE(IsamOK);
  FindLabel(0, "Bo", rec, at_end, found);
  EXPECT_EQ(EtikettRec.Etk.get(), "Bo\r\nNygatan 3");

  // The message shows the first 30 characters of the whole text, line end and all.
  DeleteLabel(0, "Anna", 0, true);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(MsgLine, "Etikett \"Anna\r\nStorgatan 12345678901234\", raderad...");
  EXPECT_EQ(Labels(), (std::vector<std::string>{"Bo\r\nNygatan 3"}));
  DeleteLabel(0, "Anna", 0, true);
  EXPECT_FALSE(IsamOK);
  EXPECT_EQ(CheckLabels(), "ok");
}

TEST_F(LabelRegister, ASecondLabelWithTheSameKeyIsRefusedAndNothingStays) {
  ASSERT_TRUE(OpenLabelFile());
  const std::string head(30, 'A');
  ASSERT_NE(AddLabel(head + "1\r\nf\xF6rsta"), 0);
  EXPECT_TRUE(LabelKeyTaken(head + "2"));
  EXPECT_EQ(AddLabel(head + "2\r\nandra"), 0);
  EXPECT_EQ(MsgLine, "Etikettens f\xF6rsta rad finns redan registrerad. \"" + head + "\" M\xE5ste vara unik.");
  // Two empty labels: the first is stored as "XXX", the second would share its key.
  ASSERT_NE(AddLabel(""), 0);
  EXPECT_EQ(Labels().back(), "XXX");
  EXPECT_EQ(AddLabel(""), 0);
  EXPECT_EQ(UsedRecs(LabelFile), 2);
  EXPECT_EQ(Labels().size(), 2u);
  EXPECT_EQ(CheckLabels(), "ok");
}

TEST_F(LabelRegister, AChangeToATakenKeyKeepsTheOldLabelAndItsKey) {
  ASSERT_TRUE(OpenLabelFile());
  AddLabel("Anna");
  std::int32_t bo = AddLabel("Bo\r\nLillgatan 2");
  // The register window's change: the key goes before the edit window, the record comes back.
  DeleteLabel(5, "", bo, false);
  ASSERT_TRUE(IsamOK);
  EtikettRec.Etk.set("Anna\r\nen annan Anna");
  PutLabel(false, bo);
  EXPECT_FALSE(IsamOK);
  EXPECT_EQ(Labels(), (std::vector<std::string>{"Anna", "Bo\r\nLillgatan 2"}));
  EXPECT_EQ(CheckLabels(), "ok");
}

TEST_F(LabelRegister, Takes299Labels) {
  ASSERT_TRUE(OpenLabelFile());
  for (int i = 1; i <= 298; ++i) ASSERT_NE(AddLabel("Etikett " + std::to_string(i)), 0) << i;
  EXPECT_FALSE(LabelRegisterFull());
  ASSERT_NE(AddLabel("Etikett 299"), 0);
  EXPECT_TRUE(LabelRegisterFull());
  EXPECT_EQ(AddLabel("Etikett 300"), 0);
  EXPECT_EQ(MsgLine, "maxantalet uppn\xE5tt kan ej addera registerpost!");
  EXPECT_EQ(UsedRecs(LabelFile), 299);
}

TEST_F(LabelRegister, AFileThatCannotBeOpenedOrCreated) {
  GeneralSettings.DataDirectory.set(data.str() + "/finns-inte");
  EXPECT_FALSE(OpenLabelFile());
  EXPECT_EQ(LabelFile, nullptr);
  EXPECT_EQ(LabelFilesFailedText(), "fel med Etikettfilerna: " + MsgText(IsamError));
}

TEST_F(LabelRegister, AFileInUseOrDamagedKeepsItsLabels) {
  ASSERT_TRUE(OpenLabelFile());
  AddLabel("Anna");
  CloseLabelFile();
  // In use by another copy of the program.
  FileBlock* other = nullptr;
  OpenFileBlock(other, LabelFileName());
  ASSERT_TRUE(IsamOK);
  EXPECT_FALSE(OpenLabelFile());
  CloseFileBlock(other);
  ASSERT_TRUE(OpenLabelFile());
  EXPECT_EQ(Labels(), (std::vector<std::string>{"Anna"}));
  CloseLabelFile();
  // Damaged: its header says nothing the engine can use; the file stays as it is.
  std::string bytes = ReadFileBytes(LabelFileName() + ".DAT");
  std::string damaged = bytes;
  damaged.replace(0, 16, std::string(16, '\xFF'));
  WriteFileBytes(LabelFileName() + ".DAT", damaged);
  EXPECT_FALSE(OpenLabelFile());
  EXPECT_EQ(ReadFileBytes(LabelFileName() + ".DAT"), damaged);
}

// --- Payment forms ------------------------------------------------------------------------------

GiroFields Form(const std::string& payee, const std::string& letter = "") {
  GiroFields f;
  f.payee = payee;
  f.letter = letter;
  return f;
}

// Stores a form through the checks of "ok"; the refusal text, empty when stored.
std::string AddForm(const GiroFields& f, int kind) {
  Text refused = CheckGiroFields(f);
  if (!refused.empty()) return refused;
  ClearGiro();
  StoreGiroFields(f, kind);
  std::int32_t rec = 0;
  PutGiro(true, rec);
  return IsamOK ? "" : MsgLine;
}

std::vector<std::string> ListLines() {
  std::vector<std::string> out;
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FindGiro(4, "", rec, at_end, found);
  for (int i = 0; i < 1000; ++i) {
    FindGiro(2, "", rec, at_end, found);
    if (at_end) break;
    if (found) out.push_back(GiroListLine());
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(GiroRegister, RecordAsOnDisk) {
  ASSERT_TRUE(OpenGiroFile(kBankgiro));
  GiroFields f = Form("Klubben", "A");
  f.message = "rad 1\nrad 2";
  f.address = "Box 1";
  f.giro = "18";
  f.own_account = "0";
  f.amount = 0;
  ASSERT_EQ(AddForm(f, kBankgiro), "");
  CloseGiroFile();
  std::string expected(1708, '\0');
  expected.replace(4, 12, "rad 1\r\nrad 2");
  expected.replace(1190, 5, "Box 1");
  expected.replace(1507, 3, "\x02" "18");
  expected.replace(1538, 2, "\x01" "0");
  expected.replace(1569, 2, "\x01" "0");  // the bankgiro form keeps the amount 0
  expected.replace(1600, 8, "\x07" "Klubben");
  expected.replace(1662, 2, "\x01" "A");
  EXPECT_EQ(RecordBytes(GiroFileName(kBankgiro), 1708, 1), expected);
  EXPECT_EQ(CheckGiro(kBankgiro), "ok");
}

TEST_F(GiroRegister, PlusgiroAndPostgiroShareAFileBankgiroHasItsOwn) {
  EXPECT_EQ(GiroFileName(kPlusgiro), GiroFileName(kPostgiro));
  EXPECT_NE(GiroFileName(kPlusgiro), GiroFileName(kBankgiro));
  ASSERT_TRUE(OpenGiroFile(kPlusgiro));
  ASSERT_EQ(AddForm(Form("Plusklubben"), kPlusgiro), "");
  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  ASSERT_EQ(AddForm(Form("Postklubben"), kPostgiro), "");
  EXPECT_EQ(ListLines(), (std::vector<std::string>{"................ Plusklubben", "................ Postklubben"}));
  ASSERT_TRUE(OpenGiroFile(kBankgiro));
  EXPECT_TRUE(ListLines().empty());
}

TEST_F(GiroRegister, KeysWithLetterCodesAndTheUniquenessCheck) {
  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  EXPECT_EQ(AddForm(Form("Klubben", "A"), kPostgiro), "");
  EXPECT_EQ(AddForm(Form("Klubben", "B"), kPostgiro), "");
  EXPECT_EQ(AddForm(Form("Klubben", "A"), kPostgiro),
            "Mottagare och littera finns redan registrerad. \"Klubben_A\" M\xE5ste vara unik.");
  // Two forms without a payee are both stored as "XXX": the second is refused by name.
  EXPECT_EQ(AddForm(Form(""), kPostgiro), "");
  EXPECT_EQ(AddForm(Form(""), kPostgiro),
            "Mottagare och littera finns redan registrerad. \"XXX\" M\xE5ste vara unik.");
  // The data layer refuses it too, when asked directly, and stores nothing.
  ClearGiro();
  std::int32_t rec = 0;
  PutGiro(true, rec);
  EXPECT_FALSE(IsamOK);
  EXPECT_EQ(UsedRecs(GiroFile), 3);
  EXPECT_EQ(CheckGiro(kPostgiro), "ok");
}

TEST_F(GiroRegister, CheckDigitsOfGiroNumbers) {
  ASSERT_TRUE(OpenGiroFile(kPlusgiro));
  GiroFields f = Form("Klubben");
  f.giro = "18";  // 8 + 2 × 1 = 10
  EXPECT_EQ(CheckGiroFields(f), "");
  f.giro = "19";
  EXPECT_EQ(CheckGiroFields(f), "fel p\xE5 gironummer");
  f.giro = "";
  EXPECT_EQ(CheckGiroFields(f), "");
  f.own_account = "19";
  EXPECT_EQ(CheckGiroFields(f), "fel p\xE5 gironummer");
}

TEST_F(GiroRegister, StoringRulesAndTheListLine) {
  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  GiroFields f = Form(std::string(40, 'M'), "ABC");
  f.giro = "12345-6";
  f.reference = "REF";
  f.amount = 0;
  ClearGiro();
  StoreGiroFields(f, kPostgiro);
  EXPECT_EQ(GiroRec.Mottagare.get(), std::string(30, 'M'));  // a 40-character payee keeps 30
  EXPECT_EQ(GiroRec.Lnr.get(), "AB");
  EXPECT_EQ(GiroRec.AttBetala.get(), "");  // no amount on a postgiro or plusgiro form
  EXPECT_EQ(GiroRec.Referens.get(), "REF");
  f.amount = 1234;
  StoreGiroFields(f, kPlusgiro);
  EXPECT_EQ(GiroRec.AttBetala.get(), "1234");
  f.reference = "ANNAN";
  StoreGiroFields(f, kPlusgiro);
  EXPECT_EQ(GiroRec.Referens.get(), "REF");  // only the postgiro window has the field

  ClearGiro();
  StoreGiroFields(Form("Klubben", "A"), kBankgiro);
  GiroRec.TillG.set("12345-6");
  EXPECT_EQ(GiroListLine(), "12345-6......... Klubben_A");
  EXPECT_EQ(GiroKey(), "Klubben_A");

  // The amount field shows what the record holds, 0 for no number, at most the form's limit.
  for (auto [stored, kind, shown] : {std::tuple{"250", kPlusgiro, 250}, {"", kPlusgiro, 0}, {"12a", kBankgiro, 0},
                                     {"123456", kPostgiro, 9999}}) {
    GiroRec.AttBetala.set(stored);
    EXPECT_EQ(GiroFieldsFromBuffer(kind).amount, shown) << stored;
  }
}

TEST_F(GiroRegister, DeleteMessageAndCapacity) {
  ASSERT_TRUE(OpenGiroFile(kBankgiro));
  ASSERT_EQ(AddForm(Form("Klubben"), kBankgiro), "");
  DeleteGiro(0, "Klubben", 0, true);
  EXPECT_EQ(MsgLine, "Girot \"Klubben_\", raderad...");
  for (int i = 1; i <= 199; ++i) ASSERT_EQ(AddForm(Form("Mottagare " + std::to_string(i)), kBankgiro), "") << i;
  EXPECT_TRUE(GiroRegisterFull());
  EXPECT_EQ(AddForm(Form("en till"), kBankgiro), "maxantalet uppn\xE5tt kan ej addera registerpost!");
  EXPECT_EQ(UsedRecs(GiroFile), 199);
}

// --- Storage failures -----------------------------------------------------------------------

// One operation of a register, run against a file whose n-th write, flush or truncate fails.
struct FailingOp {
  const char* name;
  std::function<void()> prepare;  // with the file open
  std::function<void()> op;       // sets IsamOK
  std::function<void()> undo;     // after the op succeeded: back to the state before it
  std::function<std::vector<std::string>()> contents;
  std::function<std::string()> check;
};

class FailureTest : public RegisterTest {
 protected:
  // Runs `op` with the n-th call of each kind failing, for n = 1, 2, … until it succeeds. After
  // every failure the engine's text is on the message line, and the register holds what it
  // held before, every record with its key.
  void RunWithFaults(const FailingOp& t) {
    SCOPED_TRACE(t.name);
    t.prepare();
    const std::vector<std::string> before = t.contents();
    disk::FaultInjector faults;
    int failures = 0;
    for (disk::FileOp kind : {disk::FileOp::Write, disk::FileOp::Flush, disk::FileOp::Truncate}) {
      for (int nth = 1; nth < 200; ++nth) {
        SCOPED_TRACE("call " + std::to_string(nth) + " of kind " + std::to_string(static_cast<int>(kind)));
        MsgLine.clear();
        faults.Arm(kind, nth, ENOSPC);
        disk::SetFileHooks(&faults);
        t.op();
        disk::SetFileHooks(nullptr);
        if (!faults.Fired()) {
          ASSERT_TRUE(IsamOK) << IsamError;
          t.undo();
          ASSERT_EQ(t.contents(), before);
          break;
        }
        ++failures;
        ASSERT_FALSE(IsamOK);
        SCOPED_TRACE("status " + std::to_string(IsamError));
        EXPECT_EQ(MsgLine, MsgText(IsamError));
        EXPECT_EQ(MsgLine.rfind("Btree: ", 0), 0u) << MsgLine;
        EXPECT_EQ(t.contents(), before);
        EXPECT_EQ(t.check(), "ok");
      }
    }
    EXPECT_GE(failures, 2);  // at least one write and one flush
  }
};

TEST_F(FailureTest, LabelPutChangeAndDeleteLeaveNothingHalfStored) {
  ASSERT_TRUE(OpenLabelFile());
  auto contents = [this] { return Labels(); };
  auto check = [this] { return CheckLabels(); };
  auto prepare = [this] {
    for (int i = 0; i < 40; ++i) AddLabel("Etikett " + std::to_string(100 + i) + "\r\nrad 2");
  };
  auto change = [](const char* from, const char* to) {
    std::int32_t rec = 0;
    bool at_end, found;
    FindLabel(0, from, rec, at_end, found);
    DeleteLabel(5, "", rec, false);
    if (!IsamOK) return;
    EtikettRec.Etk.set(to);
    PutLabel(false, rec);
  };
  RunWithFaults({"add", prepare, [this] { AddLabel("Ny etikett"); }, [] { DeleteLabel(0, "Ny etikett", 0, true); },
                 contents, check});
  RunWithFaults({"change", [] {}, [&] { change("Etikett 120", "Etikett 999\r\n\xE4ndrad"); },
                 [&] { change("Etikett 999", "Etikett 120\r\nrad 2"); }, contents, check});
  auto rewrite = [](const char* text) {
    std::int32_t rec = 0;
    bool at_end, found;
    FindLabel(0, "Etikett 130", rec, at_end, found);
    EtikettRec.Etk.set(text);
    RewriteLabel(rec);
  };
  RunWithFaults({"rewrite", [] {}, [&] { rewrite("Etikett 130\r\nny rad"); }, [&] { rewrite("Etikett 130\r\nrad 2"); },
                 contents, check});
  RunWithFaults({"delete", [] {}, [] { DeleteLabel(0, "Etikett 101", 0, true); },
                 [this] { AddLabel("Etikett 101\r\nrad 2"); }, contents, check});
}

TEST_F(FailureTest, GiroPutChangeAndDeleteLeaveNothingHalfStored) {
  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  auto contents = [] { return ListLines(); };
  auto check = [this] { return CheckGiro(kPostgiro); };
  auto prepare = [] {
    for (int i = 0; i < 40; ++i) AddForm(Form("Mottagare " + std::to_string(100 + i), "A"), kPostgiro);
  };
  auto change = [](const char* from, const char* to) {
    std::int32_t rec = 0;
    bool at_end, found;
    FindGiro(0, from, rec, at_end, found);
    DeleteGiro(5, "", rec, false);
    if (!IsamOK) return;
    GiroRec.Mottagare.set(to);
    PutGiro(false, rec);
  };
  RunWithFaults({"add", prepare, [] { AddForm(Form("Ny mottagare"), kPostgiro); },
                 [] { DeleteGiro(0, "Ny mottagare", 0, true); }, contents, check});
  RunWithFaults({"change", [] {}, [&] { change("Mottagare 120_A", "Ny mottagare"); },
                 [&] { change("Ny mottagare_A", "Mottagare 120"); }, contents, check});
  RunWithFaults({"delete", [] {}, [] { DeleteGiro(0, "Mottagare 101_A", 0, true); },
                 [] { AddForm(Form("Mottagare 101", "A"), kPostgiro); }, contents, check});
}

}  // namespace
}  // namespace olbrax::test
