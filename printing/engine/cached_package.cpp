#include "printing/engine/cached_package.h"

#include <memory>
#include <optional>

namespace pbp::visio {

namespace {

librevenge::RVNGInputStream* streamOver(const QByteArray& bytes) {
    return new librevenge::RVNGStringStream(
        reinterpret_cast<const unsigned char*>(bytes.constData()), unsigned(bytes.size()));
}

// The part's bytes, or null when it holds more than `most`.
std::optional<QByteArray> readUpTo(librevenge::RVNGInputStream& part, qsizetype most) {
    QByteArray bytes;
    part.seek(0, librevenge::RVNG_SEEK_SET);
    while (!part.isEnd()) {
        unsigned long read = 0;
        const unsigned char* data = part.read(64 * 1024, read);
        if (!data || read == 0) break;
        if (qsizetype(read) > most - bytes.size()) return std::nullopt;
        bytes.append(reinterpret_cast<const char*>(data), qsizetype(read));
    }
    return bytes;
}

}  // namespace

librevenge::RVNGInputStream* CachedPackage::getSubStreamByName(const char* name) {
    if (!name) return base_.getSubStreamByName(name);
    if (const auto kept = parts_.find(name); kept != parts_.end()) return streamOver(kept->second);
    std::unique_ptr<librevenge::RVNGInputStream> part(base_.getSubStreamByName(name));
    if (!part) return nullptr;
    std::optional<QByteArray> bytes = readUpTo(*part, budgetBytes_ - keptBytes_);
    // A part beyond the budget is not kept, nor an empty one, so that it reads as it always has.
    if (!bytes || bytes->isEmpty()) {
        part->seek(0, librevenge::RVNG_SEEK_SET);
        return part.release();
    }
    keptBytes_ += bytes->size();
    return streamOver(parts_.emplace(name, std::move(*bytes)).first->second);
}

librevenge::RVNGInputStream* CachedPackage::getSubStreamById(unsigned id) {
    const char* name = base_.subStreamName(id);
    return name ? getSubStreamByName(name) : base_.getSubStreamById(id);
}

}  // namespace pbp::visio
