#include "printing/engine/engine_factory.h"

#include <unistd.h>

#include <QFile>

#include "printing/engine/engine_application.h"

namespace pbp {

std::unique_ptr<visio::Application> LibVisioEngineFactory::CreateObject(const QString& programId) {
    if (programId != QLatin1String("Visio.InvisibleApp") &&
        programId != QLatin1String("Visio.Application"))
        return nullptr;
    visio::WorkerSettings workers = workers_();
    if (::access(QFile::encodeName(workers.program).constData(), X_OK) != 0) return nullptr;
    return std::make_unique<visio::EngineApplication>(printers_, std::move(workers));
}

}  // namespace pbp
