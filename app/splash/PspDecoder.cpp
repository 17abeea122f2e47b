#include "app/splash/PspDecoder.h"

#include <cstring>

namespace {

const char kSignature[32] = "Paint Shop Pro Image File\n\x1a\0\0\0\0";
constexpr uint32_t kBlockId = 0x004B427E; // "~BK" and a zero byte
constexpr uint16_t kTypeImageAttributes = 0;
constexpr uint16_t kTypeLayerStart = 3;
constexpr uint16_t kTypeLayer = 4;
constexpr uint16_t kTypeChannel = 5;
constexpr size_t kBlockHeaderSize = 10;
constexpr size_t kChannelInfoMinimum = 16;

// A bounds-checked view: every read says whether the bytes exist.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Size() const { return size_; }
    bool Has(size_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
    bool U16(size_t offset, uint32_t* value) const
    {
        if (!Has(offset, 2))
            return false;
        *value = uint32_t(data_[offset]) | uint32_t(data_[offset + 1]) << 8;
        return true;
    }
    bool U32(size_t offset, uint32_t* value) const
    {
        if (!Has(offset, 4))
            return false;
        *value = uint32_t(data_[offset]) | uint32_t(data_[offset + 1]) << 8 |
                 uint32_t(data_[offset + 2]) << 16 | uint32_t(data_[offset + 3]) << 24;
        return true;
    }
    bool S32(size_t offset, int64_t* value) const
    {
        uint32_t raw;
        if (!U32(offset, &raw))
            return false;
        *value = int64_t(int32_t(raw));
        return true;
    }
    // offset + by, refused when it leaves the data.
    bool Advance(size_t offset, uint64_t by, size_t* result) const
    {
        if (!Has(offset, by))
            return false;
        *result = offset + size_t(by);
        return true;
    }
    bool IsBlock(size_t offset, uint32_t* type) const
    {
        uint32_t id;
        return U32(offset, &id) && id == kBlockId && U16(offset + 4, type) && Has(offset, kBlockHeaderSize);
    }
    const uint8_t* At(size_t offset) const { return data_ + offset; }

private:
    const uint8_t* data_;
    size_t size_;
};

// Places the bytes of one channel, file row 0 first, into the bottom-up pixel rows.
class ChannelSink {
public:
    ChannelSink(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t channelType)
        : pixels_(pixels), width_(width), row_(height), total_(uint64_t(width) * height),
          byte_(3 - channelType)
    {
    }
    bool Full() const { return produced_ >= total_; }
    void Put(uint8_t value)
    {
        if (Full())
            return; // a run may overshoot the image; the excess is dropped
        if (column_ == 0)
            --row_;
        if (pixels_)
            pixels_[(size_t(row_) * width_ + column_) * 4 + byte_] = value;
        if (++column_ == width_)
            column_ = 0;
        ++produced_;
    }

private:
    uint8_t* pixels_;
    uint32_t width_;
    uint32_t row_;
    uint64_t total_;
    uint32_t byte_;
    uint32_t column_ = 0;
    uint64_t produced_ = 0;
};

bool DecodeRunLength(const uint8_t* in, size_t length, ChannelSink* sink)
{
    size_t pos = 0;
    while (!sink->Full()) {
        if (pos >= length)
            return false;
        uint32_t control = in[pos++];
        if (control > 128) {
            if (pos >= length)
                return false;
            uint8_t value = in[pos++];
            for (uint32_t n = control - 128; n > 0; --n)
                sink->Put(value);
        } else if (control < 128) {
            if (control > length - pos)
                return false;
            for (uint32_t n = 0; n < control; ++n)
                sink->Put(in[pos + n]);
            pos += control;
        }
        // control 128 carries no data
    }
    return true;
}

// Walks the four channel blocks; with pixels null it only proves they are sound.
bool DecodeChannels(const Reader& r, const PspLayout& layout, uint8_t* pixels)
{
    const uint64_t total = uint64_t(layout.width) * layout.height;
    size_t pos = layout.firstChannel;
    uint32_t seen = 0;
    for (int channel = 0; channel < 4; ++channel) {
        uint32_t type, infoLength, packedLength, channelType;
        if (!r.IsBlock(pos, &type) || type != kTypeChannel)
            return false;
        const size_t info = pos + kBlockHeaderSize;
        if (!r.U32(info, &infoLength) || !r.U32(info + 4, &packedLength) || !r.U16(info + 14, &channelType))
            return false;
        if (infoLength < kChannelInfoMinimum || channelType > 3 || (seen & (1u << channelType)))
            return false;
        seen |= 1u << channelType;
        size_t dataStart, dataEnd;
        if (!r.Advance(info, infoLength, &dataStart) || !r.Advance(dataStart, packedLength, &dataEnd))
            return false;
        ChannelSink sink(pixels, layout.width, layout.height, channelType);
        if (layout.compression == 0) {
            if (packedLength < total)
                return false;
            const uint8_t* in = r.At(dataStart);
            for (uint64_t k = 0; k < total; ++k)
                sink.Put(in[k]);
        } else if (!DecodeRunLength(r.At(dataStart), packedLength, &sink)) {
            return false;
        }
        pos = dataEnd;
    }
    return true;
}

void Premultiply(uint8_t* pixels, uint64_t count)
{
    for (uint64_t k = 0; k < count; ++k, pixels += 4) {
        const uint32_t alpha = pixels[3];
        for (int c = 0; c < 3; ++c)
            pixels[c] = uint8_t(pixels[c] * alpha / 255);
    }
}

} // namespace

