#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest/QTest>

#include "base/messages.h"
#include "shell/about_boxes.h"
#include "shell/shell_window.h"
#include "shell/editor_launcher.h"
#include "shell/panel_bar.h"
#include "shell/window_scale_calc.h"
#include "support/fixtures.h"

namespace olbrax {
namespace {

TEST(WindowScale, FromTheScreenUnlessAScaleIsStored) {
  EXPECT_EQ(ComputeWindowScale(1920, 1080, 0), 100);
  EXPECT_EQ(ComputeWindowScale(3840, 2160, 0), 200);
  EXPECT_EQ(ComputeWindowScale(1920, 1080, 150), 150);
  EXPECT_EQ(ComputeWindowScale(3840, 2160, 150), 150);
  EXPECT_EQ(ComputeWindowScale(1920, 1080, 90), 100);   // below 100: ignored
  EXPECT_EQ(ComputeWindowScale(3840, 2160, 310), 200);  // above the spinner's maximum
  EXPECT_EQ(ComputeWindowScale(800, 600, 0), 100);      // never below 100
  EXPECT_EQ(ComputeWindowScale(2560, 1440, 0), 133);    // 4 / 3
}

TEST(MessageHistory, ShowsTheNewestThreeNewestFirst) {
  PanelBar bar("emainstatusbar1", 3, nullptr);
  bar.resize(545, 20);
  for (const char* m : {"ett", "två", "tre", "fyra"}) bar.pushMessage(QString::fromUtf8(m));
  EXPECT_EQ(bar.panelText(0), "fyra");
  EXPECT_EQ(bar.panelText(1), "tre");
  EXPECT_EQ(bar.panelText(2), QString::fromUtf8("två"));
  EXPECT_EQ(bar.panelWidth(0), 2 * (545 / 4));
  EXPECT_EQ(bar.panelWidth(1), 545 / 4);
  EXPECT_EQ(bar.toolTip(), "fyra");
  bar.pushMessage("");  // an empty text changes nothing
  EXPECT_EQ(bar.panelText(0), "fyra");
  // A message longer than its panel ends in "…" there; the whole text is kept.
  const QString longer = QString::fromUtf8("olbrax, olbrax.example.org, byggd Jan 24 2027 12:00:00");
  bar.show();
  bar.pushMessage(longer);
  bar.pushMessage("fem");
  auto* shown = bar.findChild<QLabel*>("emainstatusbar1_panel1");
  EXPECT_EQ(bar.panelText(1), longer);
  EXPECT_TRUE(shown->text().endsWith(QString::fromUtf8("…")));
  EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->text()), shown->contentsRect().width());
}

TEST(EditorButton, OpensItsFileWithTheDesktopThenWithAGraphicalEditor) {
  QStringList tried;
  auto start = [&](const QString& p, const QStringList& args) {
    tried << (args.isEmpty() ? p : p + " " + args.join(' '));
    return p == "gedit" ? 33 : 2;
  };
  EXPECT_EQ(StartEditor(start, "/t/anteckningar.txt", {"kate", "gedit", "xed"}), QString());
  EXPECT_EQ(tried, (QStringList{"editbrax", "xdg-open /t/anteckningar.txt", "kate /t/anteckningar.txt",
                                "gedit /t/anteckningar.txt"}));
  // The desktop's opener starts: nothing else is tried, and no message.
  tried.clear();
  auto opener = [&](const QString& p, const QStringList&) {
    tried << p;
    return p == "xdg-open" ? 42 : 2;
  };
  EXPECT_EQ(StartEditor(opener, "/t/a.txt", {"gedit"}), QString());
  EXPECT_EQ(tried, (QStringList{"editbrax", "xdg-open"}));
  // Without a file the opener has nothing to open and is skipped.
  tried.clear();
  EXPECT_EQ(StartEditor(start, QString(), {"gedit"}), QString());
  EXPECT_EQ(tried, (QStringList{"editbrax", "gedit"}));
}

TEST(EditorButton, TerminalEditorsAreNotStarted) {
  qputenv("VISUAL", "vim");
  qputenv("EDITOR", "nano");
  const QStringList editors = GraphicalEditors();
  EXPECT_FALSE(editors.contains("vim"));
  EXPECT_FALSE(editors.contains("nano"));
  qunsetenv("VISUAL");
  qunsetenv("EDITOR");
  // The desktop's handler for plain text counts only when it opens a window of its own.
  test::TempDir apps;
  test::WriteFileBytes(apps / "vim.desktop", "[Desktop Entry]\nName=Vim\nExec=vim %F\nTerminal=true\n");
  test::WriteFileBytes(apps / "org.gnome.gedit.desktop", "[Desktop Entry]\nName=gedit\nExec=gedit %U\nTerminal=false\n");
  test::WriteFileBytes(apps / "mousepad.desktop", "[Desktop Entry]\nExec=mousepad %U\n");
  const QStringList dirs{QString::fromStdString(apps.str())};
  EXPECT_FALSE(IsGraphicalHandler("vim.desktop", dirs));
  EXPECT_TRUE(IsGraphicalHandler("org.gnome.gedit.desktop", dirs));
  EXPECT_TRUE(IsGraphicalHandler("mousepad.desktop", dirs));
  EXPECT_FALSE(IsGraphicalHandler("missing.desktop", dirs));
  EXPECT_FALSE(IsGraphicalHandler("", dirs));
}

