// The shell window: light-blue, with four settings status bars, the message-history bar, the
// buttons "datadir", "konfig", "editor", "info", "avsluta", the window-scale field, three link
// labels, a background picture and its own menu "xregister". The competition main window is
// built on it.
#pragma once

#include <QMainWindow>
#include <QString>

class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QAction;

namespace olbrax {

class PanelBar;
class PictureMenuStyle;

class TBraxMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TBraxMainForm(QWidget* parent = nullptr);

  // Computes the scale from the screen (or takes the stored one), scales the fonts of every
  // control, gives the window at least its scaled design size and places the controls.
  void ApplyWindowScale(int screen_width, int screen_height, int stored_scale);
  // The data directory and the names of the current print and label environments.
  void UpdateSettingsStatus(const QString& data_directory, const QString& print_environment,
                            const QString& label_environment);
  // Shows a changed message line in the history bar.
  void xMyMsgUpdate();
  // Puts `text` (at most 160 characters) first in the message-history bar.
  void doStatusBar(const QString& text);

  // The shell's own steps at creation and destruction: placement, scale, background, cursor,
  // message-box owner. `left`, `top` are the frame's position (as x() and y() give it, 0 and 0
  // for none), `width`, `height` the client area's size.
  void BraxFormCreate(int left, int top, int width, int height, int screen_width, int screen_height,
                      int stored_scale);
  void BraxFormDestroy();

  int scaleSpinnerValue() const;
  PanelBar* dataStatusBar() const { return datastatusbar_; }
  PanelBar* messageBar() const { return emainstatusbar1_; }
  QMenu* shellMenu() const { return emainformmenu_; }
  QAction* shellMenuAction() const;
  int backgroundIndex() const { return background_index_; }

 signals:
  void dataDirectoryClicked();
  void configClicked();
  void infoClicked();
  void plusgiroChosen();
  void postgiroChosen();
  void bankgiroChosen();
  void labelRegisterChosen();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void PlaceControls();
  void DrawPaymentFormItems();
  int ControlWidth(QWidget* w) const;
  // The width the bottom row of controls needs.
  int RowWidth() const;
  QPoint KeptOnScreen(QPoint frame_top_left) const;
  void EditorClicked();
  void InfoClickedShell();

  QWidget* client_;
  QLabel* background_;
  PanelBar* datadirstatusbar_;
  PanelBar* PrEnvStatusbar_;
  PanelBar* etikettenvstatusbar_;
  PanelBar* datastatusbar_;
  PanelBar* emainstatusbar1_;
  QPushButton* buttonDataLib_;
  QPushButton* buttonKonfig_;
  QPushButton* editbutton_;
  QPushButton* infobutton_;
  QPushButton* quitbutton_;
  QSpinBox* EditFormScale_;
  QLabel* Label1_;
  QLabel* Label2_;
  QLabel* Label5_;
  QMenu* emainformmenu_;
  PictureMenuStyle* picture_style_;
  QString last_message_;
  int background_index_ = 0;
};

}  // namespace olbrax
