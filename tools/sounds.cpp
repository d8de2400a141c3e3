// The game's ten sounds, synthesised to their described character as 8-bit 11025 Hz samples.
#include "sounds.h"

#include <algorithm>
#include <cmath>

#include "synth.h"

namespace {

double Seconds(size_t fileSamples) { return static_cast<double>(fileSamples) / kFileRate; }

// Gain for a cosine fade from 1 to 0 between two times.
double FadeOut(double t, double from, double to) {
    if (t <= from) return 1;
    if (t >= to) return 0;
    return 0.5 + 0.5 * std::cos(kPi * (t - from) / (to - from));
}

// ---- Instruments --------------------------------------------------------------------------------

// A brass or string section note: detuned sawtooths through a low pass that opens with the attack.
struct SectionNote {
    double start, length, freq, amplitude;
    double brightness = 6;  // cutoff as a multiple of the pitch at the height of the attack
    double settle = 3;      // the same once the note has settled
    double attack = 0.03, release = 0.08;
    int players = 3;
    double vibrato = 0.0;  // share of the pitch, starting after a third of the note
    double bendTo = 0;     // Hz reached at the end, 0 to hold the pitch
};

// The section's voicings.
SectionNote Strings(double start, double length, double freq, double amplitude) {
    SectionNote n{start, length, freq, amplitude};
    n.brightness = 8, n.settle = 6, n.attack = 0.06, n.release = 0.06, n.vibrato = 0.004;
    return n;
}

SectionNote Brass(double start, double length, double freq, double amplitude) {
    SectionNote n{start, length, freq, amplitude};
    n.brightness = 12, n.settle = 7, n.attack = 0.02, n.release = 0.05, n.vibrato = 0.01;
    return n;
}

// Dark and round: trombones and tubas playing softly into their bells.
SectionNote LowBrass(double start, double length, double freq, double amplitude) {
    SectionNote n{start, length, freq, amplitude};
    n.brightness = 5, n.settle = 3, n.attack = 0.012, n.release = 0.05;
    return n;
}

SectionNote Bass(double start, double length, double freq, double amplitude) {
    SectionNote n{start, length, freq, amplitude};
    n.brightness = 8, n.settle = 3, n.attack = 0.005, n.release = 0.04, n.players = 2;
    return n;
}

void AddSectionNote(Signal& out, Random& random, const SectionNote& n) {
    const size_t first = SampleAt(n.start), count = SampleAt(n.length);
    std::vector<Saw> saws;
    std::vector<double> detune;
    for (int p = 0; p < n.players; ++p) {
        saws.emplace_back(random.Uniform());
        detune.push_back(n.players == 1
                             ? 1.0
                             : 1.0 + 0.006 * (p - (n.players - 1) / 2.0) + 0.001 * random.Gauss());
    }
    Biquad filters[2];
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = TimeOf(i);
        if (i % 16 == 0) {
            double opening = std::exp(-t / 0.12);
            double cutoff =
                std::min(n.freq * (n.settle + (n.brightness - n.settle) * opening), 9000.0);
            for (Biquad& f : filters) {
                Biquad tuned = Biquad::LowPass(cutoff, 0.8);
                if (i == 0)
                    f = tuned;
                else
                    f.Retune(tuned);
            }
        }
        double freq = n.bendTo > 0 ? n.freq * std::pow(n.bendTo / n.freq, t / n.length) : n.freq;
        if (t > n.length / 3) freq *= 1 + n.vibrato * std::sin(2 * kPi * 5.5 * t);
        double sum = 0;
        for (size_t p = 0; p < saws.size(); ++p) sum += saws[p].Next(freq * detune[p]);
        double v = filters[1].Process(filters[0].Process(sum / saws.size()));
        out[first + i] += n.amplitude * Envelope(t, n.length, n.attack, n.release) * v;
    }
}

