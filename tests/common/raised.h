#pragma once

#include <functional>

#include "support/vb_error.h"

namespace pbp::test {

// The error `body` raised; number -1 and no description when it raised none.
inline VbError raised(const std::function<void()>& body) {
    try {
        body();
    } catch (const VbError& error) {
        return error;
    }
    return VbError(-1, QString());
}

}  // namespace pbp::test
