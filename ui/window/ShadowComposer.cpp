#include "ui/window/ShadowComposer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace SkinUI {

namespace {

// Writes `value` into columns [from, to) of one row, clipped to the row.
void FillColumns(uint32_t* row, int width, int from, int to, uint32_t value)
{
    from = std::max(from, 0);
    to = std::min(to, width);
    for (int x = from; x < to; ++x) row[x] = value;
}

}  // namespace

ShadowComposer::ShadowComposer(const ShadowParams& params) : m_params(params)
{
    m_params.darkness = std::clamp(m_params.darkness, 0, 255);
    m_params.sharpness = std::max(m_params.sharpness, 0);
    m_full = Premultiplied(m_params.darkness);
    BuildKernel();
}

uint32_t ShadowComposer::Premultiplied(int alpha) const
{
    const uint32_t a = static_cast<uint32_t>(alpha);
    const uint32_t red = m_params.color & 0xFF;
    const uint32_t green = (m_params.color >> 8) & 0xFF;
    const uint32_t blue = (m_params.color >> 16) & 0xFF;
    return (a << 24) | ((red * a / 255) << 16) | ((green * a / 255) << 8) | (blue * a / 255);
}

uint32_t ShadowComposer::KernelPixel(int dx, int dy) const
{
    const int squared = dx * dx + dy * dy;
    if (squared < m_core * m_core) return m_full;
    if (squared > m_radius * m_radius) return 0;
    // alpha = floor((1 - (d - core) / (sharpness + 1)) * darkness), written
    // as one quotient so that whole distances give exact integers.
    const int steps = m_params.sharpness + 1;
    const double distance = std::sqrt(static_cast<double>(squared));
    const double alpha = (steps - (distance - m_core)) * m_params.darkness / steps;
    return Premultiplied(static_cast<int>(std::floor(alpha)));
}

void ShadowComposer::BuildKernel()
{
    m_radius = std::max(m_params.size, m_params.sharpness);
    m_core = m_params.size > m_params.sharpness ? m_params.size - m_params.sharpness : 0;
    const int side = 2 * m_radius + 1;
    m_kernel.resize(static_cast<size_t>(side) * side);
    for (int dy = -m_radius; dy <= m_radius; ++dy)
        for (int dx = -m_radius; dx <= m_radius; ++dx)
            m_kernel[(dy + m_radius) * side + (dx + m_radius)] = KernelPixel(dx, dy);
}

bool ShadowComposer::Compose(int width, int height, const std::vector<ShadowSpan>& rows, uint32_t* pixels) const
{
    const int size = m_params.size;
    const int shadowWidth = ShadowWidth(width);
    const int shadowHeight = ShadowHeight(height);
    if (!pixels || width <= 0 || height <= 0 || rows.size() != static_cast<size_t>(height)) return false;
    if (shadowWidth <= 0 || shadowHeight <= 0 || shadowWidth > kMaxExtent || shadowHeight > kMaxExtent) return false;
    std::memset(pixels, 0, sizeof(uint32_t) * static_cast<size_t>(shadowWidth) * shadowHeight);

    // The window's rows, limited to its columns; a row without any column
    // inside is the empty span (width, 0).
    const ShadowSpan none = {width, 0};
    std::vector<ShadowSpan> parent(rows);
    for (ShadowSpan& span : parent) {
        span.left = std::max(span.left, 0);
        span.right = std::min(span.right, width);
        if (span.Empty()) span = none;
    }

    // Anchor spans: the window's rows moved into shadow columns, with one
    // empty sentinel row above and below so every row has two neighbours.
    const int anchorCount = std::max(height, shadowHeight) + 2;
    std::vector<ShadowSpan> anchors(anchorCount, none);
    const int firstAnchor = 1 + std::max(size, 0);
    for (int i = 0; i < height; ++i)
        if (!parent[i].Empty()) anchors[firstAnchor + i] = {parent[i].left + size, parent[i].right + size};
    const int rowToAnchor = 1 + std::max(-size, 0);

    // A fading edge wider than the growth eats into the shape: shrink every
    // span by one column per side and per row, once per pixel of difference.
    for (int pass = size; pass < m_params.sharpness; ++pass) {
        const std::vector<ShadowSpan> before(anchors);
        for (int e = 1; e < anchorCount - 1; ++e) {
            anchors[e].left = std::max({before[e - 1].left, before[e].left, before[e + 1].left}) + 1;
            anchors[e].right = std::min({before[e - 1].right, before[e].right, before[e + 1].right}) - 1;
        }
    }

    // Soft edge: the kernel laid over every pixel of the outline (the span's
    // ends that its neighbouring rows do not cover), keeping the darker value.
    const int radius = m_radius;
    const int side = 2 * radius + 1;
    auto stamp = [&](int cx, int cy) {
        const int y0 = std::max(cy - radius, 0), y1 = std::min(cy + radius, shadowHeight - 1);
        const int x0 = std::max(cx - radius, 0), x1 = std::min(cx + radius, shadowWidth - 1);
        for (int y = y0; y <= y1; ++y) {
            uint32_t* row = pixels + static_cast<size_t>(y) * shadowWidth;
            const uint32_t* kernel = &m_kernel[(y - cy + radius) * side + (x0 - cx + radius)];
            for (int x = x0; x <= x1; ++x, ++kernel) row[x] = std::max(row[x], *kernel);
        }
    };
    for (int y = radius; y < shadowHeight - radius; ++y) {
        const int e = y + rowToAnchor;
        const ShadowSpan& span = anchors[e];
        if (span.Empty()) continue;
        const ShadowSpan& above = anchors[e - 1];
        const ShadowSpan& below = anchors[e + 1];
        const int leftEnd = std::min(span.right, std::max(above.left, below.left) + 1);
        for (int x = span.left; x < leftEnd; ++x) stamp(x, y);
        const int rightStart = std::max(std::min(above.right, below.right) - 1, leftEnd);
        for (int x = rightStart; x < span.right; ++x) stamp(x, y);
    }

    // Solid body: full darkness inside the anchors, transparent under the
    // window itself (shifted back by the offset).
    const int xShift = size - m_params.xOffset;
    const int yShift = size - m_params.yOffset;
    const int firstRow = std::clamp(yShift, 0, radius);
    const int endRow = std::min(std::max(shadowHeight - radius, height + std::min(yShift, 2 * size)), shadowHeight);
    for (int k = firstRow; k < endRow; ++k) {
        const ShadowSpan& anchor = anchors[k + rowToAnchor];
        uint32_t* row = pixels + static_cast<size_t>(k) * shadowWidth;
        const int p = k - yShift;
        if (p < 0 || p >= height) {
            FillColumns(row, shadowWidth, anchor.left, anchor.right, m_full);
            continue;
        }
        const int under = parent[p].left + xShift;
        const int underEnd = parent[p].right + xShift;
        FillColumns(row, shadowWidth, anchor.left, std::min(under, anchor.right), m_full);
        FillColumns(row, shadowWidth, under, underEnd, 0);
        FillColumns(row, shadowWidth, std::max(underEnd, anchor.left), anchor.right, m_full);
    }
    return true;
}

}  // namespace SkinUI
