#include "shell/about_boxes.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>
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
  // Whole numbers rounded here: the C library's floating-point formats follow the
  // locale Qt sets, and these figures need no decimals.
  constexpr double kMb = 1024.0 * 1024.0;
  auto percent_used = [](std::int64_t total, std::int64_t avail) -> long {
    return total > 0 ? std::lround(100.0 * static_cast<double>(total - avail) / static_cast<double>(total)) : 0;
  };
  auto mb = [&](std::int64_t bytes) -> long { return std::lround(static_cast<double>(bytes) / kMb); };
  const std::int64_t swap_total = st.total_virtual - st.total_phys;
  const std::int64_t swap_avail = st.avail_virtual - st.avail_phys;
  char text[512];
  std::snprintf(text, sizeof text,
                "system %d%% av totalt %dmb\r\npagefile %2ld%% av totalt %dmb\r\nvirtual %2ld%% av totalt "
                "%dmb\r\nsystemleft %2ldmb\r\ntotalleft %2ldmb",
                st.load_percent, static_cast<int>(st.total_phys / kMb), percent_used(swap_total, swap_avail),
                static_cast<int>(swap_total / kMb), percent_used(st.total_virtual, st.avail_virtual),
                static_cast<int>(st.total_virtual / kMb), mb(low_phys), mb(low_virtual));
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
