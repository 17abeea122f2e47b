#include "tools/artwork/PspWriter.h"

#include <cstring>
#include <string>

namespace {

class Out {
public:
    std::vector<uint8_t> bytes;
    size_t Size() const { return bytes.size(); }
    void U8(uint32_t v) { bytes.push_back(uint8_t(v)); }
    void U16(uint32_t v)
    {
        U8(v);
        U8(v >> 8);
    }
    void U32(uint32_t v)
    {
        U16(v);
        U16(v >> 16);
    }
    void Raw(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    void Rect(int32_t l, int32_t t, int32_t r, int32_t b)
    {
        U32(uint32_t(l));
        U32(uint32_t(t));
        U32(uint32_t(r));
        U32(uint32_t(b));
    }
    void Patch32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = uint8_t(v >> (8 * i));
    }
    // A block header whose length is filled in by EndBlock.
    size_t BeginBlock(uint16_t type)
    {
        Raw("~BK", 4);
        U16(type);
        U32(0);
        return Size();
    }
    void EndBlock(size_t contentStart) { Patch32(contentStart - 4, uint32_t(Size() - contentStart)); }
};

} // namespace

std::vector<uint8_t> PackRunLength(const uint8_t* bytes, size_t count, bool separator128)
{
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < count) {
        if (separator128)
            out.push_back(128);
        size_t run = 1;
        while (i + run < count && run < 127 && bytes[i + run] == bytes[i])
            ++run;
        if (run >= 3) {
            out.push_back(uint8_t(128 + run));
            out.push_back(bytes[i]);
            i += run;
            continue;
        }
        // Literal stretch up to the next run of three or the 127-byte limit.
        size_t n = 0;
        while (i + n < count && n < 127) {
            if (i + n + 2 < count && bytes[i + n] == bytes[i + n + 1] && bytes[i + n] == bytes[i + n + 2])
                break;
            ++n;
        }
        if (n == 0)
            n = 1;
        out.push_back(uint8_t(n));
        out.insert(out.end(), bytes + i, bytes + i + n);
        i += n;
    }
    return out;
}

std::vector<uint8_t> WritePsp(const uint8_t* rgba, uint32_t width, uint32_t height, const PspWriterOptions& o)
{
    const uint32_t canvasW = o.canvasWidth ? o.canvasWidth : width;
    const uint32_t canvasH = o.canvasHeight ? o.canvasHeight : height;
    const size_t pixels = size_t(width) * height;
    Out f;
    f.Raw("Paint Shop Pro Image File\n\x1a", 27);
    f.Zeros(5);
    f.U16(o.major);
    f.U16(o.minor);

    size_t block = f.BeginBlock(0); // general image attributes
    f.U32(46);
    f.U32(canvasW);
    f.U32(canvasH);
    const double resolution = 72.0;
    f.Raw(&resolution, 8);
    f.U8(1); // metric: inches
    f.U16(o.compression);
    f.U16(o.bitDepth);
    f.U16(o.planeCount);
    f.U32(1u << 24); // colour count
    f.U8(0);         // not greyscale
    f.U32(uint32_t(pixels * 4));
    f.U32(0); // active layer
    f.U16(o.layerCount);
    f.U32(0x1 | 0x8); // contents: raster layer, transparency
    f.EndBlock(block);

    if (o.creatorBlock) {
        block = f.BeginBlock(1);
        const std::string title = "Quellmor splash";
        f.U16(0);
        f.U32(uint32_t(title.size()));
        f.Raw(title.data(), title.size());
        f.EndBlock(block);
    }

    const size_t layerStart = f.BeginBlock(3);
    const size_t layer = f.BeginBlock(4);
    const size_t nameLength = std::strlen(o.layerName);
    const size_t info = f.Size();
    f.U32(0);
    f.U16(uint32_t(nameLength));
    f.Raw(o.layerName, nameLength);
    f.U8(1); // raster layer
    const int32_t right = o.left + int32_t(width), bottom = o.top + int32_t(height);
    f.Rect(o.left, o.top, right, bottom); // image rectangle
    f.Rect(o.left, o.top, right, bottom); // saved image rectangle
    f.U8(255);                            // opacity
    f.U8(0);                              // blend: normal
    f.U8(1);                              // visible
    f.U8(0);                              // transparency not protected
    f.U8(0);                              // link group
    f.Rect(0, 0, 0, 0);                   // mask rectangle
    f.Rect(0, 0, 0, 0);                   // saved mask rectangle
    f.U8(0);
    f.U8(0);
    f.U8(0);  // mask flags
    f.U16(0); // no blend ranges
    f.Patch32(info, uint32_t(f.Size() - info));

    f.U32(8); // layer bitmap chunk
    f.U16(1); // one bitmap
    f.U16(o.declaredChannels);

    std::vector<uint8_t> plane(pixels);
    for (uint16_t type : o.channels) {
        // Types outside 0..3 are written for the decoder's refusal tests; their bytes are
        // taken from the alpha plane.
        const size_t source = type == 0 || type > 3 ? 3 : size_t(type) - 1;
        for (size_t k = 0; k < pixels; ++k)
            plane[k] = rgba[k * 4 + source];
        std::vector<uint8_t> data =
            o.compression == 1 ? PackRunLength(plane.data(), pixels, o.separator128) : plane;
        const size_t channel = f.BeginBlock(5);
        f.U32(16);
        f.U32(uint32_t(data.size()));
        f.U32(uint32_t(pixels));
        f.U16(type == 0 ? 1 : 0); // bitmap: mask or image
        f.U16(type);
        f.Raw(data.data(), data.size());
        f.EndBlock(channel);
    }
    f.EndBlock(layer);
    f.EndBlock(layerStart);
    return f.bytes;
}
