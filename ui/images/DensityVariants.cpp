#include "ui/images/DensityVariants.h"

namespace SkinUI {

const DensityVariant kDensityVariants[3] = {{L"@1.5x", 150}, {L"@2x", 200}, {L"@3x", 300}};

CUiString DensityVariantName(LPCTSTR name, LPCTSTR suffix)
{
    CUiString text(name);
    int dot = -1;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'.') dot = i;
        if (text[i] == L'/' || text[i] == L'\\') dot = -1;
    }
    if (dot < 0) return text + suffix;
    return text.Left(dot) + suffix + text.Mid(dot);
}

}  // namespace SkinUI
