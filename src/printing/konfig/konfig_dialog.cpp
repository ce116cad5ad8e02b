#include "printing/konfig/konfig_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "base/messages.h"
#include "platform/qt/printer_setup_dialog.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "printing/config/configuration.h"
#include "printing/config/environment_fields.h"
#include "printing/config_fonts.h"
#include "printing/engine/pictures.h"
#include "printing/konfig/environment_tabs.h"

namespace olbrax {

using platform::FromQ;
using platform::ToQ;

namespace {

constexpr int kWidth = 618, kHeight = 512;
constexpr int kPictureWidth = 96, kPictureHeight = 72;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QLineEdit* Edit(QWidget* parent, const char* name, int limit, const char* hint = nullptr, bool read_only = false) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMaxLength(limit);
  e->setReadOnly(read_only);
  if (hint) e->setToolTip(U(hint));
  return e;
}

QSpinBox* Spin(QWidget* parent, const char* name, int lo, int hi, const char* hint = nullptr) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(name);
  s->setRange(lo, hi);
  if (hint) s->setToolTip(U(hint));
  return s;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr) {
  auto* b = new QPushButton(U(caption), parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  if (hint) b->setToolTip(U(hint));
  return b;
}

QLabel* Caption(QWidget* parent, const char* text) { return new QLabel(U(text), parent); }

// The picture formats the print engine can load, as file-name patterns.
QStringList PicturePatterns() {
  QStringList patterns{"*.jpg", "*.jpeg"};
  for (const QByteArray& f : QImageReader::supportedImageFormats()) {
    QString p = "*." + QString::fromLatin1(f).toLower();
    if (!patterns.contains(p)) patterns << p;
  }
  return patterns;
}

bool PlatformPicture(QWidget* owner, QString& path) {
  const QStringList patterns = PicturePatterns();
  QString start = path;
  for (;;) {
    QFileDialog dlg(owner, U("välj bild"), QFileInfo(start).absolutePath(),
                    U("bilder (") + patterns.join(' ') + ");;" + U("alla filer (*)"));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::ReadOnly);
    dlg.setDefaultSuffix("jpg");
    if (!start.isEmpty()) dlg.selectFile(start);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    QString chosen = dlg.selectedFiles().front();
    // A file of a kind the print engine cannot load: the dialog is shown again.
    if (!patterns.contains("*." + QFileInfo(chosen).suffix().toLower())) {
      start = chosen;
      continue;
    }
    path = chosen;
    return true;
  }
}

}  // namespace

KonfigChoosers PlatformChoosers() {
  KonfigChoosers c;
  c.font = [](QWidget* owner, QFont& font) {
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, font, owner, "font");
    if (ok) font = chosen;
    return ok;
  };
  c.printer = [](QWidget* owner, platform::PrinterInfo& printer) { return platform::ChoosePrinterSetup(owner, printer); };
  c.picture = PlatformPicture;
  return c;
}

TEKonfigDlg::TEKonfigDlg(QWidget* owner, KonfigChoosers choosers) : QDialog(owner), choosers_(std::move(choosers)) {
  setObjectName("TEKonfigDlg");
  setWindowTitle(U("inställningar"));
  // A modal dialog without system buttons: it is left with OK.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);
  QFont bold("Arial");
  bold.setBold(true);
  setFont(bold);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(240, 244, 250));
  setPalette(pal);
  setAutoFillBackground(true);
  Build();
  resize(kWidth, kHeight);
  FormCreate();
}

