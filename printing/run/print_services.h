#pragma once

namespace pbp {

namespace printers {
class PrinterSystem;       // printing/printers/printer_system.h
class CombinedPdfPrinter;  // printing/printers/combined_pdf_printer.h
}  // namespace printers
namespace visio {
class EngineFactory;  // printing/engine/visio.h
}

// The printers and the drawing engine the batch window and the print run use. Production wires
// the real ones in main(); tests install fakes. Neither pointer is owned here.
struct PrintServices {
    printers::PrinterSystem* printers = nullptr;
    visio::EngineFactory* engines = nullptr;
    // The switch among the printers that gathers a run into one PDF; none: runs cannot.
    printers::CombinedPdfPrinter* onePdf = nullptr;
};

PrintServices& printServices();
void setPrintServices(const PrintServices& replacement);

// Installs print services for the life of the object (main() for the run of the program, a test
// for its own), then restores the previous ones, so that none outlives the objects it names.
class ScopedPrintServices {
  public:
    explicit ScopedPrintServices(const PrintServices& replacement);
    ~ScopedPrintServices();
    ScopedPrintServices(const ScopedPrintServices&) = delete;
    ScopedPrintServices& operator=(const ScopedPrintServices&) = delete;

  private:
    PrintServices previous_;
};

}  // namespace pbp
