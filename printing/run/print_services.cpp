#include "printing/run/print_services.h"

namespace pbp {

namespace {
PrintServices& current() {
    static PrintServices instance;
    return instance;
}
}  // namespace

PrintServices& printServices() {
    return current();
}

void setPrintServices(const PrintServices& replacement) {
    current() = replacement;
}

ScopedPrintServices::ScopedPrintServices(const PrintServices& replacement) : previous_(current()) {
    current() = replacement;
}

ScopedPrintServices::~ScopedPrintServices() {
    current() = previous_;
}

}  // namespace pbp
