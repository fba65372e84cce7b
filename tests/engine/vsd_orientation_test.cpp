#include <gtest/gtest.h>

#include <librevenge-stream/librevenge-stream.h>
#include <QFile>
#include <QtEndian>

#include "printing/engine/page_table.h"
#include "printing/engine/vsd_page_sheet.h"
#include "tests/common/test_paths.h"

namespace pbp::visio {
namespace {

QStringList orientationsOf(const QString& path) {
    librevenge::RVNGFileStream stream(QFile::encodeName(path).constData());
    QStringList orientations;
    for (const PageTableEntry& entry : readPageTable(stream))
        orientations.append(entry.printPageOrientation);
    return orientations;
}

// Pages of every shape and print orientation, foreground and background, and files whose page
// sheets state none (Visio 5 keeps no print properties in its page sheets).
TEST(VsdOrientation, SharedDrawingsGiveTheirPageSheetsPrintOrientation) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    const QString dir = test::sharedTestDataDir();
    const struct {
        const char* file;
        QStringList orientations;
    } cases[] = {
        {"vsd/dwg.vsd", {"2"}},                        // 11.69 x 8.27 in, A4 landscape
        {"vsd/fdo86729-ms1252.vsd", {"2"}},            // 11 x 8.5 in, letter landscape
        {"vsd/Visio11PlanWithDimensions.vsd", {"1"}},  // landscape-shaped, printed portrait
        {"vsd/tdf76829-datetime-format.vsd", {"2", "2"}},
        {"vsd/Visio11FormatLine.vsd", {"0"}},
        {"vsd/Visio5PlanWithDimensions.vsd", {"0"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(orientationsOf(dir + QLatin1Char('/') + QLatin1String(c.file)), c.orientations)
            << c.file;
    EXPECT_EQ(orientationsOf(dir + QStringLiteral("/vsd/dwg.vsd")),
              orientationsOf(dir + QStringLiteral("/vsdx/dwg.vsdx")));
}

QByteArray chunk(quint32 type, quint32 list, QByteArray data, int trailer) {
    QByteArray header(19, '\0');
    qToLittleEndian<quint32>(type, header.data());
    qToLittleEndian<quint32>(list, header.data() + 8);
    qToLittleEndian<quint32>(quint32(data.size()), header.data() + 12);
    return header + data + QByteArray(trailer, '\0');
}

QByteArray printProps(char orientation) {
    QByteArray data(72, '\x01');
    data[57] = orientation;
    qToLittleEndian<quint16>(8, data.data() + 58);  // PaperKind A3
    return chunk(0xc8, 0, data, 0);
}

// Visio 6 chunks: a list chunk's 8-byte trailer is stepped over; the page's first shape ends
// its page sheet; odd values and cut-off chunks give "0".
TEST(VsdOrientation, Visio6PageSheetChunks) {
    const QByteArray pageSheet =
        chunk(0x46, 0, QByteArray(32, '\x01'), 0) + chunk(0x68, 0, QByteArray(24, '\xff'), 8);
    EXPECT_EQ(vsdPrintProps(pageSheet + printProps(2), 6).orientation, QStringLiteral("2"));
    EXPECT_EQ(vsdPrintProps(pageSheet + printProps(2), 6).paperKind, 8);
    EXPECT_EQ(vsdPrintProps(pageSheet + QByteArray(5, '\0') + printProps(1), 6).orientation,
              QStringLiteral("1"));
    const QByteArray shape = chunk(0x48, 0, QByteArray(32, '\x01'), 0);
    EXPECT_EQ(vsdPrintProps(pageSheet + shape + printProps(2), 6).orientation, QStringLiteral("0"));
    EXPECT_EQ(vsdPrintProps(pageSheet + printProps(7), 6).orientation, QStringLiteral("0"));
    const QByteArray whole = pageSheet + printProps(2);
    for (qsizetype length = 0; length < whole.size(); ++length)
        EXPECT_EQ(vsdPrintProps(whole.left(length), 6).orientation, QStringLiteral("0")) << length;
}

}  // namespace
}  // namespace pbp::visio
