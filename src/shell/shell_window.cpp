#include "shell/shell_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QResizeEvent>
#include <QLayout>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <cmath>

#include "base/messages.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "shell/about_boxes.h"
#include "shell/editor_launcher.h"
#include "shell/panel_bar.h"
#include "shell/picture_menu_style.h"
#include "shell/pictures.h"
#include "shell/shell_colours.h"
#include "shell/window_scale_calc.h"

namespace olbrax {

namespace {

constexpr int kFirstPanelDesignWidth = 150;  // first panel of the settings bars, before scaling
constexpr int kBackgroundCount = 11;

// A label that opens an address when clicked; pointing at it shows the hand and turns it maroon.
class LinkLabel : public QLabel {
 public:
  LinkLabel(const QString& name, const QString& text, const QString& address, const QString& hint,
            QWidget* parent)
      : QLabel(text, parent), address_(address) {
    setObjectName(name);
    setToolTip(hint);
    // Opaque, so that the background picture does not run through the text.
    QPalette p = palette();
    p.setColor(QPalette::Window, kShellColour);
    setPalette(p);
    setAutoFillBackground(true);
    setColour(kLinkColour);
  }

 protected:
  void enterEvent(QEnterEvent*) override {
    setCursor(Qt::PointingHandCursor);
    setColour(kLinkHoverColour);
  }
  void leaveEvent(QEvent*) override {
    unsetCursor();
    setColour(kLinkColour);
  }
  void mousePressEvent(QMouseEvent*) override { doTheClick(address_); }

 private:
  void setColour(const QColor& c) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, c);
    setPalette(p);
  }
  QString address_;
};

QPushButton* MakeButton(const char* name, const char* caption, const char* hint, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  b->setToolTip(QString::fromUtf8(hint));
  return b;
}

PanelBar* MakeSettingsBar(const char* name, const char* caption, const char* hint, QWidget* parent) {
  auto* bar = new PanelBar(name, 2, parent);
  bar->setPanelText(0, QString::fromUtf8(caption));
  bar->setToolTip(QString::fromUtf8(hint));
  return bar;
}

int S(int v) { return platform::Scaled(v); }

// The payment-form items of the "xregister" menu, with the form kind of their pictures.
constexpr struct {
  const char* name;
  int kind;
} kPaymentForms[] = {{"plusgiro", 0}, {"postgiro", 1}, {"bankgiro", 3}};

// The picture of a payment-form item and the item's height, both following the window scale.
QSize PaymentPictureSize(const QFont& font) {
  const int h = QFontMetrics(font).height() * 2 + S(8);
  return {h * 4, h};
}

}  // namespace

TBraxMainForm::TBraxMainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TBraxMainForm");
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kShellColour);
  setPalette(pal);
  setAutoFillBackground(true);
  BuildControls();
  // The client area is never smaller than its design size; the menu bar and toolbars come on
  // top of it, so the window's own minimum follows from its layout.
  client_->setMinimumSize(kShellClientWidth, kShellClientHeight);
  resize(minimumSizeHint());
}

