#include "shell/file_action_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "base/messages.h"
#include "platform/drives.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "shell/folder_tree.h"

namespace olbrax {

using platform::FromQ;
using platform::ToQ;

namespace {

constexpr const char* kAllFiles = "Alla filer (*.*)|*.*";

// Makes `list` wide enough for its longest line, up to the given share of the screen (past that
// it scrolls), so that file names are not cut.
void FitToLines(QListWidget* list, double screen_share) {
  int widest = 0;
  for (int i = 0; i < list->count(); ++i)
    widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->item(i)->text()));
  const int chrome = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width() + 8;
  const QScreen* screen = list->screen();
  const int limit = static_cast<int>((screen ? screen->availableGeometry().width() : 1280) * screen_share);
  list->setMinimumWidth(std::min(widest + chrome, limit));
}

}  // namespace

TFileDlgActionForm::TFileDlgActionForm(QWidget* owner, const QString& title, const QString& filter,
                                       std::string_view sorter, std::string_view not_allowed, const QString& folder)
    : QDialog(owner), actions_(sorter, not_allowed) {
  setObjectName("TFileDlgActionForm");
  setWindowTitle(title.left(64));
  // The design size; the dialog grows when its lists need more room for their lines.
  resize(567, 467);
  auto* grid = new QGridLayout(this);

  editDir = new QLineEdit("*.*", this);
  editDir->setObjectName("editDir");
  // Enter in the folder field changes the folder and nothing else: the key does not reach the
  // dialog, whose default button would close it (see eventFilter).
  editDir->installEventFilter(this);
  grid->addWidget(editDir, 0, 0, 1, 3);

  DriveComboBox1 = new QComboBox(this);
  DriveComboBox1->setObjectName("DriveComboBox1");
  for (const auto& d : platform::MountedFileSystems()) DriveComboBox1->addItem(QString::fromStdString(d));
  connect(DriveComboBox1, &QComboBox::textActivated, this, [this](const QString& d) { SetFolder(d); });
  grid->addWidget(DriveComboBox1, 1, 0);

  DirectoryListBox1 = new FolderTree("DirectoryListBox1", QDir::AllDirs | QDir::NoDotAndDotDot, this);
  DirectoryListBox1->setToolTip(QString::fromUtf8(
      "mappar med systemattribut syns tyvärr inte här, använd ovanstående textinmating"));
  connect(DirectoryListBox1, &QTreeView::clicked, this,
          [this](const QModelIndex& i) { SetFolder(DirectoryListBox1->folderAt(i)); });
  grid->addWidget(DirectoryListBox1, 2, 0);

  FileListBox1 = new QListWidget(this);
  FileListBox1->setObjectName("FileListBox1");
  FileListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FileListBox1->setToolTip(QString::fromUtf8(
      "dubbelklicka för att lägga till en fil i listan, välj med ctrl och musklick och klicka på pilen för att "
      "lägga till i listan"));
  connect(FileListBox1, &QListWidget::itemDoubleClicked, this, &TFileDlgActionForm::IncludeBtnClick);
  grid->addWidget(FileListBox1, 2, 1);

  FilterComboBox1 = new QComboBox(this);
  FilterComboBox1->setObjectName("FilterComboBox1");
  QStringList parts = (filter.isEmpty() ? QString(kAllFiles) : filter + "|" + kAllFiles).split('|');
  for (int i = 0; i + 1 < parts.size(); i += 2) FilterComboBox1->addItem(parts[i], parts[i + 1]);
  connect(FilterComboBox1, &QComboBox::currentIndexChanged, this, &TFileDlgActionForm::FillFiles);
  grid->addWidget(FilterComboBox1, 3, 1);

  auto* buttons = new QVBoxLayout;
  IncludeBtn = new QPushButton(">", this);
  IncludeBtn->setObjectName("IncludeBtn");
  excludeBtn = new QPushButton("<", this);
  excludeBtn->setObjectName("excludeBtn");
  excludeAllBtn = new QPushButton("<<", this);
  excludeAllBtn->setObjectName("excludeAllBtn");
  for (auto* b : {IncludeBtn, excludeBtn, excludeAllBtn}) buttons->addWidget(b);
  buttons->addStretch();
  connect(IncludeBtn, &QPushButton::clicked, this, &TFileDlgActionForm::IncludeBtnClick);
  connect(excludeBtn, &QPushButton::clicked, this, &TFileDlgActionForm::excludeBtnClick);
  connect(excludeAllBtn, &QPushButton::clicked, this, &TFileDlgActionForm::ExcAllBtnClick);
  grid->addLayout(buttons, 2, 2);

  ActionFilesList = new QListWidget(this);
  ActionFilesList->setObjectName("ActionFilesList");
  ActionFilesList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  QFont mono("Courier New");
  mono.setStyleHint(QFont::Monospace);
  mono.setBold(true);
  ActionFilesList->setFont(mono);
  connect(ActionFilesList, &QListWidget::itemDoubleClicked, this, &TFileDlgActionForm::excludeBtnClick);
  grid->addWidget(ActionFilesList, 2, 3, 2, 1);

  StatusBar1 = new QLabel(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  grid->addWidget(StatusBar1, 5, 0, 1, 4);

  auto* box = new QDialogButtonBox(this);
  auto* ok = box->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("btnOK");
  auto* cancel = box->addButton("Avbryt", QDialogButtonBox::RejectRole);
  cancel->setObjectName("btnCancel");
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(box, 4, 3);

  // The chosen files need the room: their lines are the widest.
  grid->setColumnStretch(0, 2);
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(3, 4);
  SetFolder(QDir(folder).exists() && !folder.isEmpty() ? folder : QDir::homePath());
  platform::ScaleDialog(this);
}

QString TFileDlgActionForm::currentFolder() const { return folder_; }

void TFileDlgActionForm::SetFolder(const QString& folder) {
  if (!QDir(folder).exists()) return;
  folder_ = QDir(folder).absolutePath();
  DirectoryListBox1->showFolder(folder_);
  // Changing the folder empties the list of chosen files.
  ExcAllBtnClick();
  FillFiles();
}

void TFileDlgActionForm::FillFiles() {
  FileListBox1->clear();
  QString patterns = FilterComboBox1->currentData().toString();
  QStringList names = QDir(folder_).entryList(patterns.split(';', Qt::SkipEmptyParts), QDir::Files, QDir::Name);
  FileListBox1->addItems(names);
  FitToLines(FileListBox1, 0.3);
  UpdateButtons();
}

void TFileDlgActionForm::ShowActions() {
  ActionFilesList->clear();
  for (const auto& e : actions_.entries()) ActionFilesList->addItem(ToQ(e.text));
  FitToLines(ActionFilesList, 0.5);
  UpdateButtons();
}

void TFileDlgActionForm::UpdateButtons() {
  IncludeBtn->setEnabled(FileListBox1->count() > 0);
  excludeBtn->setEnabled(ActionFilesList->count() > 0);
  excludeAllBtn->setEnabled(ActionFilesList->count() > 0);
}

void TFileDlgActionForm::IncludeBtnClick() {
  QList<QListWidgetItem*> selected = FileListBox1->selectedItems();
  int first = selected.isEmpty() ? 0 : FileListBox1->row(selected.first());
  StatusBar1->clear();
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    QString path = folder_ + "/" + (*it)->text();
    std::optional<std::string> checked = platform::WinPathFromQ(path);
    if (!checked) {
      // Imported under a changed name it would be another file, or none.
      BeepSignal();
      StatusBar1->setText(QString::fromStdString(UnusablePathMessage(path.toStdString())));
      continue;
    }
    Text status;
    if (!actions_.Include(*checked, status)) {
      BeepSignal();
      StatusBar1->setText(ToQ(status));
    }
  }
  ShowActions();
  if (FileListBox1->count() > 0) {
    FileListBox1->clearSelection();
    FileListBox1->setCurrentRow(std::min(first, FileListBox1->count() - 1));
  }
  FileListBox1->setFocus();
}