void TEKonfigDlg::Build() {
  auto* main = new QVBoxLayout(this);
  KonfigPageControl_ = new QTabWidget(this);
  KonfigPageControl_->setObjectName("KonfigPageControl");
  // The two pages are chosen with buttons; the page shown has its caption in red.
  KonfigPageControl_->tabBar()->setStyleSheet(
      "QTabBar::tab { border: 2px outset #a0a0a0; border-radius: 3px; padding: 3px 14px; margin: 2px;"
      " background: #e4e4e4; }"
      "QTabBar::tab:selected { border-style: inset; color: red; }");
  KonfigPageControl_->addTab(BuildRapportPage(), "rapporter");
  KonfigPageControl_->addTab(BuildEtikettPage(), "etiketter");
  main->addWidget(KonfigPageControl_, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Caption(this, "datornamn"));
  EditDatorNamn_ = Edit(this, "EditDatorNamn", fields::kComputerNameMax,
                        "datornnamnet visas vid vissa utskrifter , filskapning mm,");
  bottom->addWidget(EditDatorNamn_, 1);
  bottom->addStretch();
  BitBtnOK_ = Button(this, "BitBtnOK", "OK", "acceptera ändringarna och återvänd");
  BitBtnOK_->setDefault(true);
  connect(BitBtnOK_, &QPushButton::clicked, this, &QDialog::accept);
  bottom->addWidget(BitBtnOK_);
  main->addLayout(bottom);

  StatusLine_ = new QLabel(this);
  StatusLine_->setObjectName("StatusLine");
  StatusLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  QFont normal = StatusLine_->font();
  normal.setBold(false);
  StatusLine_->setFont(normal);
  main->addWidget(StatusLine_);

  connect(KonfigPageControl_, &QTabWidget::currentChanged, this, &TEKonfigDlg::KonfigPageChange);
}

