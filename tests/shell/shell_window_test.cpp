#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>

#include "base/messages.h"
#include "shell/about_boxes.h"
#include "shell/shell_window.h"
#include "shell/editor_launcher.h"
#include "shell/panel_bar.h"
#include "shell/window_scale_calc.h"

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
}

TEST(EditorButton, FallsBackToTheDesktopEditorQuietly) {
  QStringList tried;
  auto start = [&](const QString& p) {
    tried << p;
    return p == "gedit" ? 33 : 2;
  };
  EXPECT_EQ(StartEditor(start, {"kate", "gedit", "xed"}), QString());
  EXPECT_EQ(tried, (QStringList{"editbrax", "kate", "gedit"}));
}

TEST(EditorButton, ExplainsWhyNoEditorStarted) {
  auto none = [](const QString&) { return 2; };
  EXPECT_EQ(StartEditor(none, {"gedit"}), "winexecfel: The specified file was not found.\"notepad\"");
  auto broken = [](const QString& p) { return p == "editbrax" ? 2 : 11; };
  EXPECT_EQ(StartEditor(broken, {"gedit"}),
            "winexecfel: The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).\"notepad\"");
  auto odd = [](const QString&) { return 5; };
  EXPECT_EQ(StartEditor(odd, {}), QString::fromUtf8("winexecfel: okänt fel nummer 005\"notepad\""));
  EXPECT_EQ(StartEditor([](const QString&) { return 42; }, {}), QString());
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

TEST(ShellWindow, ScaleEnlargesTheWindow) {
  TBraxMainForm form;
  form.ApplyWindowScale(3840, 2160, 0);
  EXPECT_EQ(form.scaleSpinnerValue(), 200);
  EXPECT_GE(form.minimumWidth(), 1090);
  form.ApplyWindowScale(1920, 1080, 0);
}

}  // namespace
}  // namespace olbrax
