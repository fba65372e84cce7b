#pragma once

// A zip or OLE drawing whose parts are each read once. Reading a drawing reads its pages more
// than once (the inherited-cell completion, libvisio, the page table's check that every page is
// readable XML), and inflating a large page again costs more than keeping it.

#include <librevenge-stream/librevenge-stream.h>

#include <QByteArray>
#include <map>
#include <string>

namespace pbp::visio {

class CachedPackage : public librevenge::RVNGInputStream {
  public:
    // Parts are kept until they hold `budgetBytes` together; later ones are read anew each time.
    // `base` must outlive the cache.
    explicit CachedPackage(librevenge::RVNGInputStream& base, qsizetype budgetBytes = 256 << 20)
        : base_(base), budgetBytes_(budgetBytes) {}

    bool isStructured() override { return base_.isStructured(); }
    unsigned subStreamCount() override { return base_.subStreamCount(); }
    const char* subStreamName(unsigned id) override { return base_.subStreamName(id); }
    bool existsSubStream(const char* name) override { return base_.existsSubStream(name); }
    librevenge::RVNGInputStream* getSubStreamByName(const char* name) override;
    librevenge::RVNGInputStream* getSubStreamById(unsigned id) override;

    const unsigned char* read(unsigned long numBytes, unsigned long& numBytesRead) override {
        return base_.read(numBytes, numBytesRead);
    }
    int seek(long offset, librevenge::RVNG_SEEK_TYPE seekType) override {
        return base_.seek(offset, seekType);
    }
    long tell() override { return base_.tell(); }
    bool isEnd() override { return base_.isEnd(); }

  private:
    librevenge::RVNGInputStream& base_;
    const qsizetype budgetBytes_;
    std::map<std::string, QByteArray> parts_;
    qsizetype keptBytes_ = 0;
};

}  // namespace pbp::visio