QWidget* TEKonfigDlg::BuildRapportPage() {
  auto* page = new QWidget;
  page->setObjectName("RapportSheet");
  auto* v = new QVBoxLayout(page);
  RapportTabControl_ = new EnvironmentTabs("RapportTabControl", page);
  connect(RapportTabControl_, &EnvironmentTabs::tabChosen, this, [this](int index, int previous) {
    RapportTabControlChanging(previous);
    if (!RapportTabControlChange(index)) RapportTabControl_->setCurrentIndex(previous);
  });
  v->addWidget(RapportTabControl_);

  auto* grid = new QGridLayout;
  RaEditNamn_ = Edit(page, "RaEditNamn", fields::kNameMax, "namn för inställningen");
  RaEditFottext_ = Edit(page, "RaEditFottext", fields::kFooterMax, "fottext vid rapportutskrifter");
  RaSpinKolumner_ = Spin(page, "RaSpinKolumner", fields::kColumnsMin, fields::kColumnsMax,
                         "antal kolumner för uppdelning av rapportens sida");
  RapportDlgButton2_ = Button(page, "RapportDlgButton2", "skrivare");
  RapportDlgButton3_ = Button(page, "RapportDlgButton3", "utskriftsformat");
  RaEditSkrivarval_ = Edit(page, "RaEditSkrivarval", fields::kPrinterTextMax, "visar vald skrivare för rapporten", true);
  grid->addWidget(Caption(page, "namn"), 0, 0);
  grid->addWidget(RaEditNamn_, 0, 1, 1, 3);
  grid->addWidget(Caption(page, "fottext"), 1, 0);
  grid->addWidget(RaEditFottext_, 1, 1, 1, 3);
  grid->addWidget(Caption(page, "kolumner"), 2, 0);
  grid->addWidget(RaSpinKolumner_, 2, 1);
  grid->addWidget(RapportDlgButton2_, 2, 2);
  grid->addWidget(RapportDlgButton3_, 2, 3);
  grid->addWidget(Caption(page, "skrivarval"), 3, 0);
  grid->addWidget(RaEditSkrivarval_, 3, 1, 1, 3);
  v->addLayout(grid);
  connect(RapportDlgButton2_, &QPushButton::clicked, this, [this] { PrinterClick(true); });

  auto* row = new QHBoxLayout;
  auto* fonts = new QGroupBox("utskriftsfonter", page);
  fonts->setObjectName("RaFontGroup");
  auto* fg = new QGridLayout(fonts);
  const char* captions[3] = {"stor", "mellan", "liten"};
  const char* buttons[3] = {"RaBitBtnStorFont", "RaBitBtnMellanFont", "RaBitBtnLitenFont"};
  const char* names[3] = {"RaEditStorFont", "RaEditMellanFont", "RaEditLitenFont"};
  for (int i = 0; i < 3; ++i) {
    QPushButton* b = Button(fonts, buttons[i], captions[i], "dialog för val av font");
    RaFontField_[i] = Edit(fonts, names[i], fields::kFontTextMax, nullptr, true);
    fg->addWidget(b, i, 0);
    fg->addWidget(RaFontField_[i], i, 1);
    connect(b, &QPushButton::clicked, this, [this, i] { FontClick(true, i); });
  }
  row->addWidget(fonts, 3);

  // Narrow tabs, so that all five show beside the fonts.
  BildPageControl_ = new QTabWidget(page);
  BildPageControl_->setObjectName("BildPageControl");
  BildPageControl_->tabBar()->setStyleSheet("QTabBar::tab { padding: 2px 5px; margin: 1px; }");
  for (int n = 0; n <= 4; ++n) {
    auto* sheet = new QWidget;
    auto* h = new QHBoxLayout(sheet);
    PrBild_[n] = new QLabel(sheet);
    PrBild_[n]->setObjectName(QString("PrBild%1").arg(n));
    PrBild_[n]->setFixedSize(platform::Scaled(kPictureWidth), platform::Scaled(kPictureHeight));
    PrBild_[n]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PrBild_[n]->setAlignment(Qt::AlignCenter);
    h->addWidget(PrBild_[n]);
    PrAktiv_[n] = nullptr;
    PrStorlek_[n] = nullptr;
    if (n > 0) {
      PrBild_[n]->setToolTip(n == 3 ? U("klicka för att välja bildfil")
                                    : U("avslutningsbild för rapporterna om plats finns kvar på sista sidan"));
      PrBild_[n]->setCursor(Qt::PointingHandCursor);
      PrBild_[n]->installEventFilter(this);
      auto* side = new QVBoxLayout;
      PrAktiv_[n] = new QCheckBox("aktiv", sheet);
      PrAktiv_[n]->setObjectName(QString("PrAktiv%1").arg(n));
      PrAktiv_[n]->setToolTip(U("bilden aktiv för utskrift på rapporten"));
      PrStorlek_[n] = Spin(sheet, "", fields::kDivisorMin, fields::kDivisorMax,
                           "del av rapportens bredd som tilldelas bilden vid utskriften (1/n)");
      PrStorlek_[n]->setObjectName(QString("PrStorlek%1").arg(n));
      side->addWidget(PrAktiv_[n]);
      side->addWidget(Caption(sheet, "storlek"));
      side->addWidget(PrStorlek_[n]);
      side->addStretch();
      h->addLayout(side);
    }
    h->addStretch();
    BildPageControl_->addTab(sheet, QString("bild%1").arg(n));
  }
  row->addWidget(BildPageControl_, 2);
  v->addLayout(row);
  v->addStretch();
  return page;
}

