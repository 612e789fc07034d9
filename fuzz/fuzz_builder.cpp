// The dialog builder's walk over untrusted skin markup. The input is split at
// the first NUL byte into the main document and one more document; every
// include of any name reads the second one (or, without a NUL, the main one
// again), so self-inclusion, mutual inclusion and large repeat counts are all
// reachable. Controls are recorded, never drawn.
#include "tests/ui/builder/RecordingTarget.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace SkinUI;
using namespace SkinUI::testing_builder;

namespace {

class FuzzTarget : public RecordingTarget {
public:
    const uint8_t* include = nullptr;
    size_t includeSize = 0;

    bool LoadDocument(LPCTSTR, CMarkup& document) override
    {
        ++loads;
        return document.LoadFromMem(include, static_cast<DWORD>(includeSize), MARKUP_ENCODING_UTF8);
    }
    // Unlike the recording target, deleted controls are really gone.
    void DeleteControl(SkinControl control) override
    {
        ++deleted;
        static_cast<Node*>(control)->tag.clear();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* split = static_cast<const uint8_t*>(memchr(data, 0, size));
    const size_t mainSize = split ? static_cast<size_t>(split - data) : size;
    FuzzTarget target;
    target.include = split ? split + 1 : data;
    target.includeSize = split ? size - mainSize - 1 : size;
    target.manager = (size & 1) == 0;
    target.defaults[L"Label"] = L"text=\"d\" font=\"1\"";
    CMarkup document;
    if (!document.LoadFromMem(data, static_cast<DWORD>(mainSize), MARKUP_ENCODING_UTF8)) return 0;
    SkinTreeWalker walker(target);
    walker.Build(document, nullptr, L"main.xml");
    return 0;
}
