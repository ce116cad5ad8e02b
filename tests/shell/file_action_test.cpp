// The file action dialog: the chosen files sorted by order code, single-use codes, the folder
// change that empties the list.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>

#include "exchange/exchange_format.h"
#include "exchange/import.h"
#include "platform/qt/qtext.h"
#include "shell/data_dir_dialog.h"
#include "shell/file_action_dialog.h"
#include "shell/folder_tree.h"
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

// Typing a folder and pressing Enter, as the README tells a user to do: the folder changes, the
// tree and the file list follow, and the dialog stays open with the list to choose from.
TEST_F(FileActionTest, EnterInTheFolderFieldChangesTheFolderOnly) {
  TempDir other;
  std::filesystem::create_directories(other / "underkatalog" / "demo");
  const std::string demo = (other / "underkatalog" / "demo").string();
  WriteFileBytes(other / "underkatalog" / "demo" / "klubbar.txt", "*Klubbar\r\n");
  Write("tavling.txt", "*Bas\r\n");
  TFileDlgActionForm f(nullptr, "Import", platform::ToQ(kImportFilter), kImportOrder, kImportSingleUse,
                       QString::fromStdString(dir.str()));
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  Select(f, "tavling.txt");
  f.editDir->setFocus();
  f.editDir->setText(QString::fromStdString(demo));
  QTest::keyClick(f.editDir, Qt::Key_Return);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.result(), 0);
  EXPECT_EQ(f.currentFolder(), QString::fromStdString(demo));
  EXPECT_EQ(f.editDir->text(), QString::fromStdString(demo));
  ASSERT_EQ(f.FileListBox1->count(), 1);
  EXPECT_EQ(f.FileListBox1->item(0)->text(), "klubbar.txt");
  EXPECT_EQ(f.ActionFilesList->count(), 0);  // a new folder empties the list
  // The tree shows the typed folder, once the file-system model has read the folders above it.
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return f.DirectoryListBox1->folderAt(f.DirectoryListBox1->currentIndex()) == QString::fromStdString(demo) &&
           f.DirectoryListBox1->isExpanded(f.DirectoryListBox1->currentIndex().parent());
  }, 5000));
  // A folder that does not exist keeps the current one.
  f.editDir->setText(QString::fromStdString((other / "finns-inte").string()));
  QTest::keyClick(f.editDir, Qt::Key_Enter);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.editDir->text(), QString::fromStdString(demo));
  // Elsewhere Enter is still OK.
  Select(f, "klubbar.txt");
  QTest::keyClick(f.ActionFilesList, Qt::Key_Return);
  EXPECT_EQ(f.result(), QDialog::Accepted);
}

TEST_F(FileActionTest, ListsAreWideEnoughForTheirLines) {
  const std::string long_name = "anmalningar-varsprinten.txt";
  Write(long_name, "*Namn\r\n");
  TFileDlgActionForm f(nullptr, "Import", platform::ToQ(kImportFilter), kImportOrder, kImportSingleUse,
                       QString::fromStdString(dir.str()));
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  Select(f, QString::fromStdString(long_name));
  ASSERT_EQ(f.ActionFilesList->count(), 1);
  for (QListWidget* list : {f.FileListBox1, f.ActionFilesList}) {
    const QString line = list->item(0)->text();
    EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(line)) << line.toStdString();
  }
}

// The data directory chooser opens at the current folder: expanded down to it and selected.
TEST_F(FileActionTest, TheDirectoryChooserShowsTheCurrentFolder) {
  std::filesystem::create_directories(dir / "a" / "b" / "data");
  const QString deep = QString::fromStdString((dir / "a" / "b" / "data").string());
  Tedatadir chooser(nullptr, QString::fromUtf8("Välj bibliotek"), deep);
  chooser.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
  FolderTree* tree = chooser.directoryList();
  ASSERT_TRUE(QTest::qWaitFor([&] {
    const QModelIndex current = tree->currentIndex();
    return tree->folderAt(current) == deep && tree->isExpanded(current.parent()) &&
           tree->viewport()->rect().intersects(tree->visualRect(current));
  }, 5000));
  EXPECT_EQ(chooser.currentDirectory(), deep);
}

}  // namespace
}  // namespace olbrax::test
