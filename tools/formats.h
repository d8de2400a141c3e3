// Byte-exact writers for the three file formats the game's resources use: BMP, ICO and RIFF WAVE.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

// 24-bit bottom-up uncompressed bitmap with a 40-byte info header and no colour table.
std::vector<uint8_t> EncodeBmp(const Canvas& canvas);

// One 32 x 32 icon image at 4 bits per pixel. indices: 1024 palette indices, rows top-down;
// transparent: 1024 flags, true where the AND mask lets the desktop show through.
std::vector<uint8_t> EncodeIcon16(const std::vector<uint8_t>& indices,
                                  const std::vector<bool>& transparent);

// The sixteen colours of the standard VGA palette in their Windows order.
extern const Rgb kVgaPalette[16];

// Mono 8-bit 11025 Hz PCM, followed by a LIST/INFO chunk carrying the name and a comment.
std::vector<uint8_t> EncodeWav(const std::vector<uint8_t>& samples, const std::string& name,
                               const std::string& comment);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
