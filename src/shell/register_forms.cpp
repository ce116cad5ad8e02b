#include "shell/register_forms.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "registers/side_register_windows.h"

namespace olbrax {

using platform::FromQ;
using platform::ToQ;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QLineEdit* LineEdit(QWidget* parent, const char* name, int limit, const char* hint) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMaxLength(limit);
  e->setToolTip(U(hint));
  return e;
}

// The district number field: 0..99, shown with two digits as it is stored.
class TwoDigitSpinBox : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;

 protected:
  QString textFromValue(int value) const override { return QString("%1").arg(value, 2, 10, QChar('0')); }
};

// Grid cells are edited in a line of at most `limit` characters.
class CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(int limit, QObject* parent) : QStyledItemDelegate(parent), limit_(limit) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setMaxLength(limit_);
    return w;
  }

 private:
  int limit_;
};

QTableWidgetItem* Cell(const QString& text, bool editable) {
  auto* item = new QTableWidgetItem(text);
  if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

QString CellText(QTableWidget* grid, int row, int column) {
  QTableWidgetItem* item = grid->item(row, column);
  return item ? item->text().trimmed() : QString();
}

}  // namespace

// --- The shared part ---------------------------------------------------------------------------

RegisterEditWindow::RegisterEditWindow(QWidget* owner, const char* name, const char* caption) : QDialog(owner) {
  setObjectName(name);
  setWindowTitle(U(caption));
  buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("okBtn");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelBtn");
  connect(buttons, &QDialogButtonBox::accepted, this, &RegisterEditWindow::OkClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
}

void RegisterEditWindow::Finish(QLayout* content) {
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(content, 1);
  layout->addWidget(buttons);
  layout->addWidget(StatusBar1);
  layout->setContentsMargins(8, 8, 8, 0);
  platform::ScaleDialog(this);
}

void RegisterEditWindow::OkClick() {
  Store();
  if (form().Ok()) {
    accept();
    return;
  }
  StatusBar1->showMessage(ToQ(form().status));
  SelectField(form().focus_field, form().focus_row);
}

// --- Districts ---------------------------------------------------------------------------------

TDistrForm::TDistrForm(QWidget* owner, DistrictEdit& edit) : RegisterEditWindow(owner, "TDistrForm", "distrikt"), edit_(edit) {
  edDnr = new TwoDigitSpinBox(this);
  edDnr->setObjectName("edDnr");
  edDnr->setRange(0, DistrictEdit::kNumberMax);
  edDnr->setValue(edit.number);
  edDname = LineEdit(this, "edDname", DistrictEdit::kNameMax, "distriktets/nationen namn");
  edDname->setText(ToQ(edit.name));
  edDkort = LineEdit(this, "edDkort", DistrictEdit::kNationMax, "eventuell nationsbeteckning");
  edDkort->setText(ToQ(edit.nation));
  auto* fields = new QFormLayout;
  fields->addRow("distriktsnr", edDnr);
  fields->addRow("distriktsnamn", edDname);
  fields->addRow("nation", edDkort);
  Finish(fields);
  edDname->setMinimumWidth(fontMetrics().horizontalAdvance(QString(DistrictEdit::kNameMax + 2, 'M')));
  adjustSize();
}

void TDistrForm::Store() {
  edit_.number = edDnr->value();
  edit_.name = FromQ(edDname->text());
  edit_.nation = FromQ(edDkort->text());
}

void TDistrForm::SelectField(int field, int) {
  QWidget* w = field == DistrictEdit::kNumber ? static_cast<QWidget*>(edDnr)
               : field == DistrictEdit::kName ? static_cast<QWidget*>(edDname)
                                              : static_cast<QWidget*>(edDkort);
  w->setFocus();
  if (auto* s = qobject_cast<QSpinBox*>(w)) s->selectAll();
  if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
}

// --- Controls ----------------------------------------------------------------------------------

TKontrForm::TKontrForm(QWidget* home) : RegisterEditWindow(home, "TKontrForm", "kontroll"), home_(home) {
  edKodNr = LineEdit(this, "edKodNr", ControlEdit::kCodeMax, "kontrollkodens kodsiffra");
  StringGrid1 = new QTableWidget(1, ControlEdit::kColumns + 1, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setToolTip(U("skriv in kontrollens rutbeskrvning i rutorna då rutan ska definieras"));
  QStringList header{"KodNr"};
  for (char c = 'A'; c < 'A' + ControlEdit::kColumns; ++c) header << QString(QChar(c));
  StringGrid1->setHorizontalHeaderLabels(header);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setItemDelegate(new CellDelegate(ControlEdit::kColumnMax, StringGrid1));
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Column KodNr shows the code of the field above.
  StringGrid1->setItem(0, 0, Cell(QString(), false));
  connect(edKodNr, &QLineEdit::textChanged, this, [this](const QString& t) { StringGrid1->item(0, 0)->setText(t); });
  auto* fields = new QFormLayout;
  fields->addRow("Kontrollkod", edKodNr);
  auto* content = new QVBoxLayout;
  content->addLayout(fields);
  content->addWidget(StringGrid1);
  content->addStretch(1);
  Finish(content);
  SizeGrid();
}

void TKontrForm::SizeGrid() {
  // Every column as wide as ten "X", every row 1.5 times the text height (of the scaled font).
  const QFontMetrics fm(StringGrid1->font());
  edKodNr->setMaximumWidth(fm.horizontalAdvance("XXXXXXXX"));
  const int column = fm.horizontalAdvance(QString(10, 'X')) + 2 * fm.horizontalAdvance(' ');
  const int row = fm.height() * 3 / 2;
  for (int c = 0; c < StringGrid1->columnCount(); ++c) StringGrid1->setColumnWidth(c, column);
  StringGrid1->setRowHeight(0, row);
  StringGrid1->horizontalHeader()->setMinimumHeight(row);
  const int frame = 2 * StringGrid1->frameWidth();
  StringGrid1->setFixedSize(column * StringGrid1->columnCount() + frame,
                            StringGrid1->horizontalHeader()->sizeHint().height() + row + frame);
  adjustSize();
}

bool TKontrForm::Edit(QWidget* owner, ControlEdit& edit) {
  edit_ = &edit;
  setParent(owner, windowFlags());
  edKodNr->setText(ToQ(edit.code));
  for (int c = 0; c < ControlEdit::kColumns; ++c)
    StringGrid1->setItem(0, c + 1, Cell(ToQ(edit.columns[static_cast<std::size_t>(c)]), true));
  StatusBar1->clearMessage();
  edKodNr->setFocus();
  const bool ok = exec() == QDialog::Accepted;
  edit_ = nullptr;
  // Back to the main window, or the window would go with the register dialog that owned it.
  setParent(home_, windowFlags());
  return ok;
}

void TKontrForm::Store() {
  edit_->code = FromQ(edKodNr->text());
  for (int c = 0; c < ControlEdit::kColumns; ++c)
    edit_->columns[static_cast<std::size_t>(c)] = FromQ(CellText(StringGrid1, 0, c + 1));
}

void TKontrForm::SelectField(int field, int) {
  if (field == ControlEdit::kCode) {
    edKodNr->setFocus();
    edKodNr->selectAll();
  } else {
    StringGrid1->setFocus();
  }
}

// --- Courses -----------------------------------------------------------------------------------

TBanForm::TBanForm(QWidget* owner, CourseEdit& edit) : RegisterEditWindow(owner, "TBanForm", "bana"), edit_(edit) {
  edBana = LineEdit(this, "edBana", CourseEdit::kNameMax, "banans beteckning ");
  edBana->setText(ToQ(edit.name));
  edLangd = new QSpinBox(this);
  edLangd->setObjectName("edLangd");
  edLangd->setRange(0, CourseEdit::kLengthMax);
  edLangd->setSingleStep(CourseEdit::kLengthStep);
  edLangd->setToolTip(U("banan längd i meter"));
  edLangd->setValue(edit.length);
  StringGrid1 = new QTableWidget(CourseEdit::kRows, 2, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setToolTip(U("banans information, kontrollnummer"));
  StringGrid1->setHorizontalHeaderLabels({"nr", "kod"});
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setItemDelegate(new CellDelegate(CourseEdit::kCodeMax, StringGrid1));
  // Row k numbers itself "01".."35" and holds code k; all 35 rows can be reached.
  for (int k = 1; k <= CourseEdit::kRows; ++k) {
    StringGrid1->setItem(k - 1, 0, Cell(QString("%1").arg(k, 2, 10, QChar('0')), false));
    StringGrid1->setItem(k - 1, 1, Cell(ToQ(edit.codes[static_cast<std::size_t>(k - 1)]), true));
  }
  StringGrid1->horizontalHeader()->setStretchLastSection(true);
  auto* fields = new QFormLayout;
  fields->addRow("bana beteckning", edBana);
  fields->addRow(U("banlängd (m)"), edLangd);
  auto* content = new QVBoxLayout;
  content->addLayout(fields);
  content->addWidget(StringGrid1, 1);
  resize(260, 560);
  Finish(content);
  // Sizes from the scaled font: rows 1.5 times the text height.
  const QFontMetrics fm(font());
  StringGrid1->verticalHeader()->setDefaultSectionSize(fm.height() * 3 / 2);
  StringGrid1->verticalHeader()->setMinimumSectionSize(fm.height());
  StringGrid1->setColumnWidth(0, fm.horizontalAdvance("0000"));
  edBana->setMaximumWidth(fm.horizontalAdvance(QString(CourseEdit::kNameMax + 4, 'X')));
}

void TBanForm::Store() {
  edit_.name = FromQ(edBana->text());
  edit_.length = edLangd->value();
  for (int k = 0; k < CourseEdit::kRows; ++k) edit_.codes[static_cast<std::size_t>(k)] = FromQ(CellText(StringGrid1, k, 1));
}

void TBanForm::SelectField(int field, int row) {
  if (field == CourseEdit::kName) {
    edBana->setFocus();
    edBana->selectAll();
  } else if (field == CourseEdit::kGrid && row >= 1) {
    StringGrid1->setFocus();
    StringGrid1->setCurrentCell(row - 1, 1);
    StringGrid1->scrollToItem(StringGrid1->item(row - 1, 1));
  } else {
    edLangd->setFocus();
  }
}

// --- Installing the windows --------------------------------------------------------------------

namespace {
QPointer<TKontrForm> g_control_window;
}

TKontrForm* ControlWindow() { return g_control_window.data(); }

void InstallRegisterWindows(QWidget* main) {
  if (!g_control_window) g_control_window = new TKontrForm(main);
  SetEditWindow("TDistrForm", [](platform::Window owner, EditForm& form) {
    TDistrForm window(static_cast<QWidget*>(owner), static_cast<DistrictEdit&>(form));
    return window.exec() == QDialog::Accepted;
  });
  SetEditWindow("TKontrForm", [](platform::Window owner, EditForm& form) {
    return g_control_window && g_control_window->Edit(static_cast<QWidget*>(owner), static_cast<ControlEdit&>(form));
  });
  SetEditWindow("TBanForm", [](platform::Window owner, EditForm& form) {
    TBanForm window(static_cast<QWidget*>(owner), static_cast<CourseEdit&>(form));
    return window.exec() == QDialog::Accepted;
  });
  // The label and payment-form registers of the shell's "xregister" menu.
  InstallSideRegisterWindows();
}

void RemoveRegisterWindows() {
  for (const char* kind : {"TDistrForm", "TKontrForm", "TBanForm"}) SetEditWindow(kind, nullptr);
  RemoveSideRegisterWindows();
  delete g_control_window.data();
}

}  // namespace olbrax
