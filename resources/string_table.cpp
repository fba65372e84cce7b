#include "resources/string_table.h"

#include <QCoreApplication>
#include <map>

namespace pbp {

namespace {

const std::map<int, const char*>& table() {
    static const std::map<int, const char*> strings = {
        {101, "PlenBatchPrint"},
        {201, QT_TRANSLATE_NOOP("StringTable", "About PlenBatchPrint")},
        {202, QT_TRANSLATE_NOOP("StringTable", "PlenBatchPrint (%s)")},
        {203,
         QT_TRANSLATE_NOOP(
             "StringTable",
             "Copyright \xc2\xa9 PlenBatchPrint developers. Free software for printing technical "
             "drawings, released under the MIT licence.")},
        {204, QT_TRANSLATE_NOOP("StringTable", "OK")},
        {206,
         QT_TRANSLATE_NOOP(
             "StringTable",
             "This program is provided as is, without warranty of any kind. Always check printed "
             "drawings against their source files before relying on them; the authors are not "
             "liable for any damage arising from its use.")},
        {701, QT_TRANSLATE_NOOP("StringTable", "&File")},
        {702, QT_TRANSLATE_NOOP("StringTable", "E&xit")},
        {703, QT_TRANSLATE_NOOP("StringTable", "&Help")},
        {704, QT_TRANSLATE_NOOP("StringTable", "&Contents..")},
        {706, QT_TRANSLATE_NOOP("StringTable", "&About PlenBatchPrint...")},
        {707, QT_TRANSLATE_NOOP("StringTable", "PlenBatchPrint MenuBar")},
        {711, QT_TRANSLATE_NOOP("StringTable", "&Import Batch...")},
        {712, QT_TRANSLATE_NOOP("StringTable", "&Export Batch...")},
        {713, QT_TRANSLATE_NOOP("StringTable", "Open &PDF Folder")},
        {714, QT_TRANSLATE_NOOP("StringTable", "&Clear List")},
        {715, QT_TRANSLATE_NOOP("StringTable", "Ed&it")},
        {716, QT_TRANSLATE_NOOP("StringTable", "Select &Failed")},
        {717, QT_TRANSLATE_NOOP("StringTable", "Print Failed &Again")},
        {718, QT_TRANSLATE_NOOP("StringTable", "P&rint")},
        {801, QT_TRANSLATE_NOOP(
                  "StringTable",
                  "Visio Document (*.vsd; *.vst; *.vdx; *.vtx)|*.vsd; *.vst; *.vdx; *.vtx")},
        {901, QT_TRANSLATE_NOOP(
                  "StringTable",
                  "You have exceeded the maximum allowed file size.  Try selecting fewer files.")},
        {1501, "www.plenbatchprint.org"},
        {1502, "shapes.plenbatchprint.org"},
        {1503, QT_TRANSLATE_NOOP("StringTable",
                                 "For Visio consulting, custom development, and training visit")},
        {1504, QT_TRANSLATE_NOOP("StringTable", "For more Visio tools and shapes visit")},
    };
    return strings;
}

}  // namespace

QString LoadResString(int id) {
    const auto it = table().find(id);
    return it == table().end() ? QString() : QCoreApplication::translate("StringTable", it->second);
}

ProgramVersion programVersion() {
    return {PLEN_VERSION_MAJOR, PLEN_VERSION_MINOR, PLEN_VERSION_PATCH};
}

}  // namespace pbp
