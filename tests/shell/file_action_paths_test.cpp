// The file action dialog and file names Windows-1252 cannot hold: such a file is refused with a
// message naming it, never imported under a changed name.
#include <QLabel>
#include <QListWidget>

#include "exchange/exchange_format.h"
#include "exchange/import.h"
#include "platform/qt/qtext.h"
#include "shell/file_action_dialog.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

class FileActionPathsTest : public UiTest {};

TEST_F(FileActionPathsTest, AFileNameOutsideTheCodePageIsRefusedByName) {
  TempDir dir;
  WriteFileBytes(dir / "klubbar.txt", "*Klubbar\r\n");
  WriteFileBytes(dir / "クラブ.txt", "*Klubbar\r\n");
  TFileDlgActionForm f(nullptr, "Import", platform::ToQ(kImportFilter), kImportOrder, kImportSingleUse,
                       QString::fromStdString(dir.str()));
  for (int i = 0; i < f.FileListBox1->count(); ++i) f.FileListBox1->item(i)->setSelected(true);
  f.IncludeBtnClick();
  ASSERT_EQ(f.ActionFilesList->count(), 1);
  EXPECT_TRUE(f.ActionFilesList->item(0)->text().endsWith("klubbar.txt"));
  EXPECT_TRUE(f.StatusBar1->text().contains(QString::fromUtf8("クラブ.txt"))) << f.StatusBar1->text().toStdString();
  EXPECT_EQ(ui.beeps, 1);
}

}  // namespace
}  // namespace olbrax::test