QWidget* TEKonfigDlg::BuildEtikettPage() {
  auto* page = new QWidget;
  page->setObjectName("EtikettSheet");
  auto* v = new QVBoxLayout(page);
  EtikettTabControl_ = new EnvironmentTabs("EtikettTabControl", page);
  connect(EtikettTabControl_, &EnvironmentTabs::tabChosen, this, [this](int index, int previous) {
    EtikettTabControlChanging(previous);
    if (!EtikettTabControlChange(index)) EtikettTabControl_->setCurrentIndex(previous);
  });
  v->addWidget(EtikettTabControl_);

  auto* grid = new QGridLayout;
  EtEditNamn_ = Edit(page, "EtEditNamn", fields::kNameMax, "namn för inställningen");
  EtEditSkrivarval_ = Edit(page, "EtEditSkrivarval", fields::kPrinterTextMax, nullptr, true);
  etikettDlgBtn2_ = Button(page, "etikettDlgBtn2", "skrivare");
  etikettDlgBtn3_ = Button(page, "etikettDlgBtn3", "utskriftformat");
  grid->addWidget(Caption(page, "namn"), 0, 0);
  grid->addWidget(EtEditNamn_, 0, 1, 1, 3);
  grid->addWidget(Caption(page, "skrivarval"), 1, 0);
  grid->addWidget(EtEditSkrivarval_, 1, 1, 1, 3);
  grid->addWidget(etikettDlgBtn2_, 2, 1);
  grid->addWidget(etikettDlgBtn3_, 2, 2);
  v->addLayout(grid);
  connect(etikettDlgBtn2_, &QPushButton::clicked, this, [this] { PrinterClick(false); });

  auto* fonts = new QGroupBox("utskriftsfonter", page);
  fonts->setObjectName("EtFontGroup");
  fonts->setToolTip(U("vid etikettutskrifter gör programmet försök med att få plats med den i tur och ordning största,  "
                      "mellersta  för att till slut välja den minsta texten"));
  auto* fg = new QGridLayout(fonts);
  const char* captions[3] = {"stor", "mellan", "liten"};
  const char* buttons[3] = {"EtBitBtnStorFont", "EtBitBtnMellanFont", "EtBitBtnLitenFont"};
  const char* names[3] = {"EtEditStorFont", "EtEditMellanFont", "EtEditLitenFont"};
  for (int i = 0; i < 3; ++i) {
    QPushButton* b = Button(fonts, buttons[i], captions[i], "dialog för val av font");
    EtFontField_[i] = Edit(fonts, names[i], fields::kFontTextMax, nullptr, true);
    fg->addWidget(b, i, 0);
    fg->addWidget(EtFontField_[i], i, 1);
    connect(b, &QPushButton::clicked, this, [this, i] { FontClick(false, i); });
  }
  v->addWidget(fonts);

  using namespace fields;
  auto* sg = new QGridLayout;
  EtSpinTop_ = Spin(page, "EtSpinTop", kMarginMin, kMarginMax);
  EtSpinLeft_ = Spin(page, "EtSpinLeft", kMarginMin, kMarginMax);
  // The lengths are 16-bit unsigned in the file: the fields refuse negative values.
  EtSpinHeight_ = Spin(page, "EtSpinHeight", kLengthMin, kLengthMax);
  EtSpinWidth_ = Spin(page, "EtSpinWidth", kLengthMin, kLengthMax);
  EtSpinRowPitch_ = Spin(page, "EtSpinRowPitch", kLengthMin, kLengthMax);
  EtSpinColumnPitch_ = Spin(page, "EtSpinColumnPitch", kLengthMin, kLengthMax);
  EtSpinPerRow_ = Spin(page, "EtSpinPerRow", kPerRowMin, kPerRowMax);
  EtSpinRows_ = Spin(page, "EtSpinRows", kRowsMin, kRowsMax);
  EtSpinCopies_ = Spin(page, "EtSpinCopies", kCopiesMin, kCopiesMax);
  const std::pair<const char*, QSpinBox*> spins[] = {
      {"topmarginal", EtSpinTop_},       {"vänstermarg", EtSpinLeft_},       {"etiketthöjd", EtSpinHeight_},
      {"etikettbredd", EtSpinWidth_},    {"raddelning", EtSpinRowPitch_},    {"kolumndeln", EtSpinColumnPitch_},
      {"antal kolumn", EtSpinPerRow_},   {"antal rader", EtSpinRows_},       {"antal kopior", EtSpinCopies_}};
  for (int i = 0; i < 9; ++i) {
    sg->addWidget(Caption(page, spins[i].first), i % 3, 2 * (i / 3));
    sg->addWidget(spins[i].second, i % 3, 2 * (i / 3) + 1);
  }
  v->addLayout(sg);
  v->addStretch();
  return page;
}

