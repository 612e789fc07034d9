#include "ui/images/GifHandler.h"

#include "ui/images/ImageDecoder.h"

namespace SkinUI {

CGifHandler::~CGifHandler()
{
    // Owners may still ask for a frame while the handler is torn down.
    m_bReleased = true;
    for (tagTImageInfo* frame : m_frames) CImageDecoder::FreeImage(frame);
    m_frames.clear();
}

void CGifHandler::AddFrameInfo(tagTImageInfo* frame)
{
    if (frame) m_frames.push_back(frame);
}

tagTImageInfo* CGifHandler::GetFrameInfoAt(int index) const
{
    if (m_bReleased || index < 0 || index >= GetFrameCount()) return nullptr;
    return m_frames[index];
}

tagTImageInfo* CGifHandler::GetCurrentFrameInfo() const { return GetFrameInfoAt(m_nCurrentFrame); }

tagTImageInfo* CGifHandler::GetNextFrameInfo()
{
    tagTImageInfo* frame = GetFrameInfoAt(m_nCurrentFrame);
    if (frame) m_nCurrentFrame = (m_nCurrentFrame + 1) % GetFrameCount();
    return frame;
}

}  // namespace SkinUI