// A kettle drum: a low tone sagging in pitch after the stroke, a skin overtone, a felt thump.
void AddTimpani(Signal& out, Random& random, double start, double freq, double amplitude,
                double decay) {
    const size_t first = SampleAt(start), count = SampleAt(decay * 7);
    Biquad felt = Biquad::LowPass(300, 0.7);
    double phase = 0, overtone = 0;
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = TimeOf(i);
        double f = freq * (1 + 0.12 * std::exp(-t / 0.05));
        phase += 2 * kPi * f / kRate;
        overtone += 2 * kPi * f * 1.5 / kRate;
        double tone = std::sin(phase) + 0.35 * std::sin(overtone) * std::exp(-t / (decay * 0.5));
        double thump = felt.Process(White(random)) * std::exp(-t / 0.02) * 1.5;
        double attack = std::min(1.0, t / 0.002);
        out[first + i] += amplitude * (attack * tone * std::exp(-t / decay) + thump);
    }
}

// A suspended cymbal: bright noise; struck (falling) or rolled (swelling until the end).
void AddCymbal(Signal& out, Random& random, double start, double length, double amplitude,
               bool swell) {
    const size_t first = SampleAt(start), count = SampleAt(length);
    Biquad high = Biquad::HighPass(2500, 0.7), sheen = Biquad::Peaking(5000, 1.0, 6);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = TimeOf(i);
        double level = swell ? 0.15 + 0.85 * std::pow(t / length, 2)
                             : std::exp(-t / 0.8) * std::min(1.0, t / 0.003);
        out[first + i] += amplitude * level * sheen.Process(high.Process(White(random)));
    }
}

// A snare stroke: a short tone of the shell under a burst of the wires.
void AddSnare(Signal& out, Random& random, double start, double amplitude) {
    const size_t first = SampleAt(start), count = SampleAt(0.25);
    Biquad wires = Biquad::BandPass(3000, 0.8);
    double phase = 0;
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = TimeOf(i);
        phase += 2 * kPi * 190 / kRate;
        double shell = std::sin(phase) * std::exp(-t / 0.03);
        double noise = wires.Process(White(random)) * std::exp(-t / 0.06);
        out[first + i] += amplitude * (0.6 * shell + 1.4 * noise) * std::min(1.0, t / 0.001);
    }
}

// One hand clap: a few milliseconds of noise coloured by the cupped hands' resonance.
void AddClap(Signal& out, Random& random, double start, double amplitude, double resonance,
             double q, double decay) {
    const size_t first = SampleAt(start), count = SampleAt(decay * 8);
    Biquad hands = Biquad::BandPass(resonance, q);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = TimeOf(i);
        out[first + i] += amplitude * hands.Process(White(random)) * std::exp(-t / decay);
    }
}

// A two-finger whistle: a breathy sine that swoops up, holds and falls away.
void AddWhistle(Signal& out, Random& random, double start, double length, double freq,
                double amplitude) {
    const size_t first = SampleAt(start), count = SampleAt(length);
    Biquad breath = Biquad::BandPass(freq, 8);
    double phase = 0;
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = TimeOf(i), share = t / length;
        double f = freq * (0.78 + 0.22 * std::min(1.0, share * 5)) *
                   (share > 0.7 ? 1 - 0.25 * (share - 0.7) : 1.0);
        phase += 2 * kPi * f / kRate;
        double v = std::sin(phase) + 0.5 * breath.Process(White(random));
        out[first + i] += amplitude * Envelope(t, length, 0.04, 0.12) * v;
    }
}

// ---- The sounds ---------------------------------------------------------------------------------

// 0: a deep hit: a sagging low tone with two harmonics and a felt thump, silent by about 1.08 s.
Signal DeepHit(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0xB0011);
    Biquad felt = Biquad::LowPass(140, 0.7), feltSteep = Biquad::LowPass(140, 0.7);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = TimeOf(i);
        double f = 55 + 45 * std::exp(-t / 0.06);
        phase += 2 * kPi * f / kRate;
        double body =
            std::sin(phase) + 0.55 * std::sin(2 * phase + 0.4) + 0.2 * std::sin(3 * phase + 1.1);
        double attack = 0.5 - 0.5 * std::cos(kPi * std::min(1.0, t / 0.004));
        double thump = feltSteep.Process(felt.Process(White(random))) * std::exp(-t / 0.03) * 3.0;
        s[i] = (attack * body * std::exp(-t / 0.2) + thump) * FadeOut(t, 0.8, 1.08);
    }
    return s;
}

