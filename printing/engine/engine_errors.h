#pragma once

#include <QDir>
#include <QString>

#include "printing/engine/visio.h"
#include "support/vb_error.h"

namespace pbp::visio {

// Error numbers the drawing engine raises, after the classic runtime errors they resemble.
namespace engine_error {
inline constexpr qint32 kInvalidArgument = 5;  // a value the call cannot use
inline constexpr qint32 kOutOfRange = 9;       // a page or page range the drawing does not have
inline constexpr qint32 kFileNotFound = errnum::kFileNotFound;  // no file at that path
inline constexpr qint32 kFileAccess = errnum::kPathFileAccess;  // a folder, or unreadable
inline constexpr qint32 kObjectClosed = errnum::kObjectNotSet;  // closed, or the engine ended
inline constexpr qint32 kBadFormat = 321;                       // not a drawing, or a damaged one
inline constexpr qint32 kPrinter = 482;                         // unknown printer or a refused job
inline constexpr qint32 kWorkerFailed = kDrawingReaderFailed;   // the reader process failed
inline constexpr qint32 kRunStopped = 18;  // the run was asked to stop (user interrupt)
}  // namespace engine_error

// The path as the user knows it, quoted, for error descriptions.
inline QString quotedPath(const QString& path) {
    return QLatin1Char('\'') + QDir::toNativeSeparators(path) + QLatin1Char('\'');
}

}  // namespace pbp::visio
