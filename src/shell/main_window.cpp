#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QToolBar>
#include <algorithm>
#include <functional>

#include "base/messages.h"
#include "base/version.h"
#include "competition/archive.h"
#include "competition/data_state.h"
#include "competition/lifecycle.h"
#include "competition/maintenance/backup_copy.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/registers/entrants.h"
#include "exchange/exchange_format.h"
#include "exchange/export.h"
#include "exchange/import.h"
#include "exchange/iof/iof_export.h"
#include "exchange/iof/iof_import.h"
#include "shell/file_action_dialog.h"
#include "competition/records/competition_rec.h"
#include "platform/qt/qtext.h"
#include "printing/config/configuration.h"
#include "printing/konfig/konfig_dialog.h"
#include "registers/data/giro_record.h"
#include "registers/forms/giro_register_form.h"
#include "registers/forms/label_register_form.h"
#include "shell/about_boxes.h"
#include "shell/competition_dialogs.h"
#include "shell/data_dir_dialog.h"
#include "shell/panel_bar.h"
#include "shell/reglist/control_register.h"
#include "shell/reglist/course_register.h"
#include "shell/reglist/district_register.h"
#include "shell/report_commands.h"

namespace olbrax {

using platform::FromQ;
using platform::ToQ;

namespace {

constexpr int kDefaultWidth = 545, kDefaultHeight = 312;
// The start guide opened by "hjälp" → "kom igång".
constexpr const char* kStartGuide = "https://olbrax.example.org/kom-igang";

}  // namespace

QString MainWindowCaption() { return QString(kProgramVersion) + kPortTag; }

TMainForm::TMainForm(const QStringList& arguments) {
  setObjectName("TMainForm");
  FormCreate(arguments);
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  FormDestroy();
  event->accept();
}

void TMainForm::ProgramInit() {
  MsgLine = "olbrax, olbrax.example.org, byggd " + Text(__DATE__) + " " + Text(__TIME__);
  ConfigLoad(AppSlot, true, "OLBRAX");
  if (GeneralSettings.window_left == 0) GeneralSettings.window_left = x();
  if (GeneralSettings.window_top == 0) GeneralSettings.window_top = y();
  if (GeneralSettings.window_width == 0) GeneralSettings.window_width = kDefaultWidth;
  if (GeneralSettings.window_height == 0) GeneralSettings.window_height = kDefaultHeight;
  GeneralSettings.CurrentCompetition = GeneralSettings.remembered_competition[AppSlot];
  Text dir = GeneralSettings.remembered_directory[AppSlot].get();
  if (!dir.empty()) GeneralSettings.DataDirectory.set(dir);
  xMyMsgUpdate();
  ShowSettings();
}

void TMainForm::ShowSettings() {
  UpdateSettingsStatus(ToQ(GeneralSettings.DataDirectory.get()),
                       ToQ(GeneralSettings.print_names[GeneralSettings.print_env - 1].get()),
                       ToQ(GeneralSettings.label_names[GeneralSettings.label_env - 1].get()));
}

void TMainForm::FormCreate(const QStringList& arguments) {
  setWindowTitle(MainWindowCaption());
  menus_ = BuildMainMenus(this);
  ProgramInit();
  std::vector<Text> args;
  for (const QString& a : arguments) args.push_back(FromQ(a));
  InitCompetitionData(args);
  // The competition data took the data directory of its own configuration entry: the settings
  // bars show that one, not the one they were drawn with.
  ShowSettings();
  if (!EngineStarted) ShowText(201, MsgText(IsamError));
  OpenArchive();
  ReopenConfiguredCompetition();
  const char* captions[4][2] = {
      {"tbDistrikt", "distr"}, {"tbKlubbar", "klubbar"}, {"tbDeltagare", "i vanliga klasser"}, {"tbKopiera", "kopi"}};
  for (const auto& c : captions)
    if (QAction* a = menus_.action(c[0])) a->setText(c[1]);
  ConnectCommands();
  UpdateMenuState(0);
  QSize screen = QGuiApplication::primaryScreen()->size();
  BraxFormCreate(GeneralSettings.window_left, GeneralSettings.window_top, GeneralSettings.window_width,
                 GeneralSettings.window_height, screen.width(), screen.height(), GeneralSettings.window_scale);
}

void TMainForm::ProgramExit() {
  GeneralSettings.remembered_directory[AppSlot].set(GeneralSettings.DataDirectory.get());
  GeneralSettings.remembered_competition[AppSlot] = GeneralSettings.CurrentCompetition;
  GeneralSettings.window_scale = static_cast<std::int16_t>(scaleSpinnerValue());
  GeneralSettings.window_left = x();
  GeneralSettings.window_top = y();
  GeneralSettings.window_width = width();
  GeneralSettings.window_height = height();
  ConfigSave();
}

void TMainForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // The competition record and its statistics are written before the configuration.
  CloseCompetition();
  CloseDefinitions();
  CloseArchive();
  ExitCompetitionData();
  ProgramExit();
  BraxFormDestroy();
}

