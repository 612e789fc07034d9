#pragma once
// What reads a language document into the process's language strings, as
// the paint manager sees it. Reading skins is the dialog builder's, two
// layers up, so the paint layer reaches it only through this interface: the
// builder hands it to every manager it builds a skin into, and
// CPaintManagerUI::ReLoadLanguage asks the first window's manager.

#include "ui/base/StringOrId.h"

namespace SkinUI {

class CPaintManagerUI;

class LanguageReader {
public:
    // Fills the language strings from the "lang" elements of `xml` (a
    // document's text, file name or resource id), read for `manager`.
    virtual void ReadLanguage(STRINGorID xml, CPaintManagerUI& manager) const = 0;

protected:
    ~LanguageReader() = default;
};

}  // namespace SkinUI
