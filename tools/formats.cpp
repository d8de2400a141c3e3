// Byte-exact writers for the three file formats the game's resources use: BMP, ICO and RIFF WAVE.
#include "formats.h"

#include <fstream>
#include <string>

namespace {

// Little-endian output. It grows a string rather than a byte vector only because GCC 12 misreads
// the vector's growth path and warns of overflows that cannot happen.
class ByteWriter {
public:
    void U8(uint32_t v) { bytes_.push_back(static_cast<char>(v & 0xFF)); }
    void U16(uint32_t v) { U8(v), U8(v >> 8); }
    void U32(uint32_t v) { U16(v), U16(v >> 16); }
    void Tag(const char (&fourcc)[5]) { bytes_.append(fourcc, 4); }
    void Bytes(const std::vector<uint8_t>& more) { bytes_.append(more.begin(), more.end()); }
    // RIFF chunks start on even offsets.
    void PadToEven() {
        if (bytes_.size() % 2) U8(0);
    }
    size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t> Get() const { return std::vector<uint8_t>(bytes_.begin(), bytes_.end()); }

private:
    std::string bytes_;
};

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kPixelsPerMetre96Dpi = 3780;

void InfoHeader(ByteWriter& w, int width, int height, int bitCount, uint32_t imageSize,
                uint32_t coloursUsed) {
    w.U32(kInfoHeaderSize);
    w.U32(static_cast<uint32_t>(width));
    w.U32(static_cast<uint32_t>(height));
    w.U16(1);  // planes
    w.U16(static_cast<uint32_t>(bitCount));
    w.U32(kBiRgb);
    w.U32(imageSize);
    w.U32(kPixelsPerMetre96Dpi);
    w.U32(kPixelsPerMetre96Dpi);
    w.U32(coloursUsed);
    w.U32(0);  // all colours important
}

}  // namespace

const Rgb kVgaPalette[16] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

std::vector<uint8_t> EncodeBmp(const Canvas& canvas) {
    const int width = canvas.Width(), height = canvas.Height();
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height);
    const std::vector<uint8_t> rgb = canvas.ToBytes();

    ByteWriter w;
    w.U8('B'), w.U8('M');
    w.U32(kFileHeaderSize + kInfoHeaderSize + imageSize);
    w.U32(0);  // reserved
    w.U32(kFileHeaderSize + kInfoHeaderSize);
    InfoHeader(w, width, height, 24, imageSize, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            w.U8(p[2]), w.U8(p[1]), w.U8(p[0]);
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < stride; ++pad) w.U8(0);
    }
    return w.Get();
}

std::vector<uint8_t> EncodeIcon16(const std::vector<uint8_t>& indices,
                                  const std::vector<bool>& transparent) {
    constexpr int kSide = 32;
    constexpr uint32_t kColourStride = kSide / 2;  // two pixels a byte, already a multiple of 4
    constexpr uint32_t kMaskStride = kSide / 8;    // one bit a pixel, already a multiple of 4
    constexpr uint32_t kImageSize = kSide * (kColourStride + kMaskStride);
    constexpr uint32_t kResourceSize = kInfoHeaderSize + 16 * 4 + kImageSize;
    constexpr uint32_t kDirSize = 6 + 16;

    ByteWriter w;
    w.U16(0);  // reserved
    w.U16(1);  // type: icon
    w.U16(1);  // one image
    w.U8(kSide), w.U8(kSide);
    w.U8(16);  // colours in the palette
    w.U8(0);   // reserved
    w.U16(1);  // planes
    w.U16(4);  // bits per pixel
    w.U32(kResourceSize);
    w.U32(kDirSize);

    // The image's height counts the colour bitmap and the mask stacked.
    InfoHeader(w, kSide, kSide * 2, 4, kImageSize, 16);
    for (const Rgb& c : kVgaPalette) {
        w.U8(static_cast<uint32_t>(c.b)), w.U8(static_cast<uint32_t>(c.g)),
            w.U8(static_cast<uint32_t>(c.r));
        w.U8(0);
    }
    for (int y = kSide - 1; y >= 0; --y)
        for (int x = 0; x < kSide; x += 2) {
            size_t i = static_cast<size_t>(y) * kSide + x;
            // Transparent pixels are black in the colour bitmap: AND, then XOR, keeps the desktop.
            uint32_t hi = transparent[i] ? 0 : indices[i],
                     lo = transparent[i + 1] ? 0 : indices[i + 1];
            w.U8((hi << 4) | (lo & 0xF));
        }
    for (int y = kSide - 1; y >= 0; --y)
        for (int x = 0; x < kSide; x += 8) {
            uint32_t bits = 0;
            for (int b = 0; b < 8; ++b)
                if (transparent[static_cast<size_t>(y) * kSide + x + b]) bits |= 0x80u >> b;
            w.U8(bits);
        }
    return w.Get();
}

std::vector<uint8_t> EncodeWav(const std::vector<uint8_t>& samples, const std::string& name,
                               const std::string& comment) {
    constexpr uint32_t kRate = 11025;
    constexpr uint32_t kWaveFormatPcm = 1;

    ByteWriter info;
    info.Tag("INFO");
    auto text = [&info](const char(&id)[5], const std::string& value) {
        info.Tag(id);
        info.U32(static_cast<uint32_t>(value.size() + 1));  // with its terminating zero
        for (char c : value) info.U8(static_cast<uint8_t>(c));
        info.U8(0);
        info.PadToEven();
    };
    text("INAM", name);
    text("ICMT", comment);
    text("ISFT", "Quorvant asset generator");

    ByteWriter w;
    w.Tag("RIFF");
    w.U32(0);  // patched below
    w.Tag("WAVE");
    w.Tag("fmt ");
    w.U32(16);
    w.U16(kWaveFormatPcm);
    w.U16(1);      // channels
    w.U32(kRate);  // samples per second
    w.U32(kRate);  // bytes per second
    w.U16(1);      // block align
    w.U16(8);      // bits per sample
    w.Tag("data");
    w.U32(static_cast<uint32_t>(samples.size()));
    w.Bytes(samples);
    w.PadToEven();
    w.Tag("LIST");
    w.U32(static_cast<uint32_t>(info.Size()));
    w.Bytes(info.Get());

    std::vector<uint8_t> bytes = w.Get();
    uint32_t riffSize = static_cast<uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
    return bytes;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
