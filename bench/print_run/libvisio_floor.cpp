// Parses each drawing named on the command line with libvisio alone, into librevenge's SVG
// generator, and prints the seconds all of them took: the floor under any program that reads
// drawings with libvisio.

#include <librevenge-generators/librevenge-generators.h>
#include <librevenge-stream/librevenge-stream.h>
#include <libvisio/libvisio.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::vector<unsigned char>> files;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const auto start = std::chrono::steady_clock::now();
    for (const auto& bytes : files) {
        librevenge::RVNGStringStream stream(bytes.data(), unsigned(bytes.size()));
        librevenge::RVNGStringVector pages;
        librevenge::RVNGSVGDrawingGenerator generator(pages, "");
        libvisio::VisioDocument::parse(&stream, &generator);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.6f\n", took.count());
    return 0;
}
