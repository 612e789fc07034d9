#pragma once
// Turns a skin markup document into a tree of controls.
//
// The window-wide resources of the document (fonts, images, default
// attribute lists, language strings) and the root `Window` element's
// attributes go to the paint manager; the elements below the root become
// controls, created from the tag table or, for tags the framework does not
// know, by the callback. Skins are data a deployment edits: unknown tags are
// skipped with their subtree, includes are bounded in depth, refused when
// they would include themselves, and the whole build is bounded in the
// number of controls it may create, so no skin makes the builder loop,
// recurse without end or exhaust memory.

#include "ui/base/Platform.h"
#include "ui/base/StringOrId.h"
#include "ui/markup/Markup.h"
#include "ui/paint/LanguageReader.h"

namespace SkinUI {

class CControlUI;
class CPaintManagerUI;

// Creates the controls of tags outside the framework's table.
class IDialogBuilderCallback {
public:
    // A new control for the tag `pstrClass`, or null to skip the element.
    virtual CControlUI* CreateControl(LPCTSTR pstrClass) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

class CDialogBuilder {
public:
    CDialogBuilder();
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // Loads the markup and builds it: a resource id is read from a resource
    // of `type` (and later includes of this build are resource ids of that
    // type too); text that starts with '<' is the markup itself; any other
    // text is a skin file name. Null when the markup cannot be loaded or
    // nothing was created at the top level.
    CControlUI* Create(STRINGorID xml, LPCTSTR type = nullptr, IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
    // Builds the document this builder already holds (GetMarkup).
    CControlUI* Create(IDialogBuilderCallback* pCallback = nullptr, CPaintManagerUI* pManager = nullptr,
                       CControlUI* pParent = nullptr);

    CMarkup* GetMarkup() { return &m_xml; }
    void GetLastErrorMessage(LPTSTR pstrMessage, size_t cchMax) const;
    void GetLastErrorLocation(LPTSTR pstrSource, size_t cchMax) const;

    // What reads language documents for CPaintManagerUI::ReLoadLanguage;
    // every manager a builder builds a skin into is given it.
    static const LanguageReader& GetLanguageReader();

private:
    CMarkup m_xml;
    IDialogBuilderCallback* m_pCallback = nullptr;
    LPCTSTR m_pstrtype = nullptr;
};

}  // namespace SkinUI