void TMainForm::Refresh() { xMyMsgUpdate(); }

void TMainForm::UpdateMenuState(int) {
  auto items = ShowArchiveMenus();
  for (int i = 0; i < kMaxCompetitions; ++i) {
    const ArchiveMenuItem& item = items[static_cast<std::size_t>(i)];
    for (QAction* a : {menus_.select_entries[i], menus_.delete_entries[i]}) {
      a->setText(ToQ(item.caption));
      a->setEnabled(item.enabled);
      a->setChecked(item.checked);
    }
  }
  DataMarks d = ComputeDataMarks();
  MenuMarks m;
  m.A = d.A;
  m.C = d.C;
  m.R = d.R;
  m.P = d.P;
  m.E = d.E;
  m.B = d.B;
  m.K = d.K;
  ApplyMenuMarks(menus_, m);
  if (QAction* x = shellMenuAction()) x->setEnabled(!d.A);
  dataStatusBar()->setPanelText(1, ToQ(DataStatusText()));
  Refresh();
}

void TMainForm::On(const char* action, void (TMainForm::*handler)()) {
  if (QAction* a = menus_.action(action)) connect(a, &QAction::triggered, this, handler);
}

void TMainForm::ConnectCommands() {
  for (int i = 0; i < kMaxCompetitions; ++i) {
    connect(menus_.select_entries[i], &QAction::triggered, this, [this, i] {
      SelectFromMenu(i + 1);
      UpdateMenuState(i + 1);
    });
    connect(menus_.delete_entries[i], &QAction::triggered, this, [this, i] {
      DeleteFromMenu(i + 1);
      UpdateMenuState(i + 1);
    });
  }
  if (QAction* a = menus_.action("arkiv_new"))
    connect(a, &QAction::triggered, this, [this] {
      InputInfo(this, true);
      UpdateMenuState(CurrentCompetition);
    });
  if (QAction* a = menus_.action("arkiv_change"))
    connect(a, &QAction::triggered, this, [this] {
      InputInfo(this, false);
      UpdateMenuState(CurrentCompetition);
    });
  if (QAction* a = menus_.action("arkiv_skapa_nya"))
    connect(a, &QAction::triggered, this, [this] {
      CreateArchiveFiles();
      UpdateMenuState(0);
    });
  if (QAction* a = menus_.action("arkiv_importera"))
    connect(a, &QAction::triggered, this, [this] {
      QString folder = ToQ(GeneralSettings.ExchangeFolder.get());
      RunFileAction(this, "Import", ToQ(kImportFilter), kImportOrder, kImportSingleUse, folder,
                    [](platform::Window owner, std::string_view name, std::string_view dir, int count, int index) {
                      return ImportFile(owner, name, dir, count, index);
                    });
      // A folder the code page cannot hold is not remembered under a changed name.
      if (std::optional<std::string> kept = platform::WinPathFromQ(folder)) GeneralSettings.ExchangeFolder.set(*kept);
      UpdateMenuState(CurrentCompetition);
    });
  // "exportera": the entrants, the entrants of the open classes, and the clubs (all in the
  // register, or only those with entrants in this competition).
  const std::pair<const char*, std::function<void()>> exports[] = {
      {"arkiv_exp_medlemmar", [this] { ExportEntrants(this, false); }},
      {"arkiv_exp_oppna", [this] { ExportEntrants(this, true); }},
      {"arkiv_exp_klubbar_alla", [this] { ExportClubs(this, false); }},
      {"arkiv_exp_klubbar_tavlande", [this] { ExportClubs(this, true); }},
  };
  for (const auto& [name, command] : exports)
    if (QAction* a = menus_.action(name))
      connect(a, &QAction::triggered, this, [this, command = command] {
        command();
        Refresh();
      });
  if (QAction* a = menus_.action("arkiv_importera_iof"))
    connect(a, &QAction::triggered, this, [this] {
      std::string path = GeneralSettings.ExchangeFolder.get();
      if (platform::CurrentUi().ChooseFile(this, false, "Välj filnamn", "IOF XML 3.0|*.xml", "xml", path))
        iof::ImportIofFiles(this, {path});
      UpdateMenuState(CurrentCompetition);
    });
  for (const char* kind : {"startlist", "results", "entries", "courses", "classes", "clubs"})
    if (QAction* a = menus_.action((std::string("arkiv_exp_iof_") + kind).c_str()))
      connect(a, &QAction::triggered, this, [this, kind] {
        iof::IofExport what = *iof::IofExportKind(kind);
        std::string path = GeneralSettings.ExchangeFolder.get() + "/" + std::string(iof::IofExportRoot(what)) + ".xml";
        if (!platform::CurrentUi().ChooseFile(this, true, "Spara fil som...", "IOF XML 3.0|*.xml", "xml", path)) return;
        int count = 0;
        if (iof::ExportIof(what, path, count))
          ShowText(1, Text(iof::IofExportRoot(what)) + ": " + std::to_string(count) + " poster till " + path);
        else
          ShowMsg(201);
        UpdateMenuState(CurrentCompetition);
      });
  if (QAction* a = menus_.action("arkiv_radera_deltagare"))
    connect(a, &QAction::triggered, this, [this] {
      EraseAllEntrants(this);
      UpdateMenuState(CurrentCompetition);
    });
  // The register dialogs: districts while a competition is open, controls and courses with the
  // definition set open.
  const std::pair<const char*, void (*)(platform::Window)> registers[] = {
      {"register_distrikt", DistrictRegister},
      {"tbDistrikt", DistrictRegister},
      {"register_kontroller", ControlRegister},
      {"register_banor", CourseRegister},
  };
  for (const auto& [name, command] : registers)
    if (QAction* a = menus_.action(name))
      connect(a, &QAction::triggered, this, [this, command = command] {
        command(static_cast<QWidget*>(this));
        Refresh();
      });
  // The reports of "rapporter". The message line may say why nothing was printed ("Filerna inte
  // öppna", a stage that does not exist), so the window is refreshed afterwards.
  for (const ReportCommand& report : ReportCommands())
    if (QAction* a = menus_.action(report.action))
      connect(a, &QAction::triggered, this, [this, &report] {
        RunReportCommand(static_cast<QWidget*>(this), report);
        Refresh();
      });
  if (QAction* a = menus_.action("visningar_banor"))
    connect(a, &QAction::triggered, this, [this] {
      CourseImageCommand(this);
      Refresh();
    });
  On("arkiv_kopiera1", &TMainForm::BackupCommand);
  On("tbKopiera", &TMainForm::BackupCommand);
  On("arkiv_indexbygg1", &TMainForm::RebuildCommand);
  // "arkiv" → "avsluta" ends the program as the shell's "avsluta" button does.
  if (QAction* a = menus_.action("arkiv_avsluta")) connect(a, &QAction::triggered, this, &QWidget::close);
  On("hjalp_statistik", &TMainForm::StatisticsCommand);
  On("hjalp_kom_igang", &TMainForm::StartGuideCommand);
  // Items that only refresh the window.
  for (const char* name : {"register_klubbar", "register_rutbeskrivningar", "register_klasser",
                           "register_deltagare_vanliga", "register_deltagare_oppna", "tbDeltagare"})
    On(name, &TMainForm::Refresh);
  // The shell's "xregister" menu: the payment-form registers (plusgiro and postgiro forms share
  // one register; the item chosen decides the form window) and the label register. The shell
  // shows what they leave on the message line.
  connect(this, &TBraxMainForm::plusgiroChosen, this, [this] { OpenGiroRegister(kPlusgiro, static_cast<QWidget*>(this)); });
  connect(this, &TBraxMainForm::postgiroChosen, this, [this] { OpenGiroRegister(kPostgiro, static_cast<QWidget*>(this)); });
  connect(this, &TBraxMainForm::bankgiroChosen, this, [this] { OpenGiroRegister(kBankgiro, static_cast<QWidget*>(this)); });
  connect(this, &TBraxMainForm::labelRegisterChosen, this, [this] { OpenLabelRegister(static_cast<QWidget*>(this)); });
  connect(this, &TBraxMainForm::dataDirectoryClicked, this, &TMainForm::DataDirectoryCommand);
  connect(this, &TBraxMainForm::infoClicked, this, &TMainForm::InfoCommand);
  connect(this, &TBraxMainForm::configClicked, this, &TMainForm::ConfigCommand);
}

