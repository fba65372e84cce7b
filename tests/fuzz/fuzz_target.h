#pragma once

// One fuzz target: a function that feeds arbitrary bytes to one of the program's readers and
// must return without crashing, hanging or tripping a sanitizer, whatever the bytes.
//
// Built with PLEN_FUZZ (clang, libFuzzer) each target is a fuzzer of its own; in the normal
// build every target is compiled into one replay program that feeds the files of
// tests/fuzz/regressions/<target>/ to it, so that every input that once failed stays a test.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace pbp::fuzz {

using TargetFunction = int (*)(const std::uint8_t* data, std::size_t size);

// Sets up once per process what the readers need: a Qt application (offscreen), and a platform
// whose error messages go nowhere and whose settings file lives in a private folder.
void prepare();

QByteArray bytes(const std::uint8_t* data, std::size_t size);

// Writes the input into a private file named `name` and answers its path.
QString writeInputFile(const std::uint8_t* data, std::size_t size, const QString& name);

#ifdef PLEN_FUZZ_REPLAY
bool registerTarget(const char* name, TargetFunction function);
#endif

}  // namespace pbp::fuzz

#ifdef PLEN_FUZZ_REPLAY
#define PLEN_FUZZ_TARGET(name)                                          \
    static int fuzz_##name(const std::uint8_t* data, std::size_t size); \
    [[maybe_unused]] static const bool registered_##name =              \
        pbp::fuzz::registerTarget(#name, &fuzz_##name);                 \
    static int fuzz_##name(const std::uint8_t* data, std::size_t size)
#else
#define PLEN_FUZZ_TARGET(name) \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
#endif
