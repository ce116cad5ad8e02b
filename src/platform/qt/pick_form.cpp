#include "platform/qt/pick_form.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"

namespace olbrax::platform {

namespace {

constexpr int kWidth = 300, kHeight = 380;
// Each line keeps the number of its item, so that a sorted window still answers in item order.
constexpr int kItemRole = Qt::UserRole;

}  // namespace

PickForm::PickForm(const PickWindowSpec& spec)
    : QDialog(static_cast<QWidget*>(spec.owner)), count_(spec.items.size()) {
  setObjectName("TEPickForm");
  setWindowTitle(ToQ(spec.caption));
  EPickListBox = new QListWidget(this);
  EPickListBox->setObjectName("EPickListBox");
  EPickListBox->setSelectionMode(spec.multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  for (std::size_t i = 0; i < spec.items.size(); ++i) {
    auto* item = new QListWidgetItem(ToQ(spec.items[i]), EPickListBox);
    item->setData(kItemRole, static_cast<int>(i));
  }
  if (spec.sort) EPickListBox->sortItems();
  for (int row = 0; row < EPickListBox->count(); ++row) {
    QListWidgetItem* item = EPickListBox->item(row);
    std::size_t i = static_cast<std::size_t>(item->data(kItemRole).toInt());
    if (i < spec.selected.size() && spec.selected[i]) {
      item->setSelected(true);
      if (!EPickListBox->currentItem() || !EPickListBox->currentItem()->isSelected())
        EPickListBox->setCurrentItem(item, QItemSelectionModel::NoUpdate);
    }
  }

  okBtn = new QPushButton("OK", this);
  okBtn->setObjectName("okBtn");
  okBtn->setDefault(true);
  allbtn = new QPushButton("&Alla", this);
  allbtn->setObjectName("allbtn");
  allbtn->setToolTip(QString::fromUtf8("väljer alla respektive ingen"));
  allbtn->setEnabled(spec.multi);
  allbtn->setAutoDefault(false);
  cancelBtn = new QPushButton("Avbryt", this);
  cancelBtn->setObjectName("cancelBtn");
  cancelBtn->setToolTip(QString::fromUtf8("avbryt utan att fortsätta"));
  cancelBtn->setAutoDefault(false);
  connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(allbtn, &QPushButton::clicked, this, &PickForm::AllClick);
  connect(EPickListBox, &QListWidget::itemSelectionChanged, this, &PickForm::ShowCount);
  if (!spec.multi) connect(EPickListBox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(okBtn);
  buttons->addWidget(allbtn);
  buttons->addWidget(cancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(EPickListBox, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
  layout->setContentsMargins(8, 8, 8, 0);
  resize(kWidth, kHeight);
  ScaleDialog(this);
  ShowCount();
}

std::vector<bool> PickForm::Chosen() const {
  std::vector<bool> chosen(count_, false);
  for (int row = 0; row < EPickListBox->count(); ++row) {
    QListWidgetItem* item = EPickListBox->item(row);
    chosen[static_cast<std::size_t>(item->data(kItemRole).toInt())] = item->isSelected();
  }
  return chosen;
}

void PickForm::AllClick() {
  if (allSw) EPickListBox->selectAll();
  else EPickListBox->clearSelection();
  allSw = !allSw;
  allbtn->setText(allSw ? "&Alla" : "&Ingen");
}

void PickForm::ShowCount() {
  StatusBar1->showMessage(ToQ(PickStatusText(static_cast<int>(EPickListBox->selectedItems().size()), EPickListBox->count())));
}

bool RunPickForm(PickWindowSpec& spec) {
  PickForm form(spec);
  if (form.exec() != QDialog::Accepted) return false;
  spec.selected = form.Chosen();
  return true;
}

}  // namespace olbrax::platform
