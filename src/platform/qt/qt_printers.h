// The printers of the machine through Qt: the CUPS printers and the virtual "PDF" printer.
#pragma once

#include "platform/printers.h"

namespace olbrax::platform {

class QtPrinters : public PrinterService {
 public:
  std::vector<PrinterInfo> Printers() override;
  std::optional<PrinterInfo> Default() override;
};

}  // namespace olbrax::platform
