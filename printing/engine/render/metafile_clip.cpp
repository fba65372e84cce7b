#include "printing/engine/render/metafile_clip.h"

#include <QPolygonF>
#include <QRectF>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <map>

#include "printing/engine/render/little_endian.h"

namespace pbp::render {

namespace {

using namespace little_endian;

// EMF records (MS-EMF 2.1.1).
constexpr quint32 kEmrHeader = 1, kEmrSetWindowExtEx = 9, kEmrSetWindowOrgEx = 10,
                  kEmrSetViewportExtEx = 11, kEmrSetViewportOrgEx = 12, kEmrEof = 14,
                  kEmrSetMapMode = 17, kEmrOffsetClipRgn = 26, kEmrSetMetaRgn = 28,
                  kEmrExcludeClipRect = 29, kEmrIntersectClipRect = 30, kEmrScaleViewportExtEx = 31,
                  kEmrScaleWindowExtEx = 32, kEmrSaveDc = 33, kEmrRestoreDc = 34,
                  kEmrSetWorldTransform = 35, kEmrModifyWorldTransform = 36, kEmrBeginPath = 59,
                  kEmrEndPath = 60, kEmrSelectClipPath = 67, kEmrAbortPath = 68,
                  kEmrExtSelectClipRgn = 75;
constexpr quint32 kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5;

// A clip of more rectangles than this is not followed (the picture is drawn unclipped):
// combining regions of many rectangles again and again grows without bound.
constexpr int kMaxClipRects = 4096;
// Nor are clips of more rectangles than this in all: each clip change keeps its region.
constexpr qint64 kMaxKeptRects = qint64(1) << 20;
// Nor are more saved device contexts than this (a metafile of SaveDC records alone).
constexpr std::size_t kMaxSavedStates = 4096;

// SaveDC: false when the stack is full, and the clips are then not followed.
template <typename State>
bool saveState(std::vector<State>& saved, const State& state) {
    if (saved.size() >= kMaxSavedStates) return false;
    saved.push_back(state);
    return true;
}

// RestoreDC to `level`: a negative level counts back from the last save, a positive one is
// the save's number from the first; a level that names no save changes nothing, as in GDI.
template <typename State>
void restoreState(std::vector<State>& saved, qint64 level, State& state) {
    const qint64 keep = level < 0 ? qint64(saved.size()) + level : level - 1;
    if (keep < 0 || keep >= qint64(saved.size())) return;
    state = saved[std::size_t(keep)];
    saved.resize(std::size_t(keep));
}

// Beyond GDI's coordinate space (in subpixels): what "no clip" excludes a rectangle from.
constexpr int kFar = 1 << 27;
const QRect kEverywhere(-kFar, -kFar, 2 * kFar, 2 * kFar);

// A device coordinate in subpixels, kept inside kEverywhere (and 0 for one not a number).
int subpixel(double v) {
    return std::isfinite(v) ? qRound(std::clamp(v, -double(kFar), double(kFar))) : 0;
}

QPoint subpixel(QPointF p) {
    return QPoint(subpixel(p.x()), subpixel(p.y()));
}

// The state a SaveDC record keeps: the mapping from logical units to the device and the clip.
struct DeviceContext {
    int mapMode = 1;  // MM_TEXT
    QPointF windowOrg, viewportOrg;
    QPointF windowExt{1, 1}, viewportExt{1, 1};
    QTransform world;
    std::optional<QRegion> clip, meta;

