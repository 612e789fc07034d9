#pragma once
// A decoded page picture: 32-bit BGRA pixels, top-down, ready for GDI.

#include <cstdint>
#include <string>
#include <vector>

namespace vxrt {

struct FrameImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB per pixel
};

// Decodes base64 text of a PNG or JPEG picture. False on any malformed
// input (never reads past the data).
bool DecodeFrameImage(const std::string& base64, FrameImage& out);
// Plain base64 decoding; false on characters outside the alphabet.
bool DecodeBase64(const std::string& in, std::string& out);

}  // namespace vxrt
