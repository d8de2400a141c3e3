// Building blocks of the sounds: filters, oscillators, noise, voices and the 8-bit finish.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster.h"

// Sounds are built at four times the file's rate, so oscillators and noise alias nowhere near the
// band that survives, then filtered and decimated to 11025 samples per second.
constexpr double kFileRate = 11025.0;
constexpr int kOversample = 4;
constexpr double kRate = kFileRate * kOversample;
constexpr double kPi = 3.14159265358979323846;

using Signal = std::vector<double>;

inline size_t SampleAt(double seconds) { return static_cast<size_t>(seconds * kRate + 0.5); }
inline double TimeOf(size_t sample) { return static_cast<double>(sample) / kRate; }

// Second-order sections after the audio-EQ cookbook; frequencies in Hz.
class Biquad {
public:
    static Biquad LowPass(double freq, double q);
    static Biquad HighPass(double freq, double q);
    static Biquad BandPass(double freq, double q);  // unity gain at the centre
    static Biquad Peaking(double freq, double q, double gainDb);
    // Changes the response but keeps the state, for filters swept while they run.
    void Retune(const Biquad& other);
    double Process(double x);
    void ProcessAll(Signal& signal);

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0, z1_ = 0, z2_ = 0;
};

// A sawtooth with its steps smoothed (polyBLEP), so its harmonics fade out below the sample rate.
class Saw {
public:
    explicit Saw(double phase = 0) : phase_(phase) {}
    double Next(double freq);

private:
    double phase_;
};

// Pink (-3 dB per octave) noise from white, after Paul Kellet's economy filter.
class PinkNoise {
public:
    double Next(double white);

private:
    double b0_ = 0, b1_ = 0, b2_ = 0;
};

// A damped resonance: an impulse into it rings at freq, decaying by 1/e every decay seconds.
class Resonator {
public:
    Resonator(double freq, double decay);
    double Process(double x);

private:
    double c1_, c2_, y1_ = 0, y2_ = 0, gain_;
};

inline double White(Random& random) { return random.Range(-1.0, 1.0); }

// Attack and release are raised-cosine ramps inside [0, length]; t in seconds from the start.
double Envelope(double t, double length, double attack, double release);

// Vowel formants: centre frequency and bandwidth in Hz, relative level.
struct Formant {
    double freq, bandwidth, gain;
};
struct Vowel {
    Formant f[3];
};
extern const Vowel kVowelAh, kVowelAw, kVowelOh, kVowelOo, kVowelEh, kVowelEe;

// One voice of a crowd: a buzzing source gliding in pitch, through formants gliding from one
// vowel to another.
struct CrowdVoice {
    double start = 0, length = 1;           // seconds
    double pitchFrom = 200, pitchTo = 200;  // Hz
    double pitchPeakAt =
        0.0;               // share of the length where the contour turns, 0 for a straight glide
    double pitchPeak = 0;  // Hz at the turn, 0 for none
    Vowel from = kVowelAh, to = kVowelAh;
    double amplitude = 1;
    double breath = 0.1;  // share of noise in the source
    double attack = 0.08, release = 0.2;
    double vibratoRate = 5.5, vibratoDepth = 0.01;  // Hz, share of the pitch
};
void AddVoice(Signal& out, Random& random, const CrowdVoice& voice);

// Decimates to the file rate with a windowed-sinc low pass, keeping exactly count samples.
Signal ToFileRate(const Signal& signal, size_t count);
// Scales so the largest deviation is peakShare of full scale, then writes unsigned 8-bit samples
// (128 is silence; +1 is 127 steps up, -1 is 128 steps down).
std::vector<uint8_t> ToUnsigned8(const Signal& signal, double peakShare);
// tanh saturation that keeps the signal's peak where it was: louder body, rounded peaks.
void SoftClip(Signal& signal, double drive);
void Normalise(Signal& signal, double peak);
