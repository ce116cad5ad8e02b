// The two about windows of the info button.
#pragma once

#include <QDialog>
#include <QString>

#include "base/memory.h"

namespace olbrax {

// The program's web page, mail address and manual (the link labels and "kom igång").
extern const char* const kWebAddress;
extern const char* const kMailAddress;
extern const char* const kManualAddress;
extern const char* const kStartGuideAddress;

// The memory report of TAboutBox: load and totals of memory, swap ("pagefile") and both
// together ("virtual"), and the two low-water marks of the memory checks, in MB.
QString MemoryReport(const MemoryStatus& status, std::int64_t low_phys, std::int64_t low_virtual);

// Title, product, version, maker line and the memory report.
class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* owner);
};

// The maker's contact links; a click closes it.
class TAboutBoxX : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBoxX(QWidget* owner);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// Opens a web page, mail address or file with the desktop's handler; beeps when that fails.
void doTheClick(const QString& address);

}  // namespace olbrax