// --- Opening and closing ---------------------------------------------------------------------

void TEKonfigDlg::FormCreate() {
  EditDatorNamn_->setText(ToQ(GeneralSettings.computer_name.get()));
  RapportTabControl_->setCurrentIndex(std::clamp<int>(GeneralSettings.print_env, 1, 10) - 1);
  EtikettTabControl_->setCurrentIndex(std::clamp<int>(GeneralSettings.label_env, 1, 10) - 1);
  ShowTabNames();
  {
    const QSignalBlocker quiet(KonfigPageControl_);
    KonfigPageControl_->setCurrentIndex(GeneralSettings.dialog_page == 2 ? 1 : 0);
  }
  platform::ScaleDialog(this);
  // Tab bars with a style sheet of their own do not take the scaled font by themselves.
  KonfigPageControl_->tabBar()->setFont(font());
  BildPageControl_->tabBar()->setFont(font());
  // The file is read for the tabs selected; without it the records in memory are shown.
  if (!LoadPrintEnvironment(RapportTabControl_->currentIndex() + 1)) MsgLine = "Kan ej l\xE4sa " + ConfigFilePath();
  ShowPrintEnvironment();
  if (!LoadLabelEnvironment(EtikettTabControl_->currentIndex() + 1)) MsgLine = "Kan ej l\xE4sa " + ConfigFilePath();
  ShowLabelEnvironment();
  RapportDlgButton3_->setEnabled(false);
  etikettDlgBtn3_->setEnabled(false);
}

void TEKonfigDlg::done(int result) {
  if (!closed_) {
    closed_ = true;
    FormCloseQuery();
    FormClose();
  }
  QDialog::done(result);
}

void TEKonfigDlg::FormCloseQuery() {
  StorePrint(RapportTabControl_->currentIndex() + 1);
  StoreLabel(EtikettTabControl_->currentIndex() + 1);
}

void TEKonfigDlg::FormClose() {
  GeneralSettings.dialog_page = KonfigPageControl_->currentIndex() + 1;
  GeneralSettings.computer_name.set(FromQ(EditDatorNamn_->text()).substr(0, fields::kComputerNameMax));
}

// --- Tabs ------------------------------------------------------------------------------------

void TEKonfigDlg::RapportTabControlChanging(int index) { StorePrint(index + 1); }

bool TEKonfigDlg::RapportTabControlChange(int index) {
  if (!LoadPrintEnvironment(index + 1)) {
    // The file cannot be read: the record shown stays, and so does its tab.
    MsgLine = "Kan ej l\xE4sa " + ConfigFilePath();
    ShowStatus();
    return false;
  }
  ShowPrintEnvironment();
  return true;
}

void TEKonfigDlg::EtikettTabControlChanging(int index) { StoreLabel(index + 1); }

bool TEKonfigDlg::EtikettTabControlChange(int index) {
  if (!LoadLabelEnvironment(index + 1)) {
    MsgLine = "Kan ej l\xE4sa " + ConfigFilePath();
    ShowStatus();
    return false;
  }
  ShowLabelEnvironment();
  return true;
}

void TEKonfigDlg::KonfigPageChange(int index) {
  // Leaving "rapporter" stores what was edited there: showing it again reads the file.
  if (index == 1) StorePrint(RapportTabControl_->currentIndex() + 1);
  else RapportTabControlChange(RapportTabControl_->currentIndex());
}

// --- Storing and showing ---------------------------------------------------------------------