    std::optional<QRegion> inForce() const {
        if (clip && meta) return *clip & *meta;
        return clip ? clip : meta;
    }
};

// Logical units to device subpixels: the world transform, then the page's.
QTransform toDevice(const DeviceContext& dc, QPointF pixelsPerMm) {
    double sx = 1, sy = 1;
    // Millimetres per logical unit of the metric and English modes, whose y axis points up.
    constexpr double kMillimetres[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
    if (dc.mapMode >= 2 && dc.mapMode <= 6) {
        sx = kMillimetres[dc.mapMode - 2] * pixelsPerMm.x();
        sy = -kMillimetres[dc.mapMode - 2] * pixelsPerMm.y();
    } else if ((dc.mapMode == 7 || dc.mapMode == 8) && dc.windowExt.x() != 0 &&
               dc.windowExt.y() != 0) {
        sx = dc.viewportExt.x() / dc.windowExt.x();
        sy = dc.viewportExt.y() / dc.windowExt.y();
        if (dc.mapMode == 7) {  // isotropic: the smaller scale on both axes
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
    }
    const QTransform page(sx, 0, 0, sy, dc.viewportOrg.x() - dc.windowOrg.x() * sx,
                          dc.viewportOrg.y() - dc.windowOrg.y() * sy);
    return dc.world * page * QTransform::fromScale(kClipSubpixels, kClipSubpixels);
}

// The device subpixels a logical rectangle covers; GDI leaves out its right and bottom edges.
QRegion deviceRect(const QByteArray& emf, qsizetype at, const QTransform& toDevice) {
    const QRectF logical(QPointF(le32s(emf, at), le32s(emf, at + 4)),
                         QPointF(le32s(emf, at + 8), le32s(emf, at + 12)));
    if (toDevice.isRotating()) {
        QPolygon corners;
        for (const QPointF& p : toDevice.map(QPolygonF(logical.normalized())))
            corners << subpixel(p);
        return QRegion(corners);
    }
    const QRectF mapped = toDevice.mapRect(logical.normalized());
    return QRegion(
        QRect(subpixel(mapped.topLeft()), subpixel(mapped.bottomRight()) - QPoint(1, 1)));
}

// The region of an EXTSELECTCLIPRGN record (in device pixels in the file), or empty when it
// names none.
std::optional<QRegion> recordRegion(const QByteArray& emf, qsizetype at, quint32 size) {
    if (size < 48 || le32(emf, at + 8) < 32) return std::nullopt;
    const quint32 count = std::min<quint32>(le32(emf, at + 24), (size - 48) / 16);
    QRegion region;
    for (quint32 i = 0; i < count && region.rectCount() <= kMaxClipRects; ++i) {
        const qsizetype r = at + 48 + 16 * qsizetype(i);
        const QPointF topLeft(le32s(emf, r), le32s(emf, r + 4));
        const QPointF bottomRight(le32s(emf, r + 8), le32s(emf, r + 12));
        const QRect rect(subpixel(topLeft * kClipSubpixels),
                         subpixel(bottomRight * kClipSubpixels) - QPoint(1, 1));
        if (rect.isValid()) region += rect;
    }
    return region;
}

std::optional<QRegion> combined(const std::optional<QRegion>& clip, const QRegion& region,
                                quint32 mode) {
    const QRegion current = clip.value_or(QRegion(kEverywhere));
    switch (mode) {
        case kRgnAnd:
            return current & region;
        case kRgnOr:
            return clip ? std::optional(*clip | region) : clip;
        case kRgnXor:
            return current ^ region;
        case kRgnDiff:
            return current - region;
        default:
            return region;
    }
}

QByteArray marker() {
    QByteArray record;
    for (const quint32 v : {kEmrIntersectClipRect, 24u, 0u, 0u, 1u, 1u}) put32(record, v);
    return record;
}

}  // namespace

std::optional<ClipMarkedEmf> emfWithClipMarkers(const QByteArray& emf) {
    if (emf.size() < 88 || le32(emf, 0) != kEmrHeader) return std::nullopt;
    const double devX = le32s(emf, 72), devY = le32s(emf, 76), mmX = le32s(emf, 80),
                 mmY = le32s(emf, 84);
    const QPointF pixelsPerMm(mmX > 0 && devX > 0 ? devX / mmX : 1,
                              mmY > 0 && devY > 0 ? devY / mmY : 1);
    DeviceContext dc;
    std::vector<DeviceContext> saved;
    ClipMarkedEmf out;
    quint32 records = 0;
    bool inPath = false, pending = false;
    const QByteArray mark = marker();
    qint64 keptRects = 0;
    const auto addMarker = [&] {
        out.emf.append(mark);
        std::optional<QRegion> clip = dc.inForce();
        if (!out.clips.empty() && out.clips.back() == clip)
            clip = out.clips.back();  // shares the region instead of keeping a copy
        else if (clip)
            keptRects += clip->rectCount();
        out.clips.push_back(std::move(clip));
        ++records;
        pending = false;
    };
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const quint32 type = le32(emf, at), size = le32(emf, at + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(emf.size() - at)) return std::nullopt;
        const auto i32 = [&](int offset) { return le32s(emf, at + offset); };
        const bool has = size >= 16;
        bool clipChange = false;
        switch (type) {
            case kEmrSetMapMode:
                if (size >= 12) dc.mapMode = i32(8);
                break;
            case kEmrSetWindowExtEx:
                if (has) dc.windowExt = QPointF(i32(8), i32(12));
                break;
            case kEmrSetWindowOrgEx:
                if (has) dc.windowOrg = QPointF(i32(8), i32(12));
                break;
            case kEmrSetViewportExtEx:
                if (has) dc.viewportExt = QPointF(i32(8), i32(12));
                break;
            case kEmrSetViewportOrgEx:
                if (has) dc.viewportOrg = QPointF(i32(8), i32(12));
                break;
            case kEmrScaleViewportExtEx:
            case kEmrScaleWindowExtEx:
                if (size >= 24 && i32(12) != 0 && i32(20) != 0) {
                    QPointF& ext = type == kEmrScaleWindowExtEx ? dc.windowExt : dc.viewportExt;
                    ext = QPointF(ext.x() * i32(8) / i32(12), ext.y() * i32(16) / i32(20));
                }
                break;
            case kEmrSetWorldTransform:
            case kEmrModifyWorldTransform:
                if (size >= 32) {
                    const auto f = [&](int i) { return double(leFloat(emf, at + 8 + 4 * i)); };
                    const QTransform t(f(0), f(1), f(2), f(3), f(4), f(5));
                    const quint32 mode =
                        type == kEmrSetWorldTransform || size < 36 ? 4 : le32(emf, at + 32);
                    if (mode == 1) dc.world.reset();
                    if (mode == 2) dc.world = t * dc.world;
                    if (mode == 3) dc.world = dc.world * t;
                    if (mode == 4) dc.world = t;
                }
                break;
            case kEmrSaveDc:
                if (!saveState(saved, dc)) return std::nullopt;
                break;
            case kEmrRestoreDc:
                restoreState(saved, size >= 12 ? i32(8) : -1, dc);
                pending = !out.clips.empty();
                break;
            case kEmrIntersectClipRect:
            case kEmrExcludeClipRect:
                if (size < 24) return std::nullopt;
                dc.clip = combined(dc.clip, deviceRect(emf, at + 8, toDevice(dc, pixelsPerMm)),
                                   type == kEmrIntersectClipRect ? kRgnAnd : kRgnDiff);
                clipChange = true;
                break;
            case kEmrOffsetClipRgn:
                if (has && dc.clip) {
                    const QTransform t = toDevice(dc, pixelsPerMm);
                    const QPointF offset = t.map(QPointF(i32(8), i32(12))) - t.map(QPointF());
                    dc.clip->translate(offset.toPoint());
                }
                clipChange = true;
                break;
            case kEmrExtSelectClipRgn: {
                if (size < 16) return std::nullopt;
                const quint32 mode = le32(emf, at + 12);
                if (const std::optional<QRegion> region = recordRegion(emf, at, size))
                    dc.clip = combined(dc.clip, *region, mode);
                else if (mode == kRgnCopy)
                    dc.clip.reset();
                clipChange = true;
                break;
            }
            case kEmrSetMetaRgn:
                dc.meta = dc.inForce();
                dc.clip.reset();
                clipChange = true;
                break;
            case kEmrSelectClipPath:
                return std::nullopt;
            case kEmrBeginPath:
                inPath = true;
                break;
            case kEmrEndPath:
            case kEmrAbortPath:
                inPath = false;
                break;
            default:
                break;
        }
        if (const std::optional<QRegion> clip = dc.inForce();
            clip && clip->rectCount() > kMaxClipRects)
            return std::nullopt;
        if (clipChange) {
            pending = true;
        } else {
            out.emf.append(emf.constData() + at, size);
            ++records;
        }
        if (pending && !inPath) addMarker();
        if (keptRects > kMaxKeptRects) return std::nullopt;
        at += size;
        if (type == kEmrEof) break;
    }
    if (out.clips.empty()) return std::nullopt;
    out.emf.append(emf.constData() + at, emf.size() - at);
    qToLittleEndian<quint32>(quint32(out.emf.size()), out.emf.data() + 48);  // nBytes
    qToLittleEndian<quint32>(records, out.emf.data() + 52);                  // nRecords
    return out;
}

int WmfClips::inForceAt(qsizetype offset) const {
    return int(std::upper_bound(ends.begin(), ends.end(), offset) - ends.begin()) - 1;
}

namespace {

// WMF records (MS-WMF 2.1.1.1), and those that take a slot in the object table.
constexpr quint16 kMetaSaveDc = 0x001E, kMetaRestoreDc = 0x0127, kMetaSetWindowOrg = 0x020B,
                  kMetaSetWindowExt = 0x020C, kMetaOffsetWindowOrg = 0x020F,
                  kMetaScaleWindowExt = 0x0410, kMetaExcludeClipRect = 0x0415,
                  kMetaIntersectClipRect = 0x0416, kMetaOffsetClipRgn = 0x0220,
                  kMetaSelectClipRegion = 0x012C, kMetaDeleteObject = 0x01F0,
                  kMetaCreateRegion = 0x06FF;
constexpr quint16 kMetaCreatesObject[] = {0x00F7, 0x01F9, 0x02FA,           0x02FB,
                                          0x02FC, 0x0142, kMetaCreateRegion};

// A WMF's window and clip, which SAVEDC keeps; the window is what the picture shows.
struct WmfState {
    QPointF windowOrg, windowExt;
    std::optional<QRegion> clip;
};

// The rectangles of a META_CREATEREGION record's region, in logical units: its scans of
// left-right pairs, or its bounds when it has none.
std::vector<QRectF> wmfRegionRects(const QByteArray& wmf, qsizetype at, qsizetype end) {
    std::vector<QRectF> rects;
    if (at + 22 > end) return rects;
    const quint16 scans = le16(wmf, at + 10);
    qsizetype scan = at + 22;
    for (quint16 i = 0; i < scans && scan + 6 <= end; ++i) {
        const quint16 count = le16(wmf, scan);
        const double top = le16s(wmf, scan + 2), bottom = le16s(wmf, scan + 4);
        for (quint16 k = 0; k + 1 < count && scan + 10 + 2 * k <= end; k += 2)
            rects.emplace_back(QPointF(le16s(wmf, scan + 6 + 2 * k), top),
                               QPointF(le16s(wmf, scan + 8 + 2 * k), bottom));
        if (rects.size() > std::size_t(kMaxClipRects)) return {};
        scan += 8 + 2 * qsizetype(count);
    }
    if (scans == 0)
        rects.emplace_back(QPointF(le16s(wmf, at + 14), le16s(wmf, at + 16)),
                           QPointF(le16s(wmf, at + 18), le16s(wmf, at + 20)));
    return rects;
}

}  // namespace

std::optional<WmfClips> wmfClips(const QByteArray& wmf, QSizeF size) {
    constexpr qsizetype header = 22;
    if (wmf.size() < header + 18 || le32(wmf, 0) != 0x9AC6CDD7) return std::nullopt;
    WmfState state;
    state.windowOrg = QPointF(le16s(wmf, 6), le16s(wmf, 8));
    state.windowExt = QPointF(le16s(wmf, 10), le16s(wmf, 12)) - state.windowOrg;
    std::vector<WmfState> saved;
    std::map<int, std::vector<QRectF>> regions;  // the region objects, by slot
    std::vector<bool> taken;
    WmfClips out;
    qint64 keptRects = 0;
    // Logical rectangles to picture subpixels through the window in force.
    // Picture subpixels per logical unit through the window in force.
    const auto scale = [&] {
        if (state.windowExt.x() == 0 || state.windowExt.y() == 0) return QPointF();
        return QPointF(size.width() / state.windowExt.x() * kClipSubpixels,
                       size.height() / state.windowExt.y() * kClipSubpixels);
    };
    const auto toPicture = [&](const std::vector<QRectF>& rects) {
        const QTransform t(scale().x(), 0, 0, scale().y(), -state.windowOrg.x() * scale().x(),
                           -state.windowOrg.y() * scale().y());
        QRegion region;
        for (const QRectF& rect : rects) {
            const QRectF mapped = t.mapRect(rect.normalized());
            region +=
                QRect(subpixel(mapped.topLeft()), subpixel(mapped.bottomRight()) - QPoint(1, 1));
        }
        return region;
    };
    qsizetype at = header + 2 * qsizetype(le16(wmf, header + 2));
    if (at < header + 18) return std::nullopt;
    while (at + 6 <= wmf.size()) {
        const quint32 words = le32(wmf, at);
        const quint16 function = le16(wmf, at + 4);
        if (words < 3 || words > quint64(wmf.size() - at) / 2) return std::nullopt;
        const qsizetype end = at + 2 * qsizetype(words);
        const auto param = [&](int i) { return double(le16s(wmf, at + 6 + 2 * i)); };
        const bool has2 = words >= 5, has4 = words >= 7;
        bool clipChange = false;
        if (std::find(std::begin(kMetaCreatesObject), std::end(kMetaCreatesObject), function) !=
            std::end(kMetaCreatesObject)) {
            const auto gap = std::find(taken.begin(), taken.end(), false);
            const int slot = int(gap - taken.begin());
            if (gap == taken.end())
                taken.push_back(true);
            else
                *gap = true;
            if (function == kMetaCreateRegion) regions[slot] = wmfRegionRects(wmf, at + 6, end);
        }
        switch (function) {
            case kMetaDeleteObject:
                if (words >= 4 && param(0) >= 0 && param(0) < double(taken.size())) {
                    taken[std::size_t(param(0))] = false;
                    regions.erase(int(param(0)));
                }
                break;
            case kMetaSetWindowOrg:
                if (has2) state.windowOrg = QPointF(param(1), param(0));
                break;
            case kMetaOffsetWindowOrg:
                if (has2) state.windowOrg += QPointF(param(1), param(0));
                break;
            case kMetaSetWindowExt:
                if (has2) state.windowExt = QPointF(param(1), param(0));
                break;
            case kMetaScaleWindowExt:
                if (has4 && param(0) != 0 && param(2) != 0)
                    state.windowExt = QPointF(state.windowExt.x() * param(3) / param(2),
                                              state.windowExt.y() * param(1) / param(0));
                break;
            case kMetaSaveDc:
                if (!saveState(saved, state)) return std::nullopt;
                break;
            case kMetaRestoreDc:
                restoreState(saved, words >= 4 ? qint64(param(0)) : -1, state);
                clipChange = !out.clips.empty();
                break;
            case kMetaIntersectClipRect:
            case kMetaExcludeClipRect:
                if (!has4) return std::nullopt;
                state.clip = combined(
                    state.clip,
                    toPicture({QRectF(QPointF(param(3), param(2)), QPointF(param(1), param(0)))}),
                    function == kMetaIntersectClipRect ? kRgnAnd : kRgnDiff);
                clipChange = true;
                break;
            case kMetaOffsetClipRgn:
                if (has2 && state.clip)
                    state.clip->translate(
                        subpixel(QPointF(param(1) * scale().x(), param(0) * scale().y())));
                clipChange = true;
                break;
            case kMetaSelectClipRegion: {
                const auto region = regions.find(words >= 4 ? int(param(0)) : -1);
                if (region == regions.end()) return std::nullopt;
                state.clip = toPicture(region->second);
                clipChange = true;
                break;
            }
            default:
                break;
        }
        if (state.clip && state.clip->rectCount() > kMaxClipRects) return std::nullopt;
        if (clipChange) {
            if (!out.clips.empty() && out.clips.back() == state.clip) {
                out.clips.push_back(out.clips.back());  // shares the region
            } else {
                out.clips.push_back(state.clip);
                if (state.clip) keptRects += state.clip->rectCount();
            }
            out.ends.push_back(end);
        }
        if (keptRects > kMaxKeptRects) return std::nullopt;
        at = end;
        if (function == 0) break;
    }
    if (out.clips.empty()) return std::nullopt;
    return out;
}

}  // namespace pbp::render
