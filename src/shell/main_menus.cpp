#include "shell/main_menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>

#include "shell/pictures.h"

namespace olbrax {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class Builder {
 public:
  explicit Builder(MainMenus& m) : m_(m) {}

  QMenu* menu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(U(caption));
    name_menu(menu, name);
    return menu;
  }
  QMenu* sub(QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent->addMenu(U(caption));
    name_menu(menu, name);
    return menu;
  }
  QAction* item(QMenu* parent, const char* name, const char* caption) {
    QAction* a = parent->addAction(U(caption));
    a->setObjectName(name);
    m_.all.append(a);
    return a;
  }

 private:
  void name_menu(QMenu* menu, const char* name) {
    menu->setObjectName(QString(name) + "_menu");
    menu->menuAction()->setObjectName(name);
    m_.all.append(menu->menuAction());
  }
  MainMenus& m_;
};

// A small picture for a toolbar button, drawn on a 24 x 24 grid at four times that size so that
// it stays sharp when the window scale enlarges the toolbar's icons.
QIcon ToolIcon(int kind) {
  QPixmap pm(96, 96);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(4, 4);
  switch (kind) {
    case 0:  // districts: a map
      p.drawPixmap(QRectF(0, 0, 24, 24), MapPicture(QSize(96, 96), 3), QRectF(0, 0, 96, 96));
      p.setPen(Qt::darkGray);
      p.drawRect(0, 0, 23, 23);
      break;
    case 1:  // clubs: a pennant
      p.setPen(QPen(Qt::black, 2));
      p.drawLine(5, 3, 5, 22);
      p.setBrush(QColor(40, 110, 200));
      p.drawPolygon(QPolygon({{6, 3}, {21, 8}, {6, 13}}));
      break;
    case 2:  // entrants: a runner's head and body
      p.setBrush(QColor(244, 120, 32));
      p.setPen(Qt::NoPen);
      p.drawEllipse(9, 2, 6, 6);
      p.setPen(QPen(QColor(244, 120, 32), 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(12, 9, 10, 16);
      p.drawLine(10, 16, 6, 22);
      p.drawLine(10, 16, 15, 21);
      p.drawLine(11, 11, 17, 13);
      break;
    default:  // backup: two sheets
      p.setPen(Qt::black);
      p.setBrush(Qt::white);
      p.drawRect(3, 3, 12, 15);
      p.drawRect(8, 7, 12, 15);
      break;
  }
  return QIcon(pm);
}

}  // namespace

QAction* MainMenus::action(const QString& name) const {
  for (QAction* a : all)
    if (a->objectName() == name) return a;
  return nullptr;
}

MainMenus BuildMainMenus(QMainWindow* window) {
  MainMenus m;
  Builder b(m);
  QMenuBar* bar = window->menuBar();
  bar->setObjectName("mainwmenu");

  // arkiv
  m.arkiv = b.menu(bar, "arkiv", "arkiv");
  m.arkiv_select = b.sub(m.arkiv, "arkiv_select", "välj");
  for (int i = 1; i <= 8; ++i) {
    QAction* a = b.item(m.arkiv_select, QString("arkiv_select%1").arg(i).toUtf8().constData(), "vakant");
    a->setCheckable(true);
    m.select_entries.append(a);
  }
  b.item(m.arkiv, "arkiv_new", "&ny");
  b.item(m.arkiv, "arkiv_change", "&ändra");
  m.arkiv_delete = b.sub(m.arkiv, "arkiv_delete", "&radera");
  for (int i = 1; i <= 8; ++i) {
    QAction* a = b.item(m.arkiv_delete, QString("arkiv_delete%1").arg(i).toUtf8().constData(), "vakant");
    a->setCheckable(true);
    m.delete_entries.append(a);
  }
  m.arkiv->addSeparator();
  m.importera1 = b.sub(m.arkiv, "importera1", "importera");
  b.item(m.importera1, "arkiv_importera", "&importera");
  b.item(m.importera1, "arkiv_radera_deltagare", "&radera alla deltagare");
  b.item(m.importera1, "arkiv_importera_iof", "IOF XML 3.0...");
  m.arkiv_exportera = b.sub(m.arkiv, "arkiv_exportera", "exportera");
  b.item(m.arkiv_exportera, "arkiv_exp_distrikt", "distrikt");
  m.arkiv_exp_klubbarna = b.sub(m.arkiv_exportera, "arkiv_exp_klubbarna", "klubbarna");
  b.item(m.arkiv_exp_klubbarna, "arkiv_exp_klubbar_alla", "alla i registret");
  b.item(m.arkiv_exp_klubbarna, "arkiv_exp_klubbar_tavlande", "endast tävlande");
  b.item(m.arkiv_exportera, "arkiv_exp_medlemmar", "deltagarna");
  b.item(m.arkiv_exportera, "arkiv_exp_oppna", "deltagarna i öppna klasser");
  b.item(m.arkiv_exportera, "arkiv_exp_rutbeskrivnignarna", "rutbeskrivnignarna");
  b.item(m.arkiv_exportera, "arkiv_exp_tavlingen", "tävlingen");
  b.item(m.arkiv_exportera, "arkiv_exp_klasserna", "klasserna");
  b.item(m.arkiv_exportera, "arkiv_exp_kontrollerna", "kontrollerna");
  b.item(m.arkiv_exportera, "arkiv_exp_banorna", "banorna");
  b.item(m.arkiv_exportera, "arkiv_exp_dataranking", "dataranking");
  b.item(m.arkiv_exportera, "arkiv_exp_maltider", "måltider");
  b.item(m.arkiv_exportera, "arkiv_exp_startlista_web", "startlista web");
  b.item(m.arkiv_exportera, "arkiv_exp_resultatlista_web", "resultatlista web");
  // The IOF XML 3.0 messages of the competition, each written where the save dialog says.
  QMenu* iof = b.sub(m.arkiv_exportera, "arkiv_exp_iof", "IOF XML 3.0...");
  b.item(iof, "arkiv_exp_iof_startlist", "startlista...");
  b.item(iof, "arkiv_exp_iof_results", "resultatlista...");
  b.item(iof, "arkiv_exp_iof_entries", "anmälningar...");
  b.item(iof, "arkiv_exp_iof_courses", "banor och kontroller...");
  b.item(iof, "arkiv_exp_iof_classes", "klasser...");
  b.item(iof, "arkiv_exp_iof_clubs", "klubbar...");
  QMenu* filvard = b.sub(m.arkiv, "arkiv_filvard", "filvård");
  b.item(filvard, "arkiv_kopiera1", "säkerhetskopiera");
  b.item(filvard, "arkiv_indexbygg1", "indexbygg");
  b.item(filvard, "arkiv_skapa_nya", "skapa nya");
  m.arkiv->addSeparator();
  b.item(m.arkiv, "arkiv_installningar", "inställningar");
  b.item(m.arkiv, "arkiv_avsluta", "avsluta");

  // register
  m.register1 = b.menu(bar, "register1", "register");
  b.item(m.register1, "register_distrikt", "distrikt");
  b.item(m.register1, "register_klubbar", "klubbar");
  b.item(m.register1, "register_rutbeskrivningar", "rutbeskrivningar");
  b.item(m.register1, "register_klasser", "klasser");
  QMenu* deltagare = b.sub(m.register1, "register_deltagare", "deltagare");
  b.item(deltagare, "register_deltagare_vanliga", "i vanliga klasser");
  b.item(deltagare, "register_deltagare_oppna", "i öppna klasser");
  m.register1->addSeparator();
  b.item(m.register1, "register_kontroller", "kontroller");
  b.item(m.register1, "register_banor", "banor");
  m.register1->addSeparator();
  b.item(m.register1, "register_anmalningseditor", "anmälningseditor");

  // visningar
  QMenu* visningar = b.menu(bar, "visningar", "visningar");
  QMenu* vis_def = b.sub(visningar, "visningar_definitioner", "definitioner");
  b.item(vis_def, "visningar_banor", "banor");

  // rapporter
  m.rapporter = b.menu(bar, "rapporter", "rapporter");
  m.arranger = b.sub(m.rapporter, "arranger", "arrangör");
  b.item(m.arranger, "arranger_klasslista", "klasslista");
  QMenu* lottning = b.sub(m.arranger, "arranger_lottning", "lottning");
  b.item(lottning, "lottning_klubb", "klubblottning");
  b.item(lottning, "lottning_gemensam", "gemensam start");
  b.item(lottning, "lottning_jakt", "jaktstart");
  b.item(lottning, "lottning_grupp", "grupplottning");
  b.item(lottning, "lottning_skid", "skidlottning");
  b.item(m.arranger, "arranger_klassdela", "klassdela");
  b.item(m.arranger, "arranger_elitgallra", "elitgallra");
  b.item(m.arranger, "arranger_patrullbestam", "patrullbestäm");
  QMenu* simuleringar = b.sub(m.arranger, "arranger_simuleringar", "simuleringar");
  b.item(simuleringar, "simuleringar_testtider", "testtider");
  QMenu* definitioner = b.sub(m.rapporter, "rapporter_definitioner", "definitioner");
  b.item(definitioner, "def_kontroller", "kontroller");
  b.item(definitioner, "def_banor_klass", "banor klass");
  b.item(definitioner, "def_kodbanaklass", "kodbanaklass");
  b.item(definitioner, "def_banor", "banor ");
  QMenu* rutbeskr = b.sub(definitioner, "def_rutbeskrivningar", "rutbeskrivningar");
  b.item(rutbeskr, "rutb_sammanstallning", "sammanställning");
  b.item(rutbeskr, "rutb_data_sokord", "data och sökord");
  b.item(rutbeskr, "rutb_blankett", "blankett");
  b.item(m.rapporter, "rapporter_startlistor", "startlistor");
  b.item(m.rapporter, "rapporter_startkort", "startkort/remsor");
  b.item(m.rapporter, "rapporter_resultat", "resultat");
  b.item(m.rapporter, "rapporter_tavling_i_tavling", "tävling i tävling");
  QMenu* klubbrapporter = b.sub(m.rapporter, "rapporter_klubbrapporter", "klubbrapporter");
  b.item(klubbrapporter, "klubbrapporter_anmalda", "anmälda per klubb");
  b.item(klubbrapporter, "klubbrapporter_fakturor", "fakturor");
  b.item(klubbrapporter, "klubbrapporter_resultat", "resultat per klubb");

  // målgång
  QMenu* malgang = b.menu(bar, "malgang", "målgång");
  b.item(malgang, "malgang_registrera", "registrera måltider");
  b.item(malgang, "malgang_avlasning", "avläsning");
  b.item(malgang, "malgang_resultatlista", "resultatlista");

  // hjälp
  QMenu* hjalp = b.menu(bar, "hjalp", "hjälp");
  b.item(hjalp, "hjalp_kom_igang", "kom igång");
  b.item(hjalp, "hjalp_statistik", "statistik");

  // Toolbar: districts, clubs, entrants | backup.
  m.toolbar = window->addToolBar("toolbar");
  m.toolbar->setObjectName("ToolBar1");
  m.toolbar->setMovable(false);
  m.toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  auto tool = [&](const char* name, int icon) {
    QAction* a = m.toolbar->addAction(ToolIcon(icon), QString());
    a->setObjectName(name);
    m.all.append(a);
    return a;
  };
  tool("tbDistrikt", 0);
  tool("tbKlubbar", 1);
  tool("tbDeltagare", 2);
  m.toolbar->addSeparator();
  tool("tbKopiera", 3);
  return m;
}

void ApplyMenuMarks(const MainMenus& m, const MenuMarks& k) {
  const struct {
    const char* name;
    bool mark;
  } table[] = {
      {"arkiv_change", k.A},          {"arkiv_delete", k.A},
      {"arkiv_select", k.A},          {"arkiv_new", k.A},
      {"importera1", k.A},            {"arkiv_exportera", k.A},
      {"arkiv_exp_klubbarna", k.C},   {"arkiv_exp_medlemmar", k.E},
      {"arkiv_kopiera1", k.P},        {"arkiv_indexbygg1", k.A},
      {"arkiv_exp_rutbeskrivnignarna", k.R}, {"arkiv_exp_kontrollerna", k.K},
      {"arkiv_exp_banorna", k.B},     {"register1", k.A},
      {"rapporter", k.A},             {"arranger", k.P},
      {"tbDistrikt", k.A},            {"tbKlubbar", k.A},
      {"tbKopiera", k.A},             {"tbDeltagare", k.P},
  };
  for (const auto& row : table)
    if (QAction* a = m.action(row.name)) a->setEnabled(!row.mark);
}

}  // namespace olbrax
