#pragma once

#include <memory>

#include "printing/engine/visio.h"

namespace pbp::visio {

class EngineDocument;

// The page at a 0-based index of the document, with its page sheet and the cells PageWidth,
// PageHeight (inches) and PrintPageOrientation.
std::shared_ptr<Page> makePage(std::shared_ptr<EngineDocument> document, int index);

}  // namespace pbp::visio