// 1: the crowd groans: thirty voices sliding down on "aw" and "oh", thinned below 450 Hz so the
// vowel colour carries it, fading over its whole length.
Signal CrowdGroan(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0x6A0A4);
    for (int v = 0; v < 30; ++v) {
        bool high = v % 2 == 0;
        CrowdVoice voice;
        voice.start = random.Range(0.0, 0.18);
        voice.length = seconds - voice.start - random.Range(0.0, 0.2);
        double base = high ? random.Range(210, 300) : random.Range(115, 165);
        voice.pitchFrom = base * 1.05;
        voice.pitchPeak = base * 1.12;
        voice.pitchPeakAt = 0.12;
        voice.pitchTo = base * random.Range(0.68, 0.78);
        voice.from = random.Uniform() < 0.5 ? kVowelAw : kVowelAh;
        voice.to = random.Uniform() < 0.6 ? kVowelOh : kVowelAw;
        voice.amplitude = random.Range(0.5, 1.0);
        voice.breath = 0.18;
        voice.attack = random.Range(0.06, 0.15);
        voice.release = 0.4;
        voice.vibratoDepth = random.Range(0.005, 0.02);
        AddVoice(s, random, voice);
    }
    Biquad::HighPass(450, 0.75).ProcessAll(s);
    Biquad::HighPass(450, 0.75).ProcessAll(s);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = TimeOf(i), share = t / seconds;
        s[i] *= std::min(1.0, t / 0.12) * (1 - share);
    }
    return s;
}

// 2: a murmuring studio audience under soft room air, easing down over its three seconds.
Signal AudienceMurmur(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0xA3B1E);
    const Vowel* vowels[] = {&kVowelAh, &kVowelEh, &kVowelOh, &kVowelEe, &kVowelAw, &kVowelOo};
    for (int talker = 0; talker < 22; ++talker) {
        double base = talker % 2 ? random.Range(190, 260) : random.Range(100, 150);
        for (double t = random.Range(-0.2, 0.2); t < seconds; t += random.Range(0.12, 0.4)) {
            CrowdVoice syllable;
            syllable.start = std::max(0.0, t);
            syllable.length = random.Range(0.1, 0.28);
            syllable.pitchFrom = base * random.Range(0.9, 1.12);
            syllable.pitchTo = base * random.Range(0.85, 1.05);
            syllable.from = *vowels[random.Next() % 6];
            syllable.to = *vowels[random.Next() % 6];
            syllable.amplitude = random.Range(0.2, 0.6);
            syllable.breath = 0.3;
            syllable.attack = 0.03, syllable.release = 0.06;
            AddVoice(s, random, syllable);
        }
    }
    // Room air: pink noise with a little extra hiss from the lights and the ventilation.
    Signal air(s.size());
    PinkNoise pink;
    Biquad low = Biquad::HighPass(150, 0.7), hiss = Biquad::HighPass(2500, 0.7);
    for (double& a : air)
        a = low.Process(pink.Next(White(random))) + 0.4 * hiss.Process(White(random));
    Normalise(s, 1.0);
    Normalise(air, 1.0);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = TimeOf(i);
        double easing = 1.0 - 0.4 * t / seconds;
        s[i] = (0.75 * s[i] + 0.7 * air[i]) * easing * Envelope(t, seconds, 0.08, 0.12);
    }
    return s;
}

// 3: an electromechanical bell: a clapper driven at 20 Hz strikes two gongs in turn for 1.5 s,
// then they ring on and die away.
Signal TelephoneRing(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0x7E1E);
    struct Mode {
        double freq, decay, weight;
    };
    const Mode gongs[2][4] = {
        {{1390, 0.30, 0.55}, {2090, 0.26, 1.0}, {2860, 0.18, 0.5}, {3620, 0.13, 0.3}},
        {{1470, 0.30, 0.5}, {2210, 0.26, 0.95}, {3010, 0.18, 0.45}, {3800, 0.13, 0.25}},
    };
    std::vector<Resonator> modes[2];
    for (int g = 0; g < 2; ++g)
        for (const Mode& m : gongs[g]) modes[g].emplace_back(m.freq, m.decay);

    constexpr double kStrikeInterval =
        1.0 / 40;  // the armature swings at 20 Hz and hits a gong each way
    constexpr double kRingingFor = 1.52;
    std::vector<double> strikes[2];
    for (int k = 0; k * kStrikeInterval < kRingingFor; ++k)
        strikes[k % 2].push_back(k * kStrikeInterval + 0.0012 * random.Gauss() + 0.002);

    Biquad tick = Biquad::BandPass(3200, 1.5);
    size_t next[2] = {0, 0};
    double clack = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = TimeOf(i), v = 0;
        for (int g = 0; g < 2; ++g) {
            double strike = 0;
            if (next[g] < strikes[g].size() && t >= strikes[g][next[g]]) {
                strike = random.Range(0.8, 1.1);
                clack = 0.25;
                ++next[g];
            }
            for (size_t m = 0; m < modes[g].size(); ++m)
                v += gongs[g][m].weight * modes[g][m].Process(strike);
        }
        v += tick.Process(White(random)) * clack;
        clack *= 0.995;
        s[i] = v * Envelope(t, seconds, 0.0, 0.15);
    }
    return s;
}

