// The folder chooser Tedatadir: a list of mounted file systems ("drives") and a folder tree that
// opens at the current folder, expanded and selected.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;

namespace olbrax {

class FolderTree;

class Tedatadir : public QDialog {
  Q_OBJECT
 public:
  Tedatadir(QWidget* owner, const QString& title, const QString& dir);
  // The folder the list shows.
  QString currentDirectory() const { return current_; }
  // Shows `dir` in the drive list and the folder tree; false when it cannot be shown.
  bool setDirectory(const QString& dir);

  // True when the chooser was left with Cancel (or Escape) rather than its close box.
  bool cancelled() const { return cancelled_; }

  QComboBox* driveList() const { return drives_; }
  FolderTree* directoryList() const { return tree_; }

 private:
  void takeIndex(const QModelIndex& index);

  QComboBox* drives_;
  FolderTree* tree_;
  QString current_;
  bool cancelled_ = false;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// Asks for a folder. OK gives the folder chosen, Cancel the folder the chooser was opened with,
// any other way of closing an empty text. A `dir` that does not exist starts empty.
void ChooseDirectory(QWidget* owner, const QString& title, QString& dir);

}  // namespace olbrax
