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

// A rectangle of pixels, right and bottom exclusive.
struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The smallest box holding every pixel in which two pictures of one size
// differ; empty when they are equal or their sizes differ.
PixelBox ChangedBox(const FrameImage& before, const FrameImage& after);
// The union of two boxes (an empty one adds nothing).
PixelBox Union(const PixelBox& a, const PixelBox& b);
// Keeps only the top left width x height pixels of picture (nothing changes
// where it is no larger). The pixels must be width x height of the picture.
void KeepTopLeft(FrameImage& picture, int width, int height);
// Copies part into picture at (x, y). False, and nothing copied, unless part
// lies wholly inside picture.
bool PastePart(FrameImage& picture, int x, int y, const FrameImage& part);

// Decodes base64 text of a PNG or JPEG picture. False on any malformed
// input (never reads past the data).
bool DecodeFrameImage(const std::string& base64, FrameImage& out);
// Plain base64 decoding; false on characters outside the alphabet.
bool DecodeBase64(const std::string& in, std::string& out);

}  // namespace vxrt