void TMainForm::DataDirectoryCommand() {
  CloseCompetition();
  CloseDefinitions();
  CloseArchive();
  Refresh();
  QString dir = ToQ(GeneralSettings.DataDirectory.get());
  ChooseDirectory(this, QString::fromUtf8("Välj bibliotek"), dir);
  if (!dir.isEmpty()) {
    if (dir.size() > 1 && dir.endsWith('/')) dir.chop(1);
    // Refused with a box naming it when it has characters the code page lacks: the data
    // directory stays the one it was.
    if (std::optional<std::string> chosen = platform::WinPathFromQ(this, dir)) GeneralSettings.DataDirectory.set(*chosen);
  }
  ShowSettings();
  OpenArchive();
  UpdateMenuState(0);
}

void TMainForm::ConfigCommand() {
  {
    TEKonfigDlg dlg(this);
    dlg.exec();
  }
  ShowSettings();
  xMyMsgUpdate();
}

void TMainForm::BackupCommand() {
  if (!BackupMemoryAvailable()) return Refresh();
  QString dir = ToQ(LastBackupTarget);
  ChooseDirectory(this, QString::fromUtf8("kopiera till..."), dir);
  if (!dir.isEmpty()) BackupCopy(this, FromQ(dir));
  Refresh();
}

void TMainForm::RebuildCommand() {
  IndexRebuild(this);
  // A rebuild whose switch of files could not be finished leaves the data closed.
  UpdateMenuState(CurrentCompetition);
}

void TMainForm::InfoCommand() {
  MsgLine = "1=" + IntStr(kInfoRecLen, 3) + " 2=" + IntStr(kDistrRecLen, 3) + " 3=" + IntStr(kClubRecLen, 3) +
            " 4=" + IntStr(kKlassRecLen, 3);
  Refresh();
}

void TMainForm::StatisticsCommand() {
  TOlStatistikDlg dlg(this);
  dlg.exec();
  Refresh();
}

void TMainForm::StartGuideCommand() { doTheClick(kStartGuide); }

}  // namespace olbrax