bool TEKonfigDlg::StorePrint(int k) {
  PrintFields f;
  f.name = FromQ(RaEditNamn_->text());
  f.footer = FromQ(RaEditFottext_->text());
  f.columns = RaSpinKolumner_->value();
  for (int i = 0; i < 4; ++i) {
    f.active[static_cast<std::size_t>(i)] = PrAktiv_[i + 1]->isChecked();
    f.divisor[static_cast<std::size_t>(i)] = PrStorlek_[i + 1]->value();
  }
  bool ok = StorePrintEnvironment(k, f);
  if (!ok) MsgLine = "Kan ej skriva " + ConfigFilePath();
  ShowTabNames();
  ShowStatus();
  return ok;
}

bool TEKonfigDlg::StoreLabel(int k) {
  LabelFields f;
  f.name = FromQ(EtEditNamn_->text());
  f.top = EtSpinTop_->value();
  f.left = EtSpinLeft_->value();
  f.height = EtSpinHeight_->value();
  f.width = EtSpinWidth_->value();
  f.row_pitch = EtSpinRowPitch_->value();
  f.column_pitch = EtSpinColumnPitch_->value();
  f.per_row = EtSpinPerRow_->value();
  f.rows = EtSpinRows_->value();
  f.copies = EtSpinCopies_->value();
  bool ok = StoreLabelEnvironment(k, f);
  if (!ok) MsgLine = "Kan ej skriva " + ConfigFilePath();
  ShowTabNames();
  ShowStatus();
  return ok;
}

void TEKonfigDlg::ShowTabNames() {
  for (int i = 0; i < 10; ++i) {
    RapportTabControl_->setTabText(i, ToQ(GeneralSettings.print_names[i].get()));
    EtikettTabControl_->setTabText(i, ToQ(GeneralSettings.label_names[i].get()));
  }
}

void TEKonfigDlg::ShowFont(QLineEdit* field, const FontSpec& spec) {
  QFont preview;
  ApplyFont(spec, preview);
  preview.setPointSize(static_cast<int>(std::lround(platform::WindowScale * 12 / 100.0)));
  field->setFont(preview);
  field->setText("(" + QString::number(spec.size) + ") \"" + preview.family() + "\"");
  field->setCursorPosition(0);
}

void TEKonfigDlg::ShowPrintEnvironment() {
  int k = GeneralSettings.print_env;
  if (k < 1 || k > 10) return;
  PrintFields f = PrintFieldsOf(k);
  const PrinterSetup& s = CurrentPrintEnvironment.setup;
  RaEditFottext_->setText(ToQ(f.footer));
  RaEditNamn_->setText(ToQ(f.name));
  RaEditSkrivarval_->setText(ToQ(s.device.get().substr(0, fields::kPrinterTextMax)));
  ShowFont(RaFontField_[0], s.large);
  ShowFont(RaFontField_[1], s.medium);
  ShowFont(RaFontField_[2], s.small);
  RaSpinKolumner_->setValue(f.columns);
  for (int i = 0; i < 4; ++i) {
    PrAktiv_[i + 1]->setChecked(f.active[static_cast<std::size_t>(i)]);
    PrStorlek_[i + 1]->setValue(f.divisor[static_cast<std::size_t>(i)]);
  }
  for (int n = 0; n <= 4; ++n) ShowPicture(n);
  ShowStatus();
}

void TEKonfigDlg::ShowLabelEnvironment() {
  int k = GeneralSettings.label_env;
  if (k < 1 || k > 10) return;
  LabelFields f = LabelFieldsOf(k);
  const PrinterSetup& s = CurrentLabelEnvironment.setup;
  EtEditNamn_->setText(ToQ(f.name));
  EtEditSkrivarval_->setText(ToQ(s.device.get().substr(0, fields::kPrinterTextMax)));
  ShowFont(EtFontField_[0], s.large);
  ShowFont(EtFontField_[1], s.medium);
  ShowFont(EtFontField_[2], s.small);
  EtSpinTop_->setValue(f.top);
  EtSpinLeft_->setValue(f.left);
  EtSpinHeight_->setValue(f.height);
  EtSpinWidth_->setValue(f.width);
  EtSpinRowPitch_->setValue(f.row_pitch);
  EtSpinColumnPitch_->setValue(f.column_pitch);
  EtSpinPerRow_->setValue(f.per_row);
  EtSpinRows_->setValue(f.rows);
  EtSpinCopies_->setValue(f.copies);
  ShowStatus();
}