void TBraxMainForm::BuildControls() {
  client_ = new QWidget(this);
  client_->setObjectName("ClientArea");
  setCentralWidget(client_);

  background_ = new QLabel(client_);
  background_->setObjectName("bg_mainframe");
  background_->setScaledContents(true);
  background_->hide();

  datadirstatusbar_ = MakeSettingsBar("datadirstatusbar", "databibliotek",
                                      "databiblioteket för programmets filer och inställningar", client_);
  PrEnvStatusbar_ = MakeSettingsBar("PrEnvStatusbar", "rapportinställningar",
                                    "aktuell inställning för rapporter till skrivaren mm", client_);
  etikettenvstatusbar_ =
      MakeSettingsBar("etikettenvstatusbar", "etikettinställningar",
                      "aktuella inställningar för utskrifter av etiketter och giroblanketter", client_);
  datastatusbar_ = MakeSettingsBar("datastatusbar", "aktuella data", "aktuell datainformation", client_);
  emainstatusbar1_ = new PanelBar("emainstatusbar1", 3, client_);

  buttonDataLib_ = MakeButton("buttonDataLib", "datadir",
                              "byt till mappen där datafilerna ska skapas eller finns", client_);
  buttonKonfig_ = MakeButton("buttonKonfig", "konfig", "konfigurera skrivare, fonter, etiketter mm", client_);
  editbutton_ = MakeButton("editbutton", "editor", "starta en enkel texteditor för export och importfiler",
                           client_);
  infobutton_ = MakeButton("infobutton", "info", "lite information ", client_);
  quitbutton_ = MakeButton("quitbutton", "avsluta", "avluta programmet", client_);

  EditFormScale_ = new QSpinBox(client_);
  EditFormScale_->setObjectName("EditFormScale");
  EditFormScale_->setRange(100, kMaxWindowScale);
  EditFormScale_->setSingleStep(10);
  EditFormScale_->setValue(100);
  EditFormScale_->setToolTip(QString::fromUtf8(
      "skala för fönsterstorlek 100 är normalskalan, omstart krävs för ändringen att utföras"));

  Label1_ = new LinkLabel("Label1", "olbrax.example.org", kWebAddress,
                          QString::fromUtf8("gå till webbplatsen..."), client_);
  Label2_ = new LinkLabel("Label2", "support@olbrax.example.org", kMailAddress,
                          QString::fromUtf8("skicka email till..."), client_);
  Label5_ = new LinkLabel("Label5", "manual och info", kManualAddress,
                          QString::fromUtf8("gå till manual eller mer information"), client_);

  connect(buttonDataLib_, &QPushButton::clicked, this, &TBraxMainForm::dataDirectoryClicked);
  connect(buttonKonfig_, &QPushButton::clicked, this, &TBraxMainForm::configClicked);
  connect(editbutton_, &QPushButton::clicked, this, &TBraxMainForm::EditorClicked);
  connect(infobutton_, &QPushButton::clicked, this, [this] {
    InfoClickedShell();
    emit infoClicked();
  });
  connect(quitbutton_, &QPushButton::clicked, this, &QWidget::close);

  emainformmenu_ = new QMenu("xregister", this);
  emainformmenu_->setObjectName("xregister");
  emainformmenu_->setToolTipsVisible(true);
  emainformmenu_->menuAction()->setToolTip(QString::fromUtf8("register för etikett- och giro- utskrifter"));
  auto add = [this](const char* name, const char* caption, const char* hint, void (TBraxMainForm::*sig)()) {
    QAction* a = emainformmenu_->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    if (*hint) a->setToolTip(QString::fromUtf8(hint));
    connect(a, &QAction::triggered, this, [this, sig] {
      emit(this->*sig)();
      xMyMsgUpdate();
    });
  };
  add("plusgiro", "plusgiro", "blankett 2021.02|blankett 2021.2", &TBraxMainForm::plusgiroChosen);
  add("postgiro", "postgiro", "blankett 2021.01", &TBraxMainForm::postgiroChosen);
  add("bankgiro", "bankgiro", "", &TBraxMainForm::bankgiroChosen);
  emainformmenu_->addSeparator();
  add("etikettregister", "etikettregister", "adress- och bildregister", &TBraxMainForm::labelRegisterChosen);
  menuBar()->addMenu(emainformmenu_);
  // The payment-form items are drawn as their pictures.
  picture_style_ = new PictureMenuStyle(0);
  picture_style_->setParent(emainformmenu_);
  emainformmenu_->setStyle(picture_style_);
  DrawPaymentFormItems();

  PlaceControls();
}

QAction* TBraxMainForm::shellMenuAction() const { return emainformmenu_->menuAction(); }

int TBraxMainForm::scaleSpinnerValue() const { return EditFormScale_->value(); }

