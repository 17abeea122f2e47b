// psp_pack WIDTH HEIGHT CANVAS_W CANVAS_H LEFT TOP IN.rgba OUT.psp [raw]
// Turns the generator's raw RGBA splash into the run-length Paint Shop Pro file the program
// carries as its splash resource.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <cstring>

#include "tools/artwork/PspWriter.h"

int main(int argc, char** argv)
{
    if (argc != 9 && !(argc == 10 && std::strcmp(argv[9], "raw") == 0)) {
        std::fprintf(stderr, "usage: psp_pack W H CANVAS_W CANVAS_H LEFT TOP IN.rgba OUT.psp [raw]\n");
        return 2;
    }
    const uint32_t w = uint32_t(std::strtoul(argv[1], nullptr, 10));
    const uint32_t h = uint32_t(std::strtoul(argv[2], nullptr, 10));
    PspWriterOptions o;
    o.canvasWidth = uint32_t(std::strtoul(argv[3], nullptr, 10));
    o.canvasHeight = uint32_t(std::strtoul(argv[4], nullptr, 10));
    o.left = int32_t(std::strtol(argv[5], nullptr, 10));
    o.top = int32_t(std::strtol(argv[6], nullptr, 10));
    if (argc == 10)
        o.compression = 0;
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    FILE* in = std::fopen(argv[7], "rb");
    if (!in || std::fread(rgba.data(), 1, rgba.size(), in) != rgba.size()) {
        std::fprintf(stderr, "psp_pack: cannot read %s\n", argv[7]);
        return 1;
    }
    std::fclose(in);
    const std::vector<uint8_t> file = WritePsp(rgba.data(), w, h, o);
    FILE* out = std::fopen(argv[8], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out)) {
        std::fprintf(stderr, "psp_pack: cannot write %s\n", argv[8]);
        return 1;
    }
    return 0;
}