// 4 and 5: the audience cheers: dense applause, shouts of "yeah", "hey" and "woo", a few whistles;
// steady until steadyUntil, then fading out.
Signal AudienceCheer(double seconds, double steadyUntil, uint64_t seed) {
    Signal claps(SampleAt(seconds)), voices(claps.size()), whistles(claps.size());
    Random random(seed);
    for (int clapper = 0; clapper < 110; ++clapper) {
        double rate = random.Range(3.2, 5.2), strength = random.Range(0.4, 1.0);
        double resonance = random.Range(1100, 3300), q = random.Range(1.2, 3.0);
        for (double t = random.Range(0.0, 1.0 / rate); t < seconds;
             t += (1 + 0.1 * random.Gauss()) / rate)
            AddClap(claps, random, t, strength * random.Range(0.7, 1.0),
                    resonance * random.Range(0.95, 1.05), q, random.Range(0.002, 0.005));
    }
    struct Shout {
        const Vowel *from, *to;
    };
    const Shout shouts[] = {{&kVowelEe, &kVowelAh},
                            {&kVowelEh, &kVowelEe},
                            {&kVowelOo, &kVowelOo},
                            {&kVowelEh, &kVowelAh}};
    for (int person = 0; person < 36; ++person) {
        bool high = person % 2 == 0;
        for (double t = random.Range(0.0, 0.35); t < steadyUntil; t += random.Range(0.6, 1.4)) {
            const Shout& shout = shouts[random.Next() % 4];
            CrowdVoice voice;
            voice.start = t;
            voice.length = random.Range(0.45, 1.1);
            double base = high ? random.Range(330, 480) : random.Range(190, 290);
            voice.pitchFrom = base * 0.9;
            voice.pitchPeak = base * 1.25;
            voice.pitchPeakAt = 0.3;
            voice.pitchTo = base * 0.85;
            voice.from = *shout.from, voice.to = *shout.to;
            voice.amplitude = random.Range(0.4, 1.0);
            voice.breath = 0.3;
            voice.attack = 0.05, voice.release = 0.2;
            voice.vibratoDepth = 0.012;
            AddVoice(voices, random, voice);
        }
    }
    for (int w = 0; w < 3; ++w)
        AddWhistle(whistles, random, random.Range(0.2, steadyUntil - 1.0), random.Range(0.5, 0.9),
                   random.Range(2300, 3000), 1.0);
    Normalise(claps, 1.0);
    Normalise(voices, 1.0);
    Normalise(whistles, 1.0);
    Signal s(claps.size());
    for (size_t i = 0; i < s.size(); ++i) {
        double t = TimeOf(i);
        double level = std::min(1.0, t / 0.15) * FadeOut(t, steadyUntil, seconds - 0.02);
        s[i] = level * (claps[i] + 0.4 * voices[i] + 0.12 * whistles[i]);
    }
    SoftClip(s, 1.6);
    return s;
}

