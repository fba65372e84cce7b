#include "printing/engine/engine_factory.h"

#include "printing/engine/engine_application.h"

namespace pbp {

std::unique_ptr<visio::Application> LibVisioEngineFactory::CreateObject(const QString& programId) {
    if (programId != QLatin1String("Visio.InvisibleApp") &&
        programId != QLatin1String("Visio.Application"))
        return nullptr;
    return std::make_unique<visio::EngineApplication>(printers_);
}

}  // namespace pbp
