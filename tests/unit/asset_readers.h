// Readers of the generated bitmaps, icon and sounds, and the level and spectrum measures of them.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace asset_readers {

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

inline uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? b[at] | (b[at + 1] << 8) : 0;
}
inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? U16(b, at) | (U16(b, at + 2) << 16) : 0;
}
inline std::string Tag(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? std::string(b.begin() + at, b.begin() + at + 4) : std::string();
}

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A BMP file as stored: its header fields, and its pixels top-down when the header allows.
struct Bitmap {
    size_t fileSize = 0;
    std::string signature;
    uint32_t declaredFileSize = 0, pixelOffset = 0, infoSize = 0;
    int32_t width = 0, height = 0;
    uint32_t planes = 0, bitCount = 0, compression = 0, coloursUsed = 0;
    std::vector<Rgb> pixels;  // empty unless 24 bpp, uncompressed and complete

    bool Decoded() const { return !pixels.empty(); }
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    size_t Stride() const { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }
};

inline Bitmap ReadBitmap(const std::string& path) {
    const std::vector<uint8_t> b = ReadBytes(path);
    Bitmap bmp;
    bmp.fileSize = b.size();
    if (b.size() < 54) return bmp;
    bmp.signature = std::string(b.begin(), b.begin() + 2);
    bmp.declaredFileSize = U32(b, 2);
    bmp.pixelOffset = U32(b, 10);
    bmp.infoSize = U32(b, 14);
    bmp.width = static_cast<int32_t>(U32(b, 18));
    bmp.height = static_cast<int32_t>(U32(b, 22));
    bmp.planes = U16(b, 26);
    bmp.bitCount = U16(b, 28);
    bmp.compression = U32(b, 30);
    bmp.coloursUsed = U32(b, 46);
    if (bmp.bitCount != 24 || bmp.compression != 0 || bmp.width <= 0 || bmp.height <= 0) return bmp;
    if (bmp.pixelOffset + bmp.Stride() * bmp.height > b.size()) return bmp;
    bmp.pixels.resize(static_cast<size_t>(bmp.width) * bmp.height);
    // Rows are stored bottom-up, each pixel blue, green, red.
    for (int y = 0; y < bmp.height; ++y) {
        size_t row = bmp.pixelOffset + bmp.Stride() * (bmp.height - 1 - y);
        for (int x = 0; x < bmp.width; ++x) {
            size_t p = row + 3 * static_cast<size_t>(x);
            bmp.pixels[static_cast<size_t>(y) * bmp.width + x] = {b[p + 2], b[p + 1], b[p]};
        }
    }
    return bmp;
}

// A RIFF WAVE file: its chunk sequence and format fields, and the data chunk's bytes.
struct Wave {
    size_t fileSize = 0;
    std::string riff, wave;
    uint32_t riffSize = 0;
    std::vector<std::string> chunks;  // ids in file order
    bool chunksFitFile =
        false;  // every chunk, with its pad byte, ends inside the file and the last at its end
    uint32_t fmtSize = 0, formatTag = 0, channels = 0, rate = 0, byteRate = 0, blockAlign = 0,
             bitsPerSample = 0;
    std::vector<uint8_t> samples;
    std::string listType;  // the form of the LIST chunk, e.g. INFO
};

inline Wave ReadWave(const std::string& path) {
    const std::vector<uint8_t> b = ReadBytes(path);
    Wave w;
    w.fileSize = b.size();
    if (b.size() < 12) return w;
    w.riff = Tag(b, 0);
    w.riffSize = U32(b, 4);
    w.wave = Tag(b, 8);
    size_t at = 12;
    w.chunksFitFile = true;
    while (at + 8 <= b.size()) {
        const std::string id = Tag(b, at);
        const uint32_t size = U32(b, at + 4);
        const size_t body = at + 8;
        if (body + size > b.size()) {
            w.chunksFitFile = false;
            break;
        }
        w.chunks.push_back(id);
        if (id == "fmt ") {
            w.fmtSize = size;
            w.formatTag = U16(b, body);
            w.channels = U16(b, body + 2);
            w.rate = U32(b, body + 4);
            w.byteRate = U32(b, body + 8);
            w.blockAlign = U16(b, body + 12);
            w.bitsPerSample = U16(b, body + 14);
        } else if (id == "data") {
            w.samples.assign(b.begin() + body, b.begin() + body + size);
        } else if (id == "LIST") {
            w.listType = Tag(b, body);
        }
        // Chunks start on even offsets: an odd-sized body is followed by a pad byte.
        at = body + size + (size & 1);
    }
    if (at != b.size()) w.chunksFitFile = false;
    return w;
}