TEST(EditorButton, ExplainsWhyNoEditorStarted) {
  auto none = [](const QString&, const QStringList&) { return 2; };
  EXPECT_EQ(StartEditor(none, "/t/a.txt", {"gedit"}), "winexecfel: The specified file was not found.\"notepad\"");
  auto broken = [](const QString& p, const QStringList&) { return p == "editbrax" ? 2 : 11; };
  EXPECT_EQ(StartEditor(broken, "/t/a.txt", {"gedit"}),
            "winexecfel: The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).\"notepad\"");
  auto odd = [](const QString&, const QStringList&) { return 5; };
  EXPECT_EQ(StartEditor(odd, "/t/a.txt", {}), QString::fromUtf8("winexecfel: okänt fel nummer 005\"notepad\""));
  EXPECT_EQ(StartEditor([](const QString&, const QStringList&) { return 42; }, "/t/a.txt", {}), QString());
}

TEST(AboutBox, MemoryReportInMegabytes) {
  MemoryStatus st;
  st.load_percent = 40;
  st.total_phys = 8LL << 30;
  st.avail_phys = 4LL << 30;
  st.total_virtual = 10LL << 30;  // 2 GB of swap
  st.avail_virtual = 5LL << 30;   // of which 1 GB free
  QString r = MemoryReport(st, 3LL << 30, 4LL << 30);
  EXPECT_EQ(r,
            "system 40% av totalt 8192mb\r\npagefile 50% av totalt 2048mb\r\nvirtual 50% av totalt "
            "10240mb\r\nsystemleft 3072mb\r\ntotalleft 4096mb");
}

TEST(ShellWindow, ComponentsCaptionsAndHints) {
  TBraxMainForm form;
  auto* data = form.findChild<QPushButton*>("buttonDataLib");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), "datadir");
  EXPECT_EQ(data->toolTip(), QString::fromUtf8("byt till mappen där datafilerna ska skapas eller finns"));
  EXPECT_EQ(form.findChild<QPushButton*>("quitbutton")->toolTip(), "avluta programmet");
  auto* scale = form.findChild<QSpinBox*>("EditFormScale");
  EXPECT_EQ(scale->minimum(), 100);
  EXPECT_EQ(scale->maximum(), 300);
  EXPECT_EQ(scale->singleStep(), 10);
  auto* bar = form.findChild<PanelBar*>("PrEnvStatusbar");
  EXPECT_EQ(bar->panelText(0), QString::fromUtf8("rapportinställningar"));
  QStringList items;
  for (QAction* a : form.shellMenu()->actions())
    if (!a->isSeparator()) items << a->text();
  EXPECT_EQ(items, (QStringList{"plusgiro", "postgiro", "bankgiro", "etikettregister"}));
}

TEST(ShellWindow, MessageLineGoesToTheHistoryOnce) {
  TBraxMainForm form;
  form.resize(545, 340);
  MsgLine = "Filerna öppna...."_w;
  form.xMyMsgUpdate();
  form.xMyMsgUpdate();
  EXPECT_EQ(form.messageBar()->panelText(0), QString::fromUtf8("Filerna öppna...."));
  EXPECT_EQ(form.messageBar()->panelText(1), "");
  MsgLine.clear();
}

TEST(ShellWindow, BarsGrowWithTheScale) {
  TBraxMainForm form;
  form.ApplyWindowScale(1920, 1080, 100);
  const int normal = form.messageBar()->height();
  form.ApplyWindowScale(1920, 1080, 200);
  EXPECT_GE(form.messageBar()->height(), normal * 17 / 10);
  EXPECT_GE(form.dataStatusBar()->height(), normal * 17 / 10);
  form.ApplyWindowScale(1920, 1080, 0);
}

// The payment-form items of "xregister" are their pictures, stretched over the item and framed:
// in the colour of the picture's pixel (1, 1), in black while selected.
TEST(ShellWindow, PaymentFormItemsAreDrawnAsTheirPictures) {
  TBraxMainForm form;
  form.ApplyWindowScale(1920, 1080, 100);
  QMenu* menu = form.shellMenu();
  QAction* plusgiro = menu->findChild<QAction*>("plusgiro");
  QAction* labels = menu->findChild<QAction*>("etikettregister");
  ASSERT_FALSE(plusgiro->icon().isNull());
  EXPECT_TRUE(labels->icon().isNull());  // a plain item
  menu->popup(QPoint(0, 0));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
  const QRect item = menu->actionGeometry(plusgiro);
  EXPECT_GE(item.height(), 2 * menu->fontMetrics().height());
  const QColor head = plusgiro->icon().pixmap(plusgiro->icon().availableSizes().value(0)).toImage().pixelColor(1, 1);
  QImage shot = menu->grab().toImage();
  EXPECT_EQ(shot.pixelColor(item.left() + 1, item.center().y()), head);  // the frame
  EXPECT_EQ(shot.pixelColor(item.right() - item.width() / 8, item.top() + item.height() / 6), head);  // head strip
  menu->setActiveAction(plusgiro);
  shot = menu->grab().toImage();
  EXPECT_EQ(shot.pixelColor(item.left() + 1, item.center().y()), QColor(Qt::black));
  menu->hide();
}

TEST(ShellWindow, ScaleEnlargesTheWindow) {
  TBraxMainForm form;
  form.ApplyWindowScale(3840, 2160, 0);
  EXPECT_EQ(form.scaleSpinnerValue(), 200);
  EXPECT_GE(form.minimumWidth(), 1090);
  form.ApplyWindowScale(1920, 1080, 0);
}

}  // namespace
}  // namespace olbrax
