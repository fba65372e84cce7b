// The page-table readers on any bytes: .vdx documents, .vsdx pages parts and the "VisioDocument"
// stream of binary drawings. Each either reads a table or reports it damaged.

#include "printing/engine/page_table.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

template <class Reader>
int readTable(Reader reader, const std::uint8_t* data, std::size_t size) {
    pbp::fuzz::prepare();
    try {
        reader(pbp::fuzz::bytes(data, size));
    } catch (const pbp::visio::PageTableDamaged&) {
    }
    return 0;
}

}  // namespace

#if defined(PLEN_FUZZ_REPLAY) || defined(PLEN_FUZZ_VDX)
PLEN_FUZZ_TARGET(vdx_page_table) {
    return readTable(pbp::visio::readVdxPageTable, data, size);
}
#endif
#if defined(PLEN_FUZZ_REPLAY) || defined(PLEN_FUZZ_VSDX)
PLEN_FUZZ_TARGET(vsdx_page_table) {
    return readTable([](const QByteArray& xml) { return pbp::visio::readVsdxPageTable(xml); }, data,
                     size);
}
#endif
#if defined(PLEN_FUZZ_REPLAY) || defined(PLEN_FUZZ_VSD)
PLEN_FUZZ_TARGET(vsd_page_table) {
    return readTable(pbp::visio::readVsdPageTable, data, size);
}
#endif
