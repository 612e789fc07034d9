#include "ui/builder/ControlFactory.h"

#include "ui/controls/ButtonUI.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/controls/ScrollBarUI.h"

#include <cwchar>

namespace SkinUI {

namespace {

template <class T>
CControlUI* Make()
{
    return new T;
}

struct FactoryEntry {
    const wchar_t* tag;
    CControlUI* (*create)();
};

// Tags of classes this framework does not have (lists, trees, edits, ...)
// are absent: they go to the application's callback like any unknown tag.
const FactoryEntry kFactory[] = {
    {L"Control", &Make<CControlUI>},
    {L"Container", &Make<CContainerUI>},
    {L"VerticalLayout", &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {L"TabLayout", &Make<CTabLayoutUI>},
    {L"Label", &Make<CLabelUI>},
    {L"Text", &Make<CTextUI>},
    {L"Button", &Make<CButtonUI>},
    {L"Option", &Make<COptionUI>},
    {L"CheckBox", &Make<CCheckBoxUI>},
    {L"ScrollBar", &Make<CScrollBarUI>},
};

}  // namespace

CControlUI* CreateFrameworkControl(LPCTSTR tag)
{
    if (!tag) return nullptr;
    for (const FactoryEntry& entry : kFactory)
        if (wcscmp(entry.tag, tag) == 0) return entry.create();
    return nullptr;
}

}  // namespace SkinUI
