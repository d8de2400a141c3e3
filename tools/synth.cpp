// Building blocks of the sounds: filters, oscillators, noise, voices and the 8-bit finish.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

struct Coefficients {
    double b0, b1, b2, a0, a1, a2;
};

double Omega(double freq) { return 2 * kPi * freq / kRate; }

double Interpolate(double a, double b, double t) { return a + (b - a) * t; }

// Smooth start and finish of a glide, t in [0, 1].
double Ease(double t) { return t * t * (3 - 2 * t); }

}  // namespace

Biquad Biquad::LowPass(double freq, double q) {
    double w = Omega(freq), c = std::cos(w), alpha = std::sin(w) / (2 * q);
    Biquad f;
    double a0 = 1 + alpha;
    f.b0_ = (1 - c) / 2 / a0, f.b1_ = (1 - c) / a0, f.b2_ = (1 - c) / 2 / a0;
    f.a1_ = -2 * c / a0, f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::HighPass(double freq, double q) {
    double w = Omega(freq), c = std::cos(w), alpha = std::sin(w) / (2 * q);
    Biquad f;
    double a0 = 1 + alpha;
    f.b0_ = (1 + c) / 2 / a0, f.b1_ = -(1 + c) / a0, f.b2_ = (1 + c) / 2 / a0;
    f.a1_ = -2 * c / a0, f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::BandPass(double freq, double q) {
    double w = Omega(freq), c = std::cos(w), alpha = std::sin(w) / (2 * q);
    Biquad f;
    double a0 = 1 + alpha;
    f.b0_ = alpha / a0, f.b1_ = 0, f.b2_ = -alpha / a0;
    f.a1_ = -2 * c / a0, f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::Peaking(double freq, double q, double gainDb) {
    double w = Omega(freq), c = std::cos(w), alpha = std::sin(w) / (2 * q);
    double a = std::pow(10.0, gainDb / 40);
    Biquad f;
    double a0 = 1 + alpha / a;
    f.b0_ = (1 + alpha * a) / a0, f.b1_ = -2 * c / a0, f.b2_ = (1 - alpha * a) / a0;
    f.a1_ = -2 * c / a0, f.a2_ = (1 - alpha / a) / a0;
    return f;
}

void Biquad::Retune(const Biquad& other) {
    b0_ = other.b0_, b1_ = other.b1_, b2_ = other.b2_, a1_ = other.a1_, a2_ = other.a2_;
}

double Biquad::Process(double x) {
    double y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return y;
}

void Biquad::ProcessAll(Signal& signal) {
    for (double& s : signal) s = Process(s);
}

double Saw::Next(double freq) {
    double dt = freq / kRate;
    double value = 2 * phase_ - 1;
    // Subtract the residual of an ideal step spread over the two samples around each wrap.
    if (phase_ < dt) {
        double t = phase_ / dt;
        value -= t + t - t * t - 1;
    } else if (phase_ > 1 - dt) {
        double t = (phase_ - 1) / dt;
        value -= t * t + t + t + 1;
    }
    phase_ += dt;
    if (phase_ >= 1) phase_ -= 1;
    return value;
}

double PinkNoise::Next(double white) {
    b0_ = 0.99765 * b0_ + white * 0.0990460;
    b1_ = 0.96300 * b1_ + white * 0.2965164;
    b2_ = 0.57000 * b2_ + white * 1.0526913;
    return (b0_ + b1_ + b2_ + white * 0.1848) * 0.25;
}

Resonator::Resonator(double freq, double decay) {
    double r = std::exp(-1.0 / (decay * kRate));
    double w = Omega(freq);
    c1_ = 2 * r * std::cos(w);
    c2_ = -r * r;
    // An impulse of 1 rings at amplitude 1.
    gain_ = std::sin(w);
}

double Resonator::Process(double x) {
    double y = c1_ * y1_ + c2_ * y2_ + gain_ * x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

double Envelope(double t, double length, double attack, double release) {
    if (t < 0 || t > length) return 0;
    double gain = 1;
    if (attack > 0 && t < attack) gain *= 0.5 - 0.5 * std::cos(kPi * t / attack);
    if (release > 0 && t > length - release)
        gain *= 0.5 - 0.5 * std::cos(kPi * (length - t) / release);
    return gain;
}

const Vowel kVowelAh{{{800, 90, 1.0}, {1200, 110, 0.55}, {2600, 160, 0.2}}};
const Vowel kVowelAw{{{620, 80, 1.0}, {960, 100, 0.55}, {2500, 160, 0.15}}};
const Vowel kVowelOh{{{500, 80, 1.0}, {860, 100, 0.45}, {2450, 160, 0.12}}};
const Vowel kVowelOo{{{340, 70, 1.0}, {820, 90, 0.3}, {2300, 150, 0.1}}};
const Vowel kVowelEh{{{600, 80, 1.0}, {1850, 120, 0.55}, {2650, 160, 0.3}}};
const Vowel kVowelEe{{{300, 60, 1.0}, {2250, 130, 0.5}, {3000, 180, 0.35}}};

void AddVoice(Signal& out, Random& random, const CrowdVoice& v) {
    const size_t first = SampleAt(v.start);
    const size_t count = SampleAt(v.length);
    Saw source(random.Uniform());
    Biquad tilt = Biquad::LowPass(900.0, 0.6);  // a glottal pulse loses about 12 dB an octave
    Biquad formants[3];
    Biquad breathColour = Biquad::HighPass(400.0, 0.7);
    const double vibratoPhase = random.Range(0.0, 2 * kPi);
    double wander = 0;  // slow random drift of the pitch, share of it
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = TimeOf(i), share = t / v.length;
        if (i % 32 == 0) {
            // Formants glide with an ease-in-out between the two vowels.
            double mix = Ease(share);
            for (int k = 0; k < 3; ++k) {
                double freq = Interpolate(v.from.f[k].freq, v.to.f[k].freq, mix);
                double bw = Interpolate(v.from.f[k].bandwidth, v.to.f[k].bandwidth, mix);
                Biquad tuned = Biquad::BandPass(freq, freq / bw);
                if (i == 0)
                    formants[k] = tuned;
                else
                    formants[k].Retune(tuned);
            }
            wander = 0.995 * wander + 0.002 * random.Gauss();
        }
        double pitch;
        if (v.pitchPeak > 0 && share < v.pitchPeakAt)
            pitch = v.pitchFrom * std::pow(v.pitchPeak / v.pitchFrom, Ease(share / v.pitchPeakAt));
        else if (v.pitchPeak > 0)
            pitch = v.pitchPeak * std::pow(v.pitchTo / v.pitchPeak,
                                           (share - v.pitchPeakAt) / (1 - v.pitchPeakAt));
        else
            pitch = v.pitchFrom * std::pow(v.pitchTo / v.pitchFrom, share);
        pitch *= 1 + v.vibratoDepth * std::sin(2 * kPi * v.vibratoRate * t + vibratoPhase) + wander;
        double buzz = tilt.Process(source.Next(pitch));
        double noise = breathColour.Process(White(random));
        double excitation = buzz * (1 - v.breath) + noise * v.breath;
        double mix = 0;
        for (int k = 0; k < 3; ++k) {
            double gain = Interpolate(v.from.f[k].gain, v.to.f[k].gain, Ease(share));
            mix += gain * formants[k].Process(excitation);
        }
        out[first + i] += v.amplitude * Envelope(t, v.length, v.attack, v.release) * mix;
    }
}

Signal ToFileRate(const Signal& signal, size_t count) {
    // Blackman-windowed sinc: flat to about 4.4 kHz, well down by the new Nyquist, 5.5 kHz.
    constexpr int kTaps = 255;
    constexpr double kCutoff = 4900.0 / kRate;
    static const std::vector<double> kernel = [] {
        std::vector<double> h(kTaps);
        double sum = 0;
        for (int i = 0; i < kTaps; ++i) {
            double m = i - (kTaps - 1) / 2.0;
            double sinc = m == 0 ? 2 * kCutoff : std::sin(2 * kPi * kCutoff * m) / (kPi * m);
            double window = 0.42 - 0.5 * std::cos(2 * kPi * i / (kTaps - 1)) +
                            0.08 * std::cos(4 * kPi * i / (kTaps - 1));
            h[i] = sinc * window;
            sum += h[i];
        }
        for (double& v : h) v /= sum;
        return h;
    }();
    Signal out(count, 0.0);
    const long half = (kTaps - 1) / 2;
    for (size_t n = 0; n < count; ++n) {
        long centre = static_cast<long>(n) * kOversample;
        double acc = 0;
        for (int k = 0; k < kTaps; ++k) {
            long j = centre + k - half;
            if (j >= 0 && j < static_cast<long>(signal.size())) acc += kernel[k] * signal[j];
        }
        out[n] = acc;
    }
    return out;
}

void Normalise(Signal& signal, double peak) {
    double largest = 0;
    for (double s : signal) largest = std::max(largest, std::fabs(s));
    if (largest > 0)
        for (double& s : signal) s *= peak / largest;
}

void SoftClip(Signal& signal, double drive) {
    Normalise(signal, 1.0);
    const double scale = 1.0 / std::tanh(drive);
    for (double& s : signal) s = std::tanh(drive * s) * scale;
}

std::vector<uint8_t> ToUnsigned8(const Signal& signal, double peakShare) {
    Signal scaled = signal;
    Normalise(scaled, peakShare);
    std::vector<uint8_t> out;
    out.reserve(scaled.size());
    for (double s : scaled) {
        long level = 128 + std::lround(s >= 0 ? s * 127 : s * 128);
        out.push_back(static_cast<uint8_t>(std::clamp(level, 0L, 255L)));
    }
    return out;
}
