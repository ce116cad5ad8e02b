// The file action dialog: the user collects files of a folder into a sorted list, and an action
// runs on each listed file after OK (the import of exchange files uses it).
#pragma once

#include <QDialog>
#include <functional>

#include "exchange/file_action.h"
#include "platform/ui.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace olbrax {

class FolderTree;

// An action on one file; false stops the run.
using FileAction = std::function<bool(platform::Window owner, std::string_view file_name, std::string_view folder,
                                      int file_count, int file_index)>;

class TFileDlgActionForm : public QDialog {
  Q_OBJECT
 public:
  TFileDlgActionForm(QWidget* owner, const QString& title, const QString& filter, std::string_view sorter,
                     std::string_view not_allowed, const QString& folder);

  QString currentFolder() const;
  const ActionList& actions() const { return actions_; }

  // The handlers (also for tests).
  void SetFolder(const QString& folder);
  void IncludeBtnClick();
  void excludeBtnClick();
  void ExcAllBtnClick();
  // Enter in editDir: the typed folder (or, when it does not exist, the current one) becomes
  // the folder of the lists.
  void editDirEnter();

  QLineEdit* editDir;
  QComboBox* DriveComboBox1;
  FolderTree* DirectoryListBox1;
  QListWidget* FileListBox1;
  QComboBox* FilterComboBox1;
  QPushButton* IncludeBtn;
  QPushButton* excludeBtn;
  QPushButton* excludeAllBtn;
  QListWidget* ActionFilesList;
  QLabel* StatusBar1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillFiles();
  void ShowActions();
  void UpdateButtons();

  ActionList actions_;
  QString folder_;
};

// Shows the dialog; after OK the folder ends up in `folder` and `action` runs on every listed
// file in the list's order.
void RunFileAction(QWidget* owner, const QString& title, const QString& filter, std::string_view sorter,
                   std::string_view not_allowed, QString& folder, const FileAction& action);

}  // namespace olbrax
