#include "shell/about_boxes.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>

#include "base/messages.h"
#include "base/version.h"
#include "platform/qt/window_scale.h"
#include "shell/pictures.h"

namespace olbrax {

const char* const kWebAddress = "https://olbrax.example.org/";
const char* const kMailAddress = "mailto:support@olbrax.example.org";
const char* const kManualAddress = "https://olbrax.example.org/olbrax.pdf";
const char* const kStartGuideAddress = "https://olbrax.example.org/kom-igang.html";

QString MemoryReport(const MemoryStatus& st, std::int64_t low_phys, std::int64_t low_virtual) {
  constexpr double kMb = 1024.0 * 1024.0;
  auto percent_used = [](std::int64_t total, std::int64_t avail) {
    return total > 0 ? 100.0 * static_cast<double>(total - avail) / static_cast<double>(total) : 0.0;
  };
  const std::int64_t swap_total = st.total_virtual - st.total_phys;
  const std::int64_t swap_avail = st.avail_virtual - st.avail_phys;
  char text[512];
  std::snprintf(text, sizeof text,
                "system %d%% av totalt %dmb\r\npagefile %2.0f%% av totalt %dmb\r\nvirtual %2.0f%% av totalt "
                "%dmb\r\nsystemleft %2.0fmb\r\ntotalleft %2.0fmb",
                st.load_percent, static_cast<int>(st.total_phys / kMb), percent_used(swap_total, swap_avail),
                static_cast<int>(swap_total / kMb), percent_used(st.total_virtual, st.avail_virtual),
                static_cast<int>(st.total_virtual / kMb), static_cast<double>(low_phys) / kMb,
                static_cast<double>(low_virtual) / kMb);
  return QString::fromUtf8(text);
}

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {
  setObjectName("TAboutBox");
  setWindowTitle(kAppTitle);
  auto* layout = new QVBoxLayout(this);
  auto* icon = new QLabel(this);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(ControlFlagPicture(QSize(48, 48)));
  layout->addWidget(icon);
  auto add_label = [&](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    layout->addWidget(l);
  };
  add_label("ProductName", "OlbraxW32");
  add_label("Version", "ver  2024");
  add_label("Copyright", QString::fromUtf8("olbrax för Linux och Qt, byggd") + " 240530");
  auto* memory = new QPlainTextEdit(this);
  memory->setObjectName("Comments");
  memory->setReadOnly(true);
  memory->setPlainText(MemoryReport(ReadMemoryStatus(), MemLowPhys(), MemLowVirtual()));
  layout->addWidget(memory);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKButton");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok);
  platform::ScaleDialog(this);
}

TAboutBoxX::TAboutBoxX(QWidget* owner) : QDialog(owner) {
  setObjectName("TAboutBoxX");
  setWindowTitle(kAppTitle);
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(this);
  text->setTextFormat(Qt::RichText);
  text->setOpenExternalLinks(true);
  text->setText(QString("<b>OlbraxW32</b><br>%1<br><a href=\"%2\">%2</a><br><a href=\"%3\">%4</a>")
                    .arg(QString::fromUtf8(kProgramVersion), kWebAddress, kMailAddress,
                         QString(kMailAddress).mid(7)));
  layout->addWidget(text);
  platform::ScaleDialog(this);
}

void TAboutBoxX::mousePressEvent(QMouseEvent*) { accept(); }

void doTheClick(const QString& address) {
  QUrl url = QUrl::fromUserInput(address);
  if (!QDesktopServices::openUrl(url)) BeepSignal();
}

}  // namespace olbrax
