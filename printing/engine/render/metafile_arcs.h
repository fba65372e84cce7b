#pragma once

// Elliptical arc records of EMF and WMF metafiles rewritten as the polylines and polygons they
// draw. libemf2svg writes arcs with wrong radii and, for pies and chords, a clip-path attribute
// twice (QtSvg then refuses the whole picture); libwmf never draws an arc of more than half a
// turn. Both draw polylines and polygons faithfully.

#include <QByteArray>

namespace pbp::render {

// The EMF with its ARC, ARCTO, ANGLEARC, CHORD and PIE records replaced by POLYLINE,
// POLYLINETO and POLYGON records along the same ellipse; other records are copied unchanged.
// A metafile that is cut off or malformed is returned as it is.
QByteArray emfWithArcsAsPolygons(const QByteArray& emf);

// The same for a WMF (with or without a placeable header): META_ARC, META_CHORD and META_PIE.
QByteArray wmfWithArcsAsPolygons(const QByteArray& wmf);

}  // namespace pbp::render
