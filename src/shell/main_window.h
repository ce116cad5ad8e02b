// The competition main window: the shell window with the competition menu bar and toolbar, the
// enabling of menu items from the state of the data, and the program's start-up and shutdown.
#pragma once

#include <QStringList>

#include "shell/shell_window.h"
#include "shell/main_menus.h"

namespace olbrax {

class TMainForm : public TBraxMainForm {
  Q_OBJECT
 public:
  // Creates the window and brings the data up (`arguments`: the program's, for "/NET").
  explicit TMainForm(const QStringList& arguments = {});
  ~TMainForm() override;

  // Menus, toolbar and data status bar from the state of the data, then Refresh.
  void UpdateMenuState(int n = 0);
  void Refresh();

  const MainMenus& menus() const { return menus_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate(const QStringList& arguments);
  void FormDestroy();
  void ProgramInit();
  void ProgramExit();
  void ShowSettings();
  void ConnectCommands();
  void On(const char* action, void (TMainForm::*handler)());
  void DataDirectoryCommand();
  void ConfigCommand();
  void BackupCommand();
  void RebuildCommand();
  void InfoCommand();
  void StatisticsCommand();
  void StartGuideCommand();

  MainMenus menus_;
  bool destroyed_ = false;
};

// "OlbraxW32 240530 10.00" and this build's tag.
QString MainWindowCaption();

}  // namespace olbrax
