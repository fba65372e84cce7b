#include "printing/engine/engine_factory.h"

#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "printing/engine/engine_application.h"
#include "printing/engine/engine_errors.h"

namespace pbp {

std::unique_ptr<visio::Application> LibVisioEngineFactory::CreateObject(const QString& programId) {
    if (programId != QLatin1String("Visio.InvisibleApp") &&
        programId != QLatin1String("Visio.Application"))
        return nullptr;
    visio::WorkerSettings workers = workers_();
    if (::access(QFile::encodeName(workers.program).constData(), X_OK) != 0)
        throw VbError(visio::engine_error::kWorkerFailed,
                      QStringLiteral("The drawing reader %1 cannot be run: %2.")
                          .arg(visio::quotedPath(workers.program),
                               QString::fromLocal8Bit(std::strerror(errno))));
    return std::make_unique<visio::EngineApplication>(printers_, std::move(workers));
}

}  // namespace pbp
