#pragma once

#include "printing/engine/visio.h"
#include "printing/printers/printer_system.h"

namespace pbp {

// Creates the drawing engine for "Visio.InvisibleApp" and "Visio.Application"; it prints
// through the given printer system, which must outlive every application made here.
class LibVisioEngineFactory : public visio::EngineFactory {
  public:
    explicit LibVisioEngineFactory(printers::PrinterSystem& printers) : printers_(printers) {}
    std::unique_ptr<visio::Application> CreateObject(const QString& programId) override;

  private:
    printers::PrinterSystem& printers_;
};

}  // namespace pbp