int ParsePsp(const uint8_t* data, size_t size, PspLayout* layout)
{
    if (!data || !layout)
        return 0;
    Reader r(data, size);
    uint32_t major, type, compression, depth, planes, layers;
    if (!r.Has(0, 88) || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return 0;
    // The version is two 16-bit words; only the major one says which block layout follows.
    if (!r.U16(32, &major) || major < 4)
        return 0;
    if (!r.IsBlock(36, &type) || type != kTypeImageAttributes)
        return 0;
    if (!r.U16(67, &compression) || compression > 1)
        return 0;
    if (!r.U16(69, &depth) || depth != 24)
        return 0;
    if (!r.U16(71, &planes) || planes != 1)
        return 0;
    if (!r.U16(86, &layers) || layers != 1)
        return 0;

    // Each step moves at least one block header forward, so the walk ends.
    size_t lengthField = 42, block;
    for (;;) {
        uint32_t length;
        if (!r.U32(lengthField, &length) || !r.Advance(lengthField, uint64_t(length) + 4, &block))
            return 0;
        if (!r.IsBlock(block, &type))
            return 0;
        if (type == kTypeLayerStart)
            break;
        lengthField = block + 6;
    }
    const size_t layer = block + kBlockHeaderSize;
    if (!r.IsBlock(layer, &type) || type != kTypeLayer)
        return 0;

    const size_t info = layer + kBlockHeaderSize;
    uint32_t infoLength, nameLength;
    if (!r.U32(info, &infoLength) || !r.U16(info + 4, &nameLength))
        return 0;
    const uint64_t rectangle = 6 + uint64_t(nameLength) + 1 + 16;
    if (infoLength < rectangle + 16)
        return 0; // the rectangle lies inside its chunk
    int64_t left, top, right, bottom;
    if (!r.S32(info + rectangle, &left) || !r.S32(info + rectangle + 4, &top) ||
        !r.S32(info + rectangle + 8, &right) || !r.S32(info + rectangle + 12, &bottom))
        return 0;
    const int64_t width = right - left, height = bottom - top;
    if (width <= 0 || height <= 0 || width > kPspMaxSide || height > kPspMaxSide)
        return 0;

    size_t bitmapInfo, firstChannel;
    uint32_t bitmapInfoLength, channels;
    if (!r.Advance(info, infoLength, &bitmapInfo) || !r.U32(bitmapInfo, &bitmapInfoLength) ||
        !r.U16(bitmapInfo + 6, &channels) || channels != 4 || bitmapInfoLength < 8 ||
        !r.Advance(bitmapInfo, bitmapInfoLength, &firstChannel))
        return 0;

    PspLayout found;
    found.width = uint32_t(width);
    found.height = uint32_t(height);
    found.compression = compression;
    found.firstChannel = firstChannel;
    if (!DecodeChannels(r, found, nullptr))
        return 0;
    *layout = found;
    return 1;
}

int DecodePsp(const uint8_t* data, size_t size, const PspLayout& layout, uint8_t* pixels, size_t pixelsSize)
{
    if (!data || !pixels || layout.width == 0 || layout.height == 0 || layout.width > kPspMaxSide ||
        layout.height > kPspMaxSide || layout.compression > 1)
        return 0;
    const uint64_t count = uint64_t(layout.width) * layout.height;
    if (pixelsSize < count * 4)
        return 0;
    std::memset(pixels, 0, size_t(count * 4));
    Reader r(data, size);
    if (!DecodeChannels(r, layout, pixels))
        return 0;
    Premultiply(pixels, count);
    return 1;
}
