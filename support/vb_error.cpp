#include "support/vb_error.h"

#include <new>

namespace pbp {

VbError CurrentError() {
    try {
        throw;
    } catch (const VbError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return VbError(errnum::kOutOfMemory, QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        return VbError(errnum::kInternal, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return VbError(errnum::kInternal, QStringLiteral("Unknown failure"));
    }
}

}  // namespace pbp
