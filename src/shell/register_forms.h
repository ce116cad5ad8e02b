// The edit windows of the district, control and course registers: TDistrForm ("distrikt"),
// TKontrForm ("kontroll") and TBanForm. Each shows the fields of its edit (DistrictEdit,
// ControlEdit, CourseEdit), hands them back on OK and lets the edit check them; a refused OK
// shows the edit's text in the status bar and selects the field it names.
#pragma once

#include <QDialog>

#include "competition/dialogs/control_edit.h"
#include "competition/dialogs/course_edit.h"
#include "competition/dialogs/district_edit.h"

class QDialogButtonBox;
class QLineEdit;
class QSpinBox;
class QStatusBar;
class QTableWidget;

namespace olbrax {

// What the three windows share: OK and Cancel, the status bar, and OK's round trip.
class RegisterEditWindow : public QDialog {
  Q_OBJECT
 public:
  // OK pressed: the fields to the edit, then its checks; closes with OK when they pass.
  void OkClick();

  QDialogButtonBox* buttons;
  QStatusBar* StatusBar1;

 protected:
  RegisterEditWindow(QWidget* owner, const char* name, const char* caption);
  // Adds the buttons and the status bar under `content` and scales the window.
  void Finish(QLayout* content);
  virtual EditForm& form() = 0;
  // The window's fields into the edit.
  virtual void Store() = 0;
  virtual void SelectField(int field, int row) = 0;
};

class TDistrForm : public RegisterEditWindow {
  Q_OBJECT
 public:
  TDistrForm(QWidget* owner, DistrictEdit& edit);

  QSpinBox* edDnr;
  QLineEdit* edDname;
  QLineEdit* edDkort;

 protected:
  EditForm& form() override { return edit_; }
  void Store() override;
  void SelectField(int field, int row) override;

 private:
  DistrictEdit& edit_;
};

// Created once at start-up and used for every control edited in the run.
class TKontrForm : public RegisterEditWindow {
  Q_OBJECT
 public:
  // `home` owns the window between edits (the main window).
  explicit TKontrForm(QWidget* home);
  // Shows `edit` modally, owned by `owner`; true when it closed with OK.
  bool Edit(QWidget* owner, ControlEdit& edit);

  QLineEdit* edKodNr;
  QTableWidget* StringGrid1;

 protected:
  EditForm& form() override { return *edit_; }
  void Store() override;
  void SelectField(int field, int row) override;

 private:
  void SizeGrid();
  ControlEdit* edit_ = nullptr;
  QWidget* home_;
};

class TBanForm : public RegisterEditWindow {
  Q_OBJECT
 public:
  TBanForm(QWidget* owner, CourseEdit& edit);

  QLineEdit* edBana;
  QSpinBox* edLangd;
  QTableWidget* StringGrid1;

 protected:
  EditForm& form() override { return edit_; }
  void Store() override;
  void SelectField(int field, int row) override;

 private:
  CourseEdit& edit_;
};

// Makes the edit windows the ones the registers show (those of the label and payment-form
// registers too), and creates the control window, owned by `main` (the program's main window),
// for the whole run.
void InstallRegisterWindows(QWidget* main);
// Takes them away again (the registers then cancel every edit).
void RemoveRegisterWindows();
// The control window created by InstallRegisterWindows (null before).
TKontrForm* ControlWindow();

}  // namespace olbrax
