// A tree of the file system's folders that shows a chosen folder: the folders down to it are
// expanded, it is selected and scrolled into view. The file-system model reads folders in the
// background, so the folder is shown again whenever the model's rows change, until the user
// moves in the tree.
#pragma once

#include <QDir>
#include <QTimer>
#include <QTreeView>

class QFileSystemModel;

namespace olbrax {

class FolderTree : public QTreeView {
  Q_OBJECT
 public:
  FolderTree(const QString& name, QDir::Filters filters, QWidget* parent);

  // Expands, selects and scrolls to `path` (an existing folder).
  void showFolder(const QString& path);
  // The folder that `index` of the tree stands for.
  QString folderAt(const QModelIndex& index) const;
  QFileSystemModel* folderModel() const { return model_; }

 protected:
  // Once the user moves in the tree, the folders still being read do not pull it back.
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Reveal();

  QFileSystemModel* model_;
  QString shown_;  // the folder being shown; empty once the user moves in the tree
  QTimer reveal_;
};

}  // namespace olbrax
