# pbp_flags: the compiler settings every target of the project links (plen_add_library,
# plen_add_test and each program, benchmark and fuzz target). Warnings stop the build with
# PLEN_WARNINGS_AS_ERRORS, which the test script (CI) turns on; a packager's build keeps it off,
# so that a newer compiler's new warning does not break it.
option(PLEN_WARNINGS_AS_ERRORS "Treat compiler warnings as errors (on in CI)" OFF)
add_library(pbp_flags INTERFACE)
target_compile_options(pbp_flags INTERFACE -Wall -Wextra -Wshadow -Wno-missing-field-initializers
                                           $<$<BOOL:${PLEN_WARNINGS_AS_ERRORS}>:-Werror>)
# Qt 6.4 is Debian 12's: anything deprecated by then is an error to use.
target_compile_definitions(pbp_flags INTERFACE QT_DISABLE_DEPRECATED_BEFORE=0x060400)