// ---- Level measures on 8-bit unsigned samples ---------------------------------------------------

constexpr double kSampleRate = 11025.0;

// Largest deviation from silence (128) as a share of full scale: 127 steps up, 128 down.
inline double PeakShare(const std::vector<uint8_t>& s) {
    double peak = 0;
    for (uint8_t v : s) peak = std::max(peak, v >= 128 ? (v - 128) / 127.0 : (128 - v) / 128.0);
    return peak;
}

inline std::vector<double> Centred(const std::vector<uint8_t>& s) {
    std::vector<double> x(s.size());
    for (size_t i = 0; i < s.size(); ++i) x[i] = (s[i] - 128) / 128.0;
    return x;
}

// Root mean square between two times in seconds, clipped to the signal.
inline double Rms(const std::vector<double>& x, double from, double to) {
    size_t a = std::min(x.size(), static_cast<size_t>(std::max(0.0, from) * kSampleRate));
    size_t b = std::min(x.size(), static_cast<size_t>(std::max(0.0, to) * kSampleRate));
    if (b <= a) return 0;
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += x[i] * x[i];
    return std::sqrt(sum / static_cast<double>(b - a));
}

// Stretches where the level, measured in frames of the given seconds, stays at or above
// threshold times the loudest frame's. A frame should span a few cycles of the lowest pitch, or
// the level flickers.
struct Burst {
    double start, end;  // seconds
};
inline std::vector<Burst> Bursts(const std::vector<double>& x, double threshold,
                                 double frame = 0.025) {
    const double kFrame = frame;
    const size_t frames = static_cast<size_t>(x.size() / (kFrame * kSampleRate));
    std::vector<double> level(frames);
    for (size_t f = 0; f < frames; ++f) level[f] = Rms(x, f * kFrame, (f + 1) * kFrame);
    const double loudest = level.empty() ? 0 : *std::max_element(level.begin(), level.end());
    std::vector<Burst> bursts;
    bool inside = false;
    for (size_t f = 0; f < frames; ++f) {
        bool loud = level[f] >= threshold * loudest;
        if (loud && !inside) bursts.push_back({f * kFrame, 0});
        if (!loud && inside) bursts.back().end = f * kFrame;
        inside = loud;
    }
    if (inside) bursts.back().end = frames * kFrame;
    return bursts;
}

// ---- Spectrum -----------------------------------------------------------------------------------

// In-place iterative radix-2 transform; the size must be a power of two.
inline void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * 3.14159265358979323846 / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (size_t k = 0; k < len / 2; ++k) {
                std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

// Average power spectrum over half-overlapping Hann-windowed frames (Welch's method).
struct Spectrum {
    double binWidth = 0;        // Hz
    std::vector<double> power;  // bins 0 .. frameSize / 2
};

inline Spectrum PowerSpectrum(const std::vector<double>& x, size_t frameSize = 1024) {
    Spectrum s;
    s.binWidth = kSampleRate / static_cast<double>(frameSize);
    s.power.assign(frameSize / 2 + 1, 0.0);
    std::vector<std::complex<double>> frame(frameSize);
    for (size_t start = 0; start + frameSize <= x.size(); start += frameSize / 2) {
        for (size_t i = 0; i < frameSize; ++i) {
            double hann = 0.5 - 0.5 * std::cos(2 * 3.14159265358979323846 * i / (frameSize - 1));
            frame[i] = x[start + i] * hann;
        }
        Fft(frame);
        for (size_t k = 0; k < s.power.size(); ++k) s.power[k] += std::norm(frame[k]);
    }
    return s;
}

// Share of the power, the steady (0 Hz) bin left out, that lies in [lo, hi) Hz.
inline double BandShare(const Spectrum& s, double lo, double hi) {
    double in = 0, total = 0;
    for (size_t k = 1; k < s.power.size(); ++k) {
        double f = k * s.binWidth;
        total += s.power[k];
        if (f >= lo && f < hi) in += s.power[k];
    }
    return total > 0 ? in / total : 0;
}

// Power-weighted mean frequency in Hz.
inline double Centroid(const Spectrum& s) {
    double moment = 0, total = 0;
    for (size_t k = 1; k < s.power.size(); ++k) {
        moment += k * s.binWidth * s.power[k];
        total += s.power[k];
    }
    return total > 0 ? moment / total : 0;
}

}  // namespace asset_readers
