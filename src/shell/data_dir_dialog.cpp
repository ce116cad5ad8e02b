#include "shell/data_dir_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>

#include "base/messages.h"
#include "platform/drives.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "shell/folder_tree.h"

namespace olbrax {

Tedatadir::Tedatadir(QWidget* owner, const QString& title, const QString& dir) : QDialog(owner) {
  setObjectName("Tedatadir");
  setWindowTitle(title);
  setToolTip(QString::fromUtf8("väljer biblioteket som  är öppnat"));
  resize(420, 360);

  auto* layout = new QVBoxLayout(this);
  drives_ = new QComboBox(this);
  drives_->setObjectName("DriveComboBox1");
  for (const auto& m : platform::MountedFileSystems()) drives_->addItem(QString::fromStdString(m));
  layout->addWidget(drives_);

  tree_ = new FolderTree("DirectoryListBox1", QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives, this);
  layout->addWidget(tree_, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, [this] {
    cancelled_ = true;  // Cancel (or Escape), not the close box
    reject();
  });

  // Changing the drive, entering or double-clicking a folder takes it as the current folder.
  connect(drives_, &QComboBox::currentTextChanged, this, [this](const QString& d) { setDirectory(d); });
  connect(tree_, &QTreeView::activated, this, &Tedatadir::takeIndex);
  connect(tree_, &QTreeView::doubleClicked, this, &Tedatadir::takeIndex);
  connect(tree_, &QTreeView::clicked, this, &Tedatadir::takeIndex);

  platform::ScaleDialog(this);
  if (!dir.isEmpty() && !setDirectory(dir)) {
    const int err = errno ? errno : ENOENT;
    MsgLine = Cut(WinFromUtf8(std::strerror(err)) + " \"" + platform::FromQ(dir) + "\"", kMsgLineMax);
  }
}

bool Tedatadir::setDirectory(const QString& dir) {
  errno = 0;
  QDir d(dir);
  if (!d.exists()) {
    errno = ENOENT;
    return false;
  }
  current_ = d.absolutePath();
  const std::string mount =
      platform::MountPointOf(current_.toStdString(), platform::MountedFileSystems());
  QSignalBlocker block(drives_);
  drives_->setCurrentText(QString::fromStdString(mount));
  tree_->showFolder(current_);
  return true;
}

void Tedatadir::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) cancelled_ = true;
  QDialog::keyPressEvent(event);
}

void Tedatadir::takeIndex(const QModelIndex& index) {
  if (index.isValid()) current_ = tree_->folderAt(index);
}

void ChooseDirectory(QWidget* owner, const QString& title, QString& dir) {
  QString start = QDir(dir).exists() && !dir.isEmpty() ? dir : QString();
  Tedatadir chooser(owner, title, start);
  if (chooser.exec() == QDialog::Accepted) dir = chooser.currentDirectory();
  else if (chooser.cancelled()) dir = start;
  else dir.clear();
}

}  // namespace olbrax
