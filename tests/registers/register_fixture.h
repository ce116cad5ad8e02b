// A data directory for the label and payment-form registers, with helpers that look at their
// files from outside the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "competition/data_fixture.h"
#include "registers/data/giro_register.h"
#include "registers/data/label_register.h"
#include "registers/data/register_check.h"

namespace olbrax::test {

class RegisterTest : public DataTest {
 protected:
  void TearDown() override {
    CloseLabelFile();
    CloseGiroFile();
    DataTest::TearDown();
  }
  // Adds a label with the given text; its record number, 0 when refused.
  std::int32_t AddLabel(const std::string& text) {
    ClearLabel();
    EtikettRec.Etk.set(text);
    std::int32_t rec = 0;
    PutLabel(true, rec);
    return IsamOK ? rec : 0;
  }
  // The label texts in key order, read through the register.
  std::vector<std::string> Labels() {
    std::vector<std::string> out;
    std::int32_t rec = 0;
    bool at_end = false, found = false;
    FindLabel(4, "", rec, at_end, found);
    for (int i = 0; i < 1000; ++i) {
      FindLabel(2, "", rec, at_end, found);
      if (at_end) break;
      if (found) out.push_back(EtikettRec.Etk.get());
    }
    return out;
  }
  // The register's file checked from outside: blocks intact, every record with exactly its key.
  // The file is closed for the check and opened again.
  std::string CheckLabels() { return Check(LabelFileName(), [] { CloseLabelFile(); }, [] { OpenLabelFile(); }); }
  std::string CheckGiro(int kind) {
    return Check(GiroFileName(kind), [] { CloseGiroFile(); }, [kind] { OpenGiroFile(kind); });
  }

 private:
  template <class C, class O>
  std::string Check(const std::string& name, C close, O open) {
    close();
    isam::CheckResult block = isam::CheckBlock(name);
    isam::CheckResult keys = block.ok ? CheckSideRegisterKeys(name) : block;
    open();
    return keys.message;
  }
};

}  // namespace olbrax::test