void TEKonfigDlg::ShowPicture(int n) {
  QLabel* box = PrBild_[n];
  Text path = CurrentPrintEnvironment.pictures[n].path.get();
  QImage image;
  if (print::PictureFileExists(path)) {
    box->setProperty("picture", ToQ(path));
    if (!print::LoadPicture(path, image)) {
      MsgLine = "kan ej ladda filen \"" + path + "\"";
      box->clear();
      return;
    }
  } else {
    box->setProperty("picture", QString("PrBildres%1").arg(n));
    image = print::BuiltInPicture(n);
  }
  box->setPixmap(QPixmap::fromImage(image).scaled(box->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TEKonfigDlg::ShowStatus() {
  if (MsgLine == shown_message_) return;
  shown_message_ = MsgLine;
  StatusLine_->setText(ToQ(MsgLine));
}

// --- Fonts, printers, pictures -----------------------------------------------------------------

void TEKonfigDlg::FontClick(bool print, int which) {
  auto spec_of = [&]() -> FontSpec& {
    PrinterSetup& s = print ? CurrentPrintEnvironment.setup : CurrentLabelEnvironment.setup;
    return which == 0 ? s.large : which == 1 ? s.medium : s.small;
  };
  QFont font;
  ApplyFont(spec_of(), font);
  if (print) StorePrint(RapportTabControl_->currentIndex() + 1);
  else StoreLabel(EtikettTabControl_->currentIndex() + 1);
  if (choosers_.font && choosers_.font(this, font)) CaptureFont(font, spec_of());
  if (print) ShowPrintEnvironment();
  else ShowLabelEnvironment();
}

void TEKonfigDlg::PrinterClick(bool print) {
  if (print) StorePrint(RapportTabControl_->currentIndex() + 1);
  else StoreLabel(EtikettTabControl_->currentIndex() + 1);
  ChoosePrinter(print ? CurrentPrintEnvironment.setup : CurrentLabelEnvironment.setup);
  if (print) ShowPrintEnvironment();
  else ShowLabelEnvironment();
}

void TEKonfigDlg::ChoosePrinter(PrinterSetup& setup) {
  // The dialog starts at the setup's printer, or at the default printer when that is gone.
  platform::PrinterService& printers = platform::CurrentPrinters();
  std::optional<platform::PrinterInfo> start = printers.Find(setup.device.get());
  if (!start) start = printers.Default();
  platform::PrinterInfo info = start ? *start : platform::PdfPrinter();
  if (setup.devmode_valid && start && start->name == setup.device.get()) {
    if (setup.Orientation() == 1 || setup.Orientation() == 2) info.orientation = setup.Orientation();
    if (setup.PaperSize() > 0) info.paper_size = setup.PaperSize();
  }
  if (!choosers_.printer || !choosers_.printer(this, info)) return;  // cancelled: the printer stays
  StorePrinterChoice(setup, info);
}

void TEKonfigDlg::PictureClick(int n) {
  StorePrint(RapportTabControl_->currentIndex() + 1);
  ChoosePicture(n);
  ShowPrintEnvironment();
}

void TEKonfigDlg::ChoosePicture(int n) {
  PicturePlace& place = CurrentPrintEnvironment.pictures[n];
  QString path = ToQ(place.path.get());
  // Cancelled, the path is cleared and the built-in picture is used.
  if (!choosers_.picture || !choosers_.picture(this, path)) path.clear();
  place.path.set(FromQ(path).substr(0, 1024));
}

bool TEKonfigDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    for (int n = 1; n <= 4; ++n) {
      if (watched == PrBild_[n]) {
        PictureClick(n);
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace olbrax