// 6: a muted brass "uh-oh": a short falling step held, then fading after half a second.
Signal BrassUhOh(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0x0B0E);
    SectionNote uh = LowBrass(0.0, 0.27, 392.0, 1.0);
    uh.brightness = 4, uh.settle = 2.6, uh.release = 0.03;
    SectionNote oh = LowBrass(0.25, seconds - 0.25, 311.1, 1.0);
    oh.brightness = 4, oh.settle = 2.4, oh.attack = 0.03, oh.vibrato = 0.012, oh.bendTo = 290.0;
    AddSectionNote(s, random, uh);
    AddSectionNote(s, random, oh);
    Biquad mute = Biquad::Peaking(650, 1.4, 6), low = Biquad::LowPass(1100, 0.7),
           sub = Biquad::HighPass(240, 0.7);
    for (double& v : s) v = sub.Process(low.Process(mute.Process(v)));
    for (size_t i = 0; i < s.size(); ++i) {
        double t = TimeOf(i);
        s[i] *= t < 0.5 ? 1.0 : std::pow(1 - (t - 0.5) / (seconds - 0.5), 1.6);
    }
    SoftClip(s, 1.8);
    return s;
}

// 7: the title theme: a driving bass, brass over strings from D minor through B flat and C to a
// D major chord held loud to the last sample, timpani and cymbals.
Signal TitleTheme(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0x7171E);
    const double beat = 0.5;
    struct Chord {
        double at, until;
        double bass;
        std::vector<double> tones;
    };
    const Chord chords[] = {
        {0, 4, 73.42, {146.83, 174.61, 220.00, 293.66}},
        {4, 6, 58.27, {116.54, 146.83, 174.61, 233.08}},
        {6, 8, 65.41, {130.81, 164.81, 196.00, 261.63}},
        {8, 99, 73.42, {146.83, 185.00, 220.00, 293.66}},
    };
    for (const Chord& c : chords) {
        double start = c.at * beat, end = std::min(c.until * beat, seconds);
        for (double tone : c.tones)
            AddSectionNote(s, random, Strings(start, end - start + 0.02, tone, 0.2));
        // Bass in quavers, the third of each four an octave up for drive.
        int step = 0;
        for (double t = start; t < end - 0.01; t += beat / 2, ++step) {
            double f = step % 4 == 2 ? c.bass * 2 : c.bass;
            double len = std::min(beat / 2, end - t);
            AddSectionNote(s, random, Bass(t, len, f, 0.4));
        }
    }
    struct Note {
        double at, beats, freq;
    };
    const Note melody[] = {
        {0, 1.5, 293.66},   {1.5, 0.5, 440.00}, {2, 1, 587.33},     {3, 0.5, 523.25},
        {3.5, 0.5, 440.00}, {4, 1.5, 466.16},   {5.5, 0.5, 349.23}, {6, 1, 392.00},
        {7, 0.5, 440.00},   {7.5, 0.5, 523.25}, {8, 99, 587.33},
    };
    for (const Note& n : melody) {
        double start = n.at * beat, length = std::min(n.beats * beat, seconds - start);
        AddSectionNote(s, random, Brass(start, length + 0.01, n.freq, 0.4));
        // A second, smaller brass part doubles the tune a sixth below.
        SectionNote lower = Brass(start, length + 0.01, n.freq * 0.5946, 0.22);
        lower.brightness = 10, lower.settle = 6, lower.players = 2, lower.vibrato = 0.008;
        AddSectionNote(s, random, lower);
    }
    for (double at : {0.0, 4.0, 6.0, 8.0})
        AddTimpani(s, random, at * beat, at == 6.0 ? 65.41 : 73.42, 0.7, 0.35);
    for (double at : {1.0, 3.0, 5.0, 7.0}) AddSnare(s, random, at * beat, 0.5);
    // A timpani roll and a cymbal swell carry the final chord to the end without letting it fall.
    for (double t = 9 * beat; t < seconds; t += 0.07)
        AddTimpani(s, random, t, 73.42, 0.2 + 0.25 * (t - 9 * beat) / (seconds - 9 * beat), 0.2);
    AddCymbal(s, random, 0.0, 1.8, 0.5, false);
    AddCymbal(s, random, 4 * beat, 1.0, 0.3, false);
    AddCymbal(s, random, 8 * beat, 1.0, 0.45, false);
    AddCymbal(s, random, 8 * beat, seconds - 8 * beat, 0.4, true);
    SoftClip(s, 1.8);
    for (size_t i = 0; i < s.size(); ++i) s[i] *= Envelope(TimeOf(i), seconds, 0.003, 0.008);
    return s;
}

