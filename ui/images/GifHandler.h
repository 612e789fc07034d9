#pragma once
// The decoded frames of an animated GIF and the frame the owner shows next.

#include "ui/images/ImageInfo.h"

#include <vector>

namespace SkinUI {

class CGifHandler {
public:
    CGifHandler() = default;
    ~CGifHandler();
    CGifHandler(const CGifHandler&) = delete;
    CGifHandler& operator=(const CGifHandler&) = delete;

    // Takes ownership of the frame.
    void AddFrameInfo(tagTImageInfo* frame);
    int GetFrameCount() const { return static_cast<int>(m_frames.size()); }
    // The frame at the current index; null when there is none or the
    // handler is being destroyed.
    tagTImageInfo* GetCurrentFrameInfo() const;
    // The frame at the current index, then advances (wrapping to 0).
    tagTImageInfo* GetNextFrameInfo();
    tagTImageInfo* GetFrameInfoAt(int index) const;

private:
    std::vector<tagTImageInfo*> m_frames;
    int m_nCurrentFrame = 0;
    bool m_bReleased = false;
};

}  // namespace SkinUI
