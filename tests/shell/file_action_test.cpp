// The file action dialog: the chosen files sorted by order code, single-use codes, the folder
// change that empties the list.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "exchange/exchange_format.h"
#include "exchange/import.h"
#include "platform/qt/qtext.h"
#include "shell/file_action_dialog.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

class FileActionTest : public UiTest {
 protected:
  void Write(const std::string& name, const std::string& content) { WriteFileBytes(dir / name, content); }
  void Select(TFileDlgActionForm& f, const QString& name) {
    f.FileListBox1->clearSelection();
    for (int i = 0; i < f.FileListBox1->count(); ++i)
      if (f.FileListBox1->item(i)->text() == name) f.FileListBox1->item(i)->setSelected(true);
    f.IncludeBtnClick();
  }
  QStringList Listed(TFileDlgActionForm& f) {
    QStringList out;
    for (int i = 0; i < f.ActionFilesList->count(); ++i) out << f.ActionFilesList->item(i)->text();
    return out;
  }
  TempDir dir;
};

TEST_F(FileActionTest, FilesSortByOrderCodeAndSingleUseCodesAreRefused) {
  Write("deltagare.txt", "*Namn\r\n");
  Write("klubbar.txt", "; klubbar\r\n*Klubbar\r\n");
  Write("tavling.txt", "*Bas\r\n");
  Write("tavling2.txt", "*Bas\r\n");
  Write("jakt.txt", "*JaktLottad\r\n");
  Write("tom1.txt", "ingenting\r\n");
  Write("tom2.txt", "ingenting\r\n");
  TFileDlgActionForm f(nullptr, "Import", platform::ToQ(kImportFilter), kImportOrder, kImportSingleUse,
                       QString::fromStdString(dir.str()));
  EXPECT_EQ(f.windowTitle(), "Import");
  Select(f, "deltagare.txt");
  Select(f, "tavling.txt");
  Select(f, "klubbar.txt");
  QStringList listed = Listed(f);
  ASSERT_EQ(listed.size(), 3);
  EXPECT_EQ(listed[0], "01 *Klubbar.... klubbar.txt");
  EXPECT_TRUE(listed[1].startsWith("05 *Bas........"));
  EXPECT_TRUE(listed[2].startsWith("09 "));

  Select(f, "tavling2.txt");
  EXPECT_EQ(f.StatusBar1->text(), QString::fromUtf8("endast en förekomst tillåten"));
  EXPECT_EQ(Listed(f).size(), 3);
  EXPECT_EQ(ui.beeps, 1);

  Select(f, "jakt.txt");
  Select(f, "tom1.txt");
  Select(f, "tom2.txt");  // "99" is single-use too
  listed = Listed(f);
  ASSERT_EQ(listed.size(), 5);
  EXPECT_EQ(listed[3], "99 ingen importfil, ta bort tom1.txt");
  EXPECT_TRUE(listed[4].startsWith("ad *JaktLottad"));

  // Removing and changing the folder.
  f.ActionFilesList->item(0)->setSelected(true);
  f.excludeBtnClick();
  EXPECT_EQ(Listed(f).size(), 4);
  TempDir other;
  f.SetFolder(QString::fromStdString(other.str()));
  EXPECT_EQ(Listed(f).size(), 0);
  EXPECT_FALSE(f.excludeAllBtn->isEnabled());
}

}  // namespace
}  // namespace olbrax::test
