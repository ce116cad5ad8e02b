// A print job's setup from a print environment of the configuration.
#pragma once

#include "printing/config/config_layout.h"
#include "printing/engine/job_setup.h"

namespace olbrax::print {

JobFont FontFromSpec(const FontSpec& spec);
// The printer, page setup, columns and fonts of a printer setup (footer and pictures empty).
JobSetup JobFromPrinterSetup(const PrinterSetup& setup);
// Everything of a print environment: the printer setup, footer text and pictures.
JobSetup JobFromEnvironment(const TPrintEnvironment& env);

}  // namespace olbrax::print
