// libvisio formats the date and time fields of a drawing with gmtime() and localtime(), which
// return one result buffer shared by every thread. Drawings are parsed on several threads at
// once, so the program defines both functions itself with a buffer per thread; the dynamic
// linker binds libvisio's calls to these (printing/CMakeLists.txt makes every program that
// links the printing library take this file).

#include <time.h>

extern "C" struct tm* gmtime(const time_t* timer) noexcept {
    thread_local struct tm result;
    return gmtime_r(timer, &result);
}

extern "C" struct tm* localtime(const time_t* timer) noexcept {
    thread_local struct tm result;
    return localtime_r(timer, &result);
}
