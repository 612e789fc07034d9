#include "ui/render/HtmlTextCache.h"

#include "ui/paint/FontTable.h"

#include <functional>
#include <utility>

namespace SkinUI {

namespace {

// A window shows a bounded number of texts; one that keeps making new ones
// (a clock, a counter) starts again from empty rather than growing.
constexpr size_t kMostLayouts = 512;

}  // namespace

HtmlTextCache::HtmlTextCache() : m_clipStore(::CreateRectRgn(0, 0, 0, 0)) {}

bool HtmlTextKey::operator==(const HtmlTextKey& other) const
{
    return style == other.style && width == other.width && height == other.height && textColor == other.textColor &&
           linkCapacity == other.linkCapacity && linkColor == other.linkColor &&
           linkHoverColor == other.linkHoverColor && selectedColor == other.selectedColor && text == other.text;
}

size_t HtmlTextCache::KeyHash::operator()(const HtmlTextKey& key) const
{
    size_t h = std::hash<std::wstring>()(key.text);
    auto mix = [&h](size_t v) { h ^= v + 0x9e3779b9u + (h << 6) + (h >> 2); };
    mix(key.style);
    mix(static_cast<size_t>(key.width));
    mix(static_cast<size_t>(key.height));
    mix(key.textColor);
    mix(static_cast<size_t>(key.linkCapacity));
    return h;
}

const HtmlTextLayout* HtmlTextCache::Find(const HtmlTextKey& key) const
{
    auto found = m_entries.find(key);
    if (found == m_entries.end() || found->second.fontGeneration != FontTable::Generation()) return nullptr;
    return &found->second.layout;
}

void HtmlTextCache::Keep(const HtmlTextKey& key, HtmlTextLayout layout)
{
    if (m_entries.size() >= kMostLayouts && m_entries.find(key) == m_entries.end()) m_entries.clear();
    Entry& entry = m_entries[key];
    entry.layout = std::move(layout);
    entry.fontGeneration = FontTable::Generation();
}

}  // namespace SkinUI
