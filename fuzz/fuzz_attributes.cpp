// Parses arbitrary text as every kind of skin attribute value, as an
// attribute list and as a description. One byte becomes one character, so
// the ASCII that the parsers look for (digits, signs, commas, "#", quotes, "=") comes up often.
// The parsers must stay inside the text, and what they report must be
// consistent with it.
#include "ui/base/AttributeValue.h"
#include "ui/controls/LayoutArithmetic.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace SkinUI;
using namespace SkinUI::AttributeValue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i < size; ++i)
        if (data[i] != 0) text += static_cast<wchar_t>(data[i]);
    const wchar_t* begin = text.c_str();

    LPCTSTR end = nullptr;
    ParseInt(begin, &end);
    if (end < begin || end > begin + text.size()) std::abort();

    int values[4];
    if (ParseIntList(begin, values, 4) > 4) std::abort();
    const RECT rc = ParseRect(begin);
    ParseSize(begin);
    ParseColor(begin);
    if (ParseBool(begin) != (text == L"true")) std::abort();

    // Whatever a "pos" holds, the floating arithmetic stays in range.
    const RECT parent = {0, 0, 1200, 720};
    {
        Layout::RelativePos relative = {true, SIZE{values[0], values[1]}, values[2], values[3], rc.left, rc.top};
        const RECT placed = Layout::FloatRect(parent, SIZE{rc.left, rc.top}, SIZE{rc.right, rc.bottom}, &relative);
        if (placed.left < -Layout::kCoordLimit || placed.right > Layout::kCoordLimit) std::abort();
    }

    ListReader reader(begin);
    CUiString name, value;
    size_t consumed = 0;
    while (reader.Next(name, value)) {
        consumed += static_cast<size_t>(name.GetLength() + value.GetLength()) + 3;
        if (consumed > text.size()) std::abort();
    }

    DescriptionReader description(begin);
    consumed = 0;
    while (description.Next(name, value)) {
        consumed += static_cast<size_t>(name.GetLength() + value.GetLength()) + 3;
        if (consumed > text.size() || description.Rest() < begin || description.Rest() > begin + text.size())
            std::abort();
    }
    return 0;
}
