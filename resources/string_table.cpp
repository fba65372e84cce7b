#include "resources/string_table.h"

#include <map>

namespace pbp {

namespace {

const std::map<int, const char*>& table() {
    static const std::map<int, const char*> strings = {
        {101, "PlenBatchPrint"},
        {201, "About PlenBatchPrint"},
        {202, "PlenBatchPrint (%s)"},
        {203,
         "Copyright \xc2\xa9 PlenBatchPrint developers. Free software for printing technical "
         "drawings, released under the MIT licence."},
        {204, "OK"},
        {206,
         "This program is provided as is, without warranty of any kind. Always check printed "
         "drawings against their source files before relying on them; the authors are not "
         "liable for any damage arising from its use."},
        {701, "&File"},
        {702, "E&xit"},
        {703, "&Help"},
        {704, "&Contents.."},
        {706, "&About PlenBatchPrint..."},
        {707, "PlenBatchPrint MenuBar"},
        {711, "&Import Batch..."},
        {712, "&Export Batch..."},
        {713, "Open &PDF Folder"},
        {714, "&Clear List"},
        {715, "Ed&it"},
        {716, "Select &Failed"},
        {717, "Print Failed &Again"},
        {718, "P&rint"},
        {801, "Visio Document (*.vsd; *.vst; *.vdx; *.vtx)|*.vsd; *.vst; *.vdx; *.vtx"},
        {901, "You have exceeded the maximum allowed file size.  Try selecting fewer files."},
        {1501, "www.plenbatchprint.org"},
        {1502, "shapes.plenbatchprint.org"},
        {1503, "For Visio consulting, custom development, and training visit"},
        {1504, "For more Visio tools and shapes visit"},
    };
    return strings;
}

}  // namespace

QString LoadResString(int id) {
    const auto it = table().find(id);
    return it == table().end() ? QString() : QString::fromUtf8(it->second);
}

ProgramVersion programVersion() {
    return {PLEN_VERSION_MAJOR, PLEN_VERSION_MINOR, PLEN_VERSION_PATCH};
}

}  // namespace pbp