// 8: the prompt: two low brass calls over timpani, short then long.
Signal BrassPrompt(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0x9807);
    struct Call {
        double start, length;
        std::vector<double> tones;
        double drum;
    };
    const Call calls[] = {
        {0.0, 0.32, {98.0, 146.83, 196.0}, 98.0},
        {0.38, 0.66, {130.81, 196.0, 261.63}, 130.81},
    };
    for (const Call& c : calls) {
        for (double tone : c.tones)
            AddSectionNote(s, random, LowBrass(c.start, c.length, tone, 0.5));
        AddTimpani(s, random, c.start, c.drum, 0.8, 0.12);
    }
    // Two sections: 24 dB an octave above 600 Hz keeps the calls low and round.
    Biquad::LowPass(600, 0.7).ProcessAll(s);
    Biquad::LowPass(600, 0.7).ProcessAll(s);
    SoftClip(s, 2.2);
    return s;
}

// 9: the receiver lifted: a hard plastic clack, a second smaller one as it clears the cradle, and
// the bell's single ting as the line is taken.
Signal ReceiverLifted(double seconds) {
    Signal s(SampleAt(seconds));
    Random random(0x11F7);
    struct Mode {
        double freq, decay, weight;
    };
    const Mode shell[] = {{210, 0.03, 0.6},
                          {430, 0.04, 1.0},
                          {770, 0.035, 0.9},
                          {1190, 0.03, 0.7},
                          {1680, 0.02, 0.5}};
    for (auto [at, strength] : {std::pair{0.004, 1.0}, {0.045, 0.6}}) {
        std::vector<Resonator> modes;
        for (const Mode& m : shell) modes.emplace_back(m.freq * random.Range(0.97, 1.03), m.decay);
        const size_t first = SampleAt(at), count = SampleAt(0.3);
        for (size_t i = 0; i < count && first + i < s.size(); ++i) {
            double t = TimeOf(i);
            double hit = t < 0.0015 ? White(random) * strength * 0.08 : 0.0;
            double v = 0;
            for (size_t m = 0; m < modes.size(); ++m) v += shell[m].weight * modes[m].Process(hit);
            s[first + i] += v;
        }
    }
    Resonator ting1(1390, 0.12), ting2(1470, 0.1);
    const size_t tingAt = SampleAt(0.01);
    for (size_t i = tingAt; i < s.size(); ++i) {
        double kick = i == tingAt ? 0.7 : 0.0;
        s[i] += 0.07 * (ting1.Process(kick) + 0.8 * ting2.Process(kick));
    }
    for (size_t i = 0; i < s.size(); ++i) s[i] *= FadeOut(TimeOf(i), 0.3, 0.4);
    return s;
}

struct Recipe {
    const char* name;
    const char* comment;
    size_t samples;
    double peak;  // share of full scale
    Signal (*make)(double seconds);
};

Signal MildCheer(double seconds) { return AudienceCheer(seconds, 2.3, 0xC4EE4); }
Signal BigCheer(double seconds) { return AudienceCheer(seconds, 2.7, 0xC4EE5); }

const Recipe kRecipes[kSoundCount] = {
    {"SOUND_REVEAL", "a deep hit", 16608, 0.90, DeepHit},
    {"SOUND_BAD", "the audience groans", 22529, 0.80, CrowdGroan},
    {"SOUND_AMBIENT", "the audience murmurs", 33217, 0.22, AudienceMurmur},
    {"SOUND_RING", "the banker's telephone rings", 28736, 0.23, TelephoneRing},
    {"SOUND_GOOD_MILD", "the audience cheers", 33920, 1.00, MildCheer},
    {"SOUND_GOOD", "the audience cheers long", 38144, 1.00, BigCheer},
    {"SOUND_BAD_MILD", "uh-oh", 11648, 0.98, BrassUhOh},
    {"SOUND_TITLE", "the title theme", 64148, 0.88, TitleTheme},
    {"SOUND_PROMPT", "the call to answer the banker", 11936, 0.98, BrassPrompt},
    {"SOUND_RING_END", "the receiver is lifted", 4408, 0.95, ReceiverLifted},
};

}  // namespace

SoundAsset MakeSound(int n) {
    const Recipe& r = kRecipes[n];
    Signal built = r.make(Seconds(r.samples));
    built.resize(r.samples * kOversample, 0.0);
    return {r.name, r.comment, ToUnsigned8(ToFileRate(built, r.samples), r.peak)};
}
