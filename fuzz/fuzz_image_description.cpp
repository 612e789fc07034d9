// Reads arbitrary text as a skin image description. One byte becomes one
// character, so the ASCII the reader looks for (quotes, "=", blanks, digits,
// "#") comes up often. The reader must stay inside the text and keep the
// destination inside the item's right and bottom edges whatever the numbers.
#include "ui/render/ImageDescription.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace SkinUI;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i < size; ++i)
        if (data[i] != 0) text += static_cast<wchar_t>(data[i]);
    const RECT item = {-20, 10, 1200, 720};
    ImageDescription d;
    d.dest = item;
    size_t images = 0;
    ReadImageDescription(text.c_str(), item, d, [&](const ImageDescription& done) {
        ++images;
        if (done.dest.right > item.right || done.dest.bottom > item.bottom) std::abort();
    });
    if (d.dest.right > item.right || d.dest.bottom > item.bottom) std::abort();
    // Each further image is started by an item of at least "res=''" and a blank.
    if (images * 7 > text.size()) std::abort();
    if (static_cast<size_t>(d.name.GetLength()) > text.size()) std::abort();
    return 0;
}
