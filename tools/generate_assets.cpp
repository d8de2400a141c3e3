// Entry point of the asset generator: writes every bitmap, the icon and the sounds into one folder.
//
// Usage: generate_assets <outdir> [font.ttf]
// The same inputs always give the same bytes: every random choice comes from fixed seeds.
#include <cstdio>
#include <string>

#include "artwork.h"
#include "formats.h"
#include "sounds.h"

#ifndef QUORVANT_FONT_PATH
#define QUORVANT_FONT_PATH "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

namespace {

std::string Numbered(const char* stem, int n, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%02d.%s", stem, n, extension);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <outdir> [font.ttf]\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const std::string fontPath = argc == 3 ? argv[2] : QUORVANT_FONT_PATH;

    bool ok = true;
    auto save = [&ok, &dir](const std::string& name, const std::vector<uint8_t>& bytes) {
        if (!WriteFile(dir + name, bytes)) {
            std::fprintf(stderr, "cannot write %s%s\n", dir.c_str(), name.c_str());
            ok = false;
        }
    };

    try {
        const TextRenderer font(fontPath);
        save("background.bmp", EncodeBmp(MakeBackground()));
        save("closed_box.bmp", EncodeBmp(MakeClosedBox()));
        save("banker_phone.bmp", EncodeBmp(MakeBankerPhone()));
        for (int k = 0; k < kValueCount; ++k) {
            save(Numbered("open_box", k, "bmp"), EncodeBmp(MakeOpenBox(k, font)));
            save(Numbered("plate", k, "bmp"), EncodeBmp(MakePlate(k, font)));
        }
        const IconImage icon = MakeGameIcon(font);
        save("game.ico", EncodeIcon16(icon.indices, icon.transparent));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    for (int n = 0; n < kSoundCount; ++n) {
        const SoundAsset sound = MakeSound(n);
        save("sound_" + std::to_string(n) + ".wav",
             EncodeWav(sound.samples, sound.name, sound.comment));
    }
    return ok ? 0 : 1;
}