void TBraxMainForm::DrawPaymentFormItems() {
  const QSize size = PaymentPictureSize(emainformmenu_->font());
  picture_style_->setItemHeight(size.height());
  for (const auto& form : kPaymentForms)
    if (QAction* a = emainformmenu_->findChild<QAction*>(form.name)) a->setIcon(QIcon(PaymentFormPicture(size, form.kind)));
}

void TBraxMainForm::ApplyWindowScale(int screen_width, int screen_height, int stored_scale) {
  platform::WindowScale = ComputeWindowScale(screen_width, screen_height, stored_scale);
  const double s = platform::WindowScale / 100.0;
  // Every control follows the scale through the font; popup menus are windows of their own and
  // get it separately. The scale always starts from the application's font, never compounds.
  QFont f = QApplication::font();
  if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * s);
  else if (f.pixelSize() > 0) f.setPixelSize(static_cast<int>(std::lround(f.pixelSize() * s)));
  setFont(f);
  for (QMenu* m : findChildren<QMenu*>()) m->setFont(f);
  for (QToolBar* t : findChildren<QToolBar*>()) t->setIconSize(QSize(S(24), S(24)));
  DrawPaymentFormItems();
  EditFormScale_->setValue(platform::WindowScale);

  // The scale is applied once: the window gets at least the scaled design size (and the room its
  // row of buttons needs). A size stored at an earlier shutdown is already a scaled size and is
  // kept as it is, so the window does not grow from one start to the next.
  client_->setMinimumSize(std::max(S(kShellClientWidth), RowWidth()), S(kShellClientHeight));
  if (layout()) layout()->activate();
  resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));
  PlaceControls();
}

int TBraxMainForm::ControlWidth(QWidget* w) const {
  if (w == EditFormScale_) return EditFormScale_->sizeHint().width();
  // A button as wide as its text needs, and never narrower than its design width.
  const auto* b = static_cast<QPushButton*>(w);
  return std::max(S(64), b->fontMetrics().horizontalAdvance(b->text()) + S(24));
}

int TBraxMainForm::RowWidth() const {
  const int d = S(16);
  int x = d;
  for (QWidget* w : {static_cast<QWidget*>(buttonDataLib_), static_cast<QWidget*>(buttonKonfig_),
                     static_cast<QWidget*>(editbutton_), static_cast<QWidget*>(infobutton_),
                     static_cast<QWidget*>(EditFormScale_)})
    x += ControlWidth(w) + d;
  return std::max(x, S(450)) + ControlWidth(quitbutton_) + d;
}

void TBraxMainForm::PlaceControls() {
  const int cw = client_->width() > 0 ? client_->width() : S(kShellClientWidth);
  const int ch = client_->height() > 0 ? client_->height() : S(kShellClientHeight);
  const int right_shift = cw - S(kShellClientWidth);  // for controls anchored to the right

  background_->setGeometry(0, 0, cw, ch);

  auto place_label = [&](QLabel* l, int x, int y) {
    l->adjustSize();
    l->move(x, y);
  };
  place_label(Label1_, S(368) + right_shift, S(32));
  place_label(Label2_, S(364) + right_shift, S(48));
  Label5_->setText("manual: olbrax");
  place_label(Label5_, S(20) + right_shift, S(32));

  int bar_y[] = {64, 96, 128, 160};
  PanelBar* bars[] = {datadirstatusbar_, PrEnvStatusbar_, etikettenvstatusbar_, datastatusbar_};
  for (int i = 0; i < 4; ++i) {
    bars[i]->setGeometry(0, S(bar_y[i]), cw, bars[i]->height());
    bars[i]->setPanelWidth(0, S(kFirstPanelDesignWidth));
  }
  const int history_height = emainstatusbar1_->height();
  emainstatusbar1_->setGeometry(0, ch - history_height, cw, history_height);
  // The newest message takes two shares of the width, each older one one share.
  const int n = emainstatusbar1_->panelCount();
  for (int i = 0; i < n; ++i) emainstatusbar1_->setPanelWidth(i, (i == 0 ? 2 : 1) * cw / (n + 1));

  // The row of buttons: each control at the previous one's right edge + D, from their real
  // widths; "avsluta" keeps its place at the right but never comes over the scale field.
  const int d = S(16);
  const int button_height = std::max(buttonDataLib_->sizeHint().height(), EditFormScale_->sizeHint().height());
  const int top = static_cast<int>(std::lround(ch - 1.5 * history_height - button_height));
  int x = d;
  for (QWidget* w : std::initializer_list<QWidget*>{buttonDataLib_, buttonKonfig_, editbutton_, infobutton_,
                                                     EditFormScale_}) {
    const int width = ControlWidth(w);
    w->setGeometry(x, top, width, button_height);
    x += width + d;
  }
  quitbutton_->setGeometry(std::max(S(450) + right_shift, x), top, ControlWidth(quitbutton_), button_height);
}

void TBraxMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceControls();
}

void TBraxMainForm::UpdateSettingsStatus(const QString& data_directory, const QString& print_environment,
                                         const QString& label_environment) {
  datadirstatusbar_->setPanelText(1, data_directory);
  PrEnvStatusbar_->setPanelText(1, print_environment);
  etikettenvstatusbar_->setPanelText(1, label_environment);
}

void TBraxMainForm::xMyMsgUpdate() {
  QString line = platform::ToQ(MsgLine);
  if (line != last_message_) {
    last_message_ = line;
    doStatusBar(line);
  }
  // The shell's own menu always stays last in the menu bar.
  menuBar()->removeAction(emainformmenu_->menuAction());
  menuBar()->addMenu(emainformmenu_);
}

void TBraxMainForm::doStatusBar(const QString& text) { emainstatusbar1_->pushMessage(text.left(160)); }

void TBraxMainForm::BraxFormCreate(int left, int top, int width, int height, int screen_width,
                                   int screen_height, int stored_scale) {
  // The stored position is the frame's (the shutdown stores x() and y()), so it is
  // restored with move(), which places the frame; the stored size is the client area's. Without
  // a stored position the window manager places the window.
  resize(width, height);
  if (left != 0 || top != 0) move(KeptOnScreen(QPoint(left, top)));
  ApplyWindowScale(screen_width, screen_height, stored_scale);
  background_index_ = 1 + static_cast<int>(QRandomGenerator::global()->bounded(kBackgroundCount));
  background_->setObjectName(QString("bg_mainframe%1").arg(background_index_));
  background_->setPixmap(MapPicture(QSize(S(kShellClientWidth), S(kShellClientHeight)), background_index_));
  background_->show();
  background_->lower();
  setCursor(ProgramCursor());
  PushOwner(this);
}

void TBraxMainForm::BraxFormDestroy() { PopOwner(); }

QPoint TBraxMainForm::KeptOnScreen(QPoint frame_top_left) const {
  // A position stored by an earlier run may lie off the screens now (another screen, or the
  // drift of older versions): the title bar must stay where the user can reach it.
  QScreen* screen = QGuiApplication::screenAt(frame_top_left);
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return frame_top_left;
  const QRect area = screen->availableGeometry();
  const int x = std::clamp(frame_top_left.x(), area.left(), std::max(area.left(), area.right() - S(100)));
  const int y = std::clamp(frame_top_left.y(), area.top(), std::max(area.top(), area.bottom() - S(50)));
  return {x, y};
}

void TBraxMainForm::EditorClicked() {
  QString failure = StartEditor(StartEditorProgram, EditorFile(), GraphicalEditors());
  if (!failure.isEmpty()) {
    BeepSignal();
    doStatusBar(failure);
  }
  xMyMsgUpdate();
}

void TBraxMainForm::InfoClickedShell() {
  if (QRandomGenerator::global()->bounded(2) == 0) {
    TAboutBox box(this);
    box.exec();
  } else {
    TAboutBoxX box(this);
    box.exec();
  }
}

}  // namespace olbrax
