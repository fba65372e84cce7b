#pragma once

#include <functional>

#include "printing/engine/visio.h"
#include "printing/engine/worker_process.h"
#include "printing/printers/printer_system.h"

namespace pbp {

// Creates the drawing engine for "Visio.InvisibleApp" and "Visio.Application"; it prints
// through the given printer system, which must outlive every application made here. Each
// application asks `workers` how to run its drawing workers when it is made; none is made when
// the worker program cannot be run, which throws VbError naming the program's path.
class LibVisioEngineFactory : public visio::EngineFactory {
  public:
    LibVisioEngineFactory(printers::PrinterSystem& printers,
                          std::function<visio::WorkerSettings()> workers)
        : printers_(printers), workers_(std::move(workers)) {}
    std::unique_ptr<visio::Application> CreateObject(const QString& programId) override;

  private:
    printers::PrinterSystem& printers_;
    std::function<visio::WorkerSettings()> workers_;
};

}  // namespace pbp