void TFileDlgActionForm::excludeBtnClick() {
  QList<QListWidgetItem*> selected = ActionFilesList->selectedItems();
  if (selected.isEmpty()) return;
  int first = ActionFilesList->row(selected.first());
  std::vector<int> rows;
  for (auto* item : selected) rows.push_back(ActionFilesList->row(item));
  std::sort(rows.rbegin(), rows.rend());
  for (int r : rows) actions_.Exclude(static_cast<std::size_t>(r));
  ShowActions();
  if (ActionFilesList->count() > 0) ActionFilesList->setCurrentRow(std::min(first, ActionFilesList->count() - 1));
}

void TFileDlgActionForm::ExcAllBtnClick() {
  actions_.Clear();
  ShowActions();
  editDir->setText(folder_);
}

bool TFileDlgActionForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editDir && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      editDirEnter();
      return true;  // consumed
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFileDlgActionForm::editDirEnter() {
  QString typed = editDir->text();
  SetFolder(QDir(typed).exists() ? typed : folder_);
  editDir->setText(folder_);
}

void RunFileAction(QWidget* owner, const QString& title, const QString& filter, std::string_view sorter,
                   std::string_view not_allowed, QString& folder, const FileAction& action) {
  TFileDlgActionForm form(owner, title, filter, sorter, not_allowed, folder);
  if (form.exec() != QDialog::Accepted) return;
  folder = form.currentFolder();
  // The chosen files were taken with their folder; the folder given to the action is the same.
  std::optional<std::string> dir = platform::WinPathFromQ(owner, folder);
  if (!dir) return;
  const auto entries = form.actions().entries();
  int count = static_cast<int>(entries.size());
  for (int i = 0; i < count; ++i) {
    const Text& path = entries[static_cast<std::size_t>(i)].path;
    Text name = path.substr(path.find_last_of('/') + 1);
    if (!action(owner, name, *dir, count, i + 1)) break;
  }
}

}  // namespace olbrax
