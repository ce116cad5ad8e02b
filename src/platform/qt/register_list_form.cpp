#include "platform/qt/register_list_form.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"

namespace olbrax::platform {

namespace {

// Design size of the window before scaling.
constexpr int kWidth = 470, kHeight = 340;

}  // namespace

RegisterListForm::RegisterListForm(const ListWindowSpec& spec, ListWindowEvents& events)
    : QDialog(static_cast<QWidget*>(spec.owner)), events_(events) {
  setObjectName(ToQ(spec.name));
  setWindowTitle(ToQ(spec.caption));
  ERegListBox = new QListWidget(this);
  ERegListBox->setObjectName("ERegListBox");
  ERegListBox->setSelectionMode(spec.multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  ERegListBox->setUniformItemSizes(true);
  // The lines are columns padded with "."; a fixed-pitch font keeps them aligned.
  QFont mono("Courier New");
  mono.setStyleHint(QFont::Monospace);
  mono.setPointSizeF(font().pointSizeF());
  ERegListBox->setFont(mono);

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(name);
    // Enter in the list changes the focused line; it must not press a button as well.
    b->setAutoDefault(false);
    return b;
  };
  newbtn = button("newbtn", "&Ny");
  changebtn = button("changebtn", "&Ändra");
  deletebtn = button("deletebtn", "&Radera");
  printbtn = button("printbtn", "S&kriv");
  closebtn = button("closebtn", "&Stäng");
  connect(newbtn, &QPushButton::clicked, this, [this] { events_.NewClicked(); });
  connect(changebtn, &QPushButton::clicked, this, [this] { events_.ChangeClicked(); });
  connect(deletebtn, &QPushButton::clicked, this, [this] { events_.DeleteClicked(); });
  connect(printbtn, &QPushButton::clicked, this, [this] { events_.PrintClicked(); });
  connect(closebtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ERegListBox, &QListWidget::itemSelectionChanged, this, &RegisterListForm::ReportSelection);
  connect(ERegListBox, &QListWidget::itemActivated, this, [this] { events_.ChangeClicked(); });

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {newbtn, changebtn, deletebtn, printbtn}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(closebtn);
  auto* row = new QHBoxLayout;
  row->addWidget(ERegListBox, 1);
  row->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row, 1);
  layout->addWidget(StatusBar1);
  layout->setContentsMargins(8, 8, 8, 0);
  resize(kWidth, kHeight);
  ScaleDialog(this);
  // ScaleDialog scales the window's font; the list has a font of its own.
  mono.setPointSizeF(font().pointSizeF());
  ERegListBox->setFont(mono);
}

void RegisterListForm::InsertLine(int index, std::string_view text) {
  updating_ = true;
  ERegListBox->insertItem(index, ToQ(text));
  updating_ = false;
}

void RegisterListForm::RemoveLine(int index) {
  updating_ = true;
  delete ERegListBox->takeItem(index);
  updating_ = false;
}

void RegisterListForm::SetSelected(int index, bool selected) {
  updating_ = true;
  if (QListWidgetItem* item = ERegListBox->item(index)) item->setSelected(selected);
  updating_ = false;
}

void RegisterListForm::SetFocused(int index) {
  updating_ = true;
  // Moves the focus rectangle without touching the selection.
  ERegListBox->setCurrentRow(index, QItemSelectionModel::NoUpdate);
  if (QListWidgetItem* item = ERegListBox->item(index)) ERegListBox->scrollToItem(item);
  updating_ = false;
}

void RegisterListForm::SetStatus(std::string_view text) { StatusBar1->showMessage(ToQ(text)); }

void RegisterListForm::Repaint() { ERegListBox->viewport()->update(); }

void RegisterListForm::Run() { exec(); }

void RegisterListForm::ReportSelection() {
  if (updating_) return;
  std::vector<int> selected;
  for (int i = 0; i < ERegListBox->count(); ++i)
    if (ERegListBox->item(i)->isSelected()) selected.push_back(i);
  events_.SelectionChanged(selected, ERegListBox->currentRow());
}

}  // namespace olbrax::platform
