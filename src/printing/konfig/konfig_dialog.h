// The configuration dialog TEKonfigDlg ("inställningar"): the ten print environments (page
// "rapporter") and the ten label environments (page "etiketter") of the configuration file, each
// on a tab carrying its name, and the computer name. Leaving a tab stores the environment into
// its slot of the file, arriving reads the one chosen; the storing rules and field limits are
// those of printing/config/environment_fields.h, shared with olbrax-cli.
#pragma once

#include <QDialog>
#include <QFont>
#include <functional>

#include "base/text.h"
#include "platform/printers.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace olbrax {

class EnvironmentTabs;
struct PrinterSetup;

// The dialogs the configuration dialog opens, replaceable so that tests can answer them.
struct KonfigChoosers {
  // The font dialog: starts at `font`; true with the font chosen.
  std::function<bool(QWidget* owner, QFont& font)> font;
  // The printer-setup dialog: starts at `printer`; true with the printer chosen.
  std::function<bool(QWidget* owner, platform::PrinterInfo& printer)> printer;
  // The picture dialog: starts at `path`; true with the picture file chosen, false when cancelled.
  std::function<bool(QWidget* owner, QString& path)> picture;
};
// The platform's dialogs.
KonfigChoosers PlatformChoosers();

class TEKonfigDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TEKonfigDlg(QWidget* owner, KonfigChoosers choosers = PlatformChoosers());

  // The environment tab rows.
  EnvironmentTabs* rapportTabs() const { return RapportTabControl_; }
  EnvironmentTabs* etikettTabs() const { return EtikettTabControl_; }

 protected:
  // Closing in any way stores both environments (FormCloseQuery) and remembers the page and the
  // computer name (FormClose).
  void done(int result) override;

 private:
  void Build();
  QWidget* BuildRapportPage();
  QWidget* BuildEtikettPage();
  void FormCreate();
  void FormCloseQuery();
  void FormClose();

  void RapportTabControlChanging(int index);
  bool RapportTabControlChange(int index);
  void EtikettTabControlChanging(int index);
  bool EtikettTabControlChange(int index);
  void KonfigPageChange(int index);

  bool StorePrint(int k);
  bool StoreLabel(int k);
  void ShowPrintEnvironment();
  void ShowLabelEnvironment();
  void ShowFont(QLineEdit* field, const struct FontSpec& spec);
  void ShowPicture(int n);
  void ShowTabNames();
  void ShowStatus();
  void FontClick(bool print, int which);
  void PrinterClick(bool print);
  void ChoosePrinter(PrinterSetup& setup);
  void PictureClick(int n);
  void ChoosePicture(int n);

  bool eventFilter(QObject* watched, QEvent* event) override;

  KonfigChoosers choosers_;
  bool closed_ = false;
  Text shown_message_;

  QTabWidget* KonfigPageControl_;
  QLineEdit* EditDatorNamn_;
  QPushButton* BitBtnOK_;
  QLabel* StatusLine_;

  EnvironmentTabs* RapportTabControl_;
  QLineEdit* RaEditNamn_;
  QLineEdit* RaEditFottext_;
  QSpinBox* RaSpinKolumner_;
  QPushButton* RapportDlgButton2_;
  QPushButton* RapportDlgButton3_;
  QLineEdit* RaEditSkrivarval_;
  QLineEdit* RaFontField_[3];
  QTabWidget* BildPageControl_;
  QLabel* PrBild_[5];
  QCheckBox* PrAktiv_[5];
  QSpinBox* PrStorlek_[5];

  EnvironmentTabs* EtikettTabControl_;
  QLineEdit* EtEditNamn_;
  QLineEdit* EtEditSkrivarval_;
  QPushButton* etikettDlgBtn2_;
  QPushButton* etikettDlgBtn3_;
  QLineEdit* EtFontField_[3];
  QSpinBox* EtSpinTop_;
  QSpinBox* EtSpinLeft_;
  QSpinBox* EtSpinHeight_;
  QSpinBox* EtSpinWidth_;
  QSpinBox* EtSpinRowPitch_;
  QSpinBox* EtSpinColumnPitch_;
  QSpinBox* EtSpinPerRow_;
  QSpinBox* EtSpinRows_;
  QSpinBox* EtSpinCopies_;
};

}  // namespace olbrax
