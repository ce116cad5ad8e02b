#include "shell/folder_tree.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QScrollBar>

namespace olbrax {

FolderTree::FolderTree(const QString& name, QDir::Filters filters, QWidget* parent) : QTreeView(parent) {
  setObjectName(name);
  model_ = new QFileSystemModel(this);
  model_->setFilter(filters);
  model_->setRootPath("/");
  setModel(model_);
  for (int c = 1; c < model_->columnCount(); ++c) hideColumn(c);
  header()->hide();
  // Long folder names are not cut: the column is as wide as its names, and the tree scrolls.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  // The model reads folders in the background and adds their rows later, also rows above the
  // shown folder that push it down: while the folder is being shown, every change of the rows
  // shows it again (once the changes of one moment are done).
  reveal_.setSingleShot(true);
  reveal_.setInterval(0);
  connect(&reveal_, &QTimer::timeout, this, &FolderTree::Reveal);
  auto again = [this] {
    if (!shown_.isEmpty()) reveal_.start();
  };
  connect(model_, &QFileSystemModel::directoryLoaded, this, again);
  connect(model_, &QAbstractItemModel::rowsInserted, this, again);
  connect(model_, &QAbstractItemModel::layoutChanged, this, again);
}

void FolderTree::showFolder(const QString& path) {
  shown_ = QDir(path).absolutePath();
  Reveal();
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
  shown_.clear();
  QTreeView::mousePressEvent(event);
}

void FolderTree::keyPressEvent(QKeyEvent* event) {
  shown_.clear();
  QTreeView::keyPressEvent(event);
}

QString FolderTree::folderAt(const QModelIndex& index) const { return model_->filePath(index); }

void FolderTree::Reveal() {
  if (shown_.isEmpty()) return;
  const QModelIndex index = model_->index(shown_);
  if (!index.isValid()) return;
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) expand(up);
  expand(index);
  setCurrentIndex(index);
  scrollTo(index, QAbstractItemView::PositionAtCenter);
  // Scrolling to a deep folder also scrolls sideways, cutting the names of the folders above it;
  // back to the left edge when the folder's name fits without that.
  const int name_right = visualRect(index).x() + horizontalScrollBar()->value() + iconSize().width() +
                         fontMetrics().horizontalAdvance(model_->fileName(index)) + 16;
  if (name_right <= viewport()->width()) horizontalScrollBar()->setValue(0);
}

}  // namespace olbrax
