#include "registers/label_dialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "base/messages.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "printing/config/configuration.h"
#include "printing/config_fonts.h"
#include "printing/engine/pictures.h"
#include "printing/engine/print_engine.h"
#include "registers/data/label_register.h"
#include "registers/data/side_register.h"
#include "registers/sheets/sheet_print.h"

namespace olbrax {

using platform::FromQ;
using platform::ToQ;

namespace {

// "Bilder|*.png;*.jpg;…": every format the program can load.
Text PictureFilter() {
  Text patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats())
    patterns += (patterns.empty() ? "*." : ";*.") + format.toStdString();
  return "Bilder|" + patterns + "|Alla filer|*";
}

}  // namespace

void PictureLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QLabel::mousePressEvent(event);
}

TEtikettDlg::TEtikettDlg(QWidget* owner, LabelEdit& edit) : QDialog(owner), edit_(edit) {
  setObjectName("TEtikettDlg");
  setWindowTitle("etikett");

  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox("etikett", this);
  group->setObjectName("etikettGroupBox");
  auto* group_layout = new QVBoxLayout(group);
  etikettMemo = new QPlainTextEdit(group);
  etikettMemo->setObjectName("etikettMemo");
  etikettMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  etikettMemo->setToolTip(QString::fromUtf8(
      "skriv in text för etiketten här, klicka på bildytan nedan för att ladda bild,"));
  QFont font = etikettMemo->font();
  ApplyFont(CurrentLabelEnvironment.setup.medium, font);
  etikettMemo->setFont(font);
  // What the memo says while the label has no text yet.
  etikettMemo->setPlaceholderText(
      QString::fromUtf8("<skriv in text för etiketten här>\n<eller klicka på bildytan nedan för att ladda bild>"));
  group_layout->addWidget(etikettMemo);
  auto* frame = new QFrame(group);
  frame->setFrameShape(QFrame::Box);
  auto* frame_layout = new QVBoxLayout(frame);
  Image1 = new PictureLabel(frame);
  Image1->setObjectName("Image1");
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setMinimumSize(240, 120);
  Image1->setToolTip(QString::fromUtf8("klicka för att välja bild för etikett"));
  Image1->setCursor(Qt::PointingHandCursor);
  frame_layout->addWidget(Image1);
  group_layout->addWidget(frame);
  layout->addWidget(group);

  auto* row = new QHBoxLayout;
  Edit1 = new QSpinBox(this);
  Edit1->setObjectName("Edit1");
  Edit1->setRange(0, 999);
  Edit1->setValue(1);
  printbtn = new QPushButton("S&kriv", this);
  printbtn->setObjectName("printbtn");
  printbtn->setToolTip("skriv ut valda etiketter");
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
  ok->setObjectName("BitBtn1");
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setObjectName("BitBtn2");
  row->addWidget(Edit1);
  row->addWidget(printbtn);
  row->addStretch();
  row->addWidget(buttons);
  layout->addLayout(row);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  layout->addWidget(StatusBar1);

  connect(buttons, &QDialogButtonBox::accepted, this, &TEtikettDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TEtikettDlg::reject);
  connect(printbtn, &QPushButton::clicked, this, &TEtikettDlg::PrintClicked);
  connect(Image1, &PictureLabel::clicked, this, &TEtikettDlg::PictureClicked);
  connect(etikettMemo, &QPlainTextEdit::textChanged, this, &TEtikettDlg::LimitMemo);

  etikettMemo->setPlainText(ToQ(edit_.text));
  ShowPicture();
  resize(420, 380);
  platform::ScaleDialog(this);
  if (owner) move(owner->geometry().center() - rect().center());
}

QString TEtikettDlg::statusText() const { return StatusBar1->currentMessage(); }

Text TEtikettDlg::MemoText() const { return side::EditorText(FromQ(etikettMemo->toPlainText()), kLabelTextMax); }

// At most 240 characters as the label keeps them (each line end takes two).
void TEtikettDlg::LimitMemo() {
  if (limiting_) return;
  Text all = side::EditorText(FromQ(etikettMemo->toPlainText()), 100000);
  if (all.size() <= static_cast<std::size_t>(kLabelTextMax)) return;
  limiting_ = true;
  Text kept = Cut(all, kLabelTextMax);
  if (!kept.empty() && kept.back() == '\r') kept.pop_back();
  etikettMemo->setPlainText(ToQ(kept));
  etikettMemo->moveCursor(QTextCursor::End);
  limiting_ = false;
}

void TEtikettDlg::ShowPicture() {
  LabelPictureInfo picture = LabelPicture(MemoText());
  Image1->clear();
  if (!picture.is_picture) return;
  QImage image;
  if (!print::PictureFileExists(picture.path)) BeepSignal();
  if (!print::PictureFileExists(picture.path) || !print::LoadPicture(picture.path, image)) {
    StatusBar1->showMessage(ToQ("kan ej ladda filen \"" + picture.path + "\""));
    return;
  }
  Image1->setPixmap(QPixmap::fromImage(image).scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TEtikettDlg::PictureClicked() {
  std::string path = LabelPicture(MemoText()).path;
  if (platform::CurrentUi().ChooseFile(this, false, "", PictureFilter(), "png", path)) {
    etikettMemo->setPlainText(ToQ(Cut("BITMAP" + path, kLabelTextMax)));
  }
  ShowPicture();
}

void TEtikettDlg::accept() {
  edit_.text = MemoText();
  if (!edit_.Ok()) {
    StatusBar1->showMessage(ToQ(edit_.status));
    platform::CurrentUi().Beep(0, 0);
    return;
  }
  QDialog::accept();
}

void TEtikettDlg::reject() {
  edit_.Cancel();
  QDialog::reject();
}

void TEtikettDlg::PrintClicked() {
  Text text = MemoText();
  edit_.text = text;
  EtikettRec.Etk.set(text);
  int n = Edit1->value();
  if (n <= 0) return;
  if (BeginSheetPrint("etiketter", this)) {
    for (int i = 1; i <= n && !print::PrAborted(); ++i) {
      print::ShowProgress(i, n);
      PrintOnSheet(DrawLabel, text);
    }
  }
  EndSheetPrint();
  if (SheetState.pictures_missing > 0) StatusBar1->showMessage(ToQ(MsgLine));
}

}  // namespace olbrax
