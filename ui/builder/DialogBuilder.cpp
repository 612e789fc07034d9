#include "ui/builder/DialogBuilder.h"

#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/builder/ControlFactory.h"
#include "ui/builder/SkinTreeWalker.h"
#include "ui/builder/WindowAttributes.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/markup/SkinResourceReader.h"

#include <cwchar>
#include <vector>

namespace SkinUI {

namespace {

// Set once a `Language` element has been read; ReLoadLanguage starts over.
bool g_languageLoaded = false;

// Markup kept in a resource is UTF-8 text.
bool LoadResourceMarkup(CMarkup& markup, LPCTSTR nameOrId, LPCTSTR type)
{
    if (!type) return false;
    std::vector<unsigned char> bytes;
    if (!ReadSkinResource(nameOrId, type, bytes)) return false;
    return markup.LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), MARKUP_ENCODING_UTF8);
}

// A decimal resource id as an include names it; 0 when it is none.
UINT ParseResourceId(LPCTSTR text)
{
    unsigned long id = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        id = id * 10 + static_cast<unsigned long>(*text - L'0');
        if (id >= 0x10000) return 0;
    }
    return *text ? 0 : static_cast<UINT>(id);
}

// The builder's side of the walk: real controls, the window's paint manager
// and the application's callback.
class ControlTreeTarget final : public ISkinBuildTarget {
public:
    ControlTreeTarget(IDialogBuilderCallback* callback, CPaintManagerUI* manager, LPCTSTR resourceType)
        : m_callback(callback), m_manager(manager), m_resourceType(resourceType)
    {}

    bool HasManager() const override { return m_manager != nullptr; }

    void AddFont(LPCTSTR face, int size, bool bold, bool underline, bool italic, bool makeDefault) override
    {
        m_manager->AddFont(face, size, bold, underline, italic);
        if (makeDefault) m_manager->SetDefaultFont(face, size, bold, underline, italic);
    }

    void AddImage(LPCTSTR name, LPCTSTR restype, DWORD mask) override { m_manager->AddImage(name, restype, mask); }

    void AddDefaultAttributeList(LPCTSTR tag, LPCTSTR list) override { m_manager->AddDefaultAttributeList(tag, list); }

    LPCTSTR GetDefaultAttributeList(LPCTSTR tag) const override { return m_manager->GetDefaultAttributeList(tag); }

    void AddLanguageString(LPCTSTR name, LPCTSTR value) override
    {
        CPaintManagerUI::AddLanguageAttributeList(name, value);
    }

    void LoadLanguage(LPCTSTR xmlfile) override
    {
        if (g_languageLoaded) return;
        // Marked first: a language document that names a language again
        // must not read itself for ever.
        g_languageLoaded = true;
        CMarkup document;
        if (!LoadDocument(xmlfile, document)) return;
        SkinTreeWalker(*this).ReadResourcesOf(document);
    }

    bool HasWindow() const override { return m_manager && m_manager->GetPaintWindow(); }

    void SetWindowAttribute(LPCTSTR name, LPCTSTR value) override { ApplyWindowAttribute(*m_manager, name, value); }

    SkinControl CreateControl(LPCTSTR tag) override
    {
        CControlUI* control = CreateFrameworkControl(tag);
        if (!control && m_callback) control = m_callback->CreateControl(tag);
        return control;
    }

    AddResult AddChild(SkinControl parent, SkinControl child) override
    {
        auto* container = static_cast<IContainerUI*>(AsControl(parent)->GetInterface(L"IContainer"));
        if (!container) return kNotContainer;
        return container->Add(AsControl(child)) ? kAdded : kRefused;
    }

    void DeleteControl(SkinControl control) override { delete AsControl(control); }

    void BeginAttributes(SkinControl control) override { AsControl(control)->SetManager(m_manager, nullptr, false); }

    void SetAttribute(SkinControl control, LPCTSTR name, LPCTSTR value) override
    {
        AsControl(control)->SetAttribute(name, value);
    }

    void EndAttributes(SkinControl control) override { AsControl(control)->SetManager(nullptr, nullptr, false); }

    bool LoadDocument(LPCTSTR xmlfile, CMarkup& document) override
    {
        if (m_resourceType) {
            UINT id = ParseResourceId(xmlfile);
            return id != 0 && LoadResourceMarkup(document, MAKEINTRESOURCEW(id), m_resourceType);
        }
        return document.LoadFromFile(xmlfile);
    }

private:
    static CControlUI* AsControl(SkinControl control) { return static_cast<CControlUI*>(control); }

    IDialogBuilderCallback* m_callback;
    CPaintManagerUI* m_manager;
    LPCTSTR m_resourceType;
};

// ReLoadLanguage's reader: the language strings of a markup document.
class BuilderLanguageReader : public LanguageReader {
public:
    void ReadLanguage(STRINGorID xml, CPaintManagerUI& manager) const override
    {
        g_languageLoaded = false;
        CDialogBuilder builder;
        builder.Create(xml, xml.IsId() ? L"xml" : nullptr, nullptr, &manager, nullptr);
        g_languageLoaded = true;
    }
};

}  // namespace

CDialogBuilder::CDialogBuilder() = default;

const LanguageReader& CDialogBuilder::GetLanguageReader()
{
    static const BuilderLanguageReader reader;
    return reader;
}

CControlUI* CDialogBuilder::Create(STRINGorID xml, LPCTSTR type, IDialogBuilderCallback* pCallback,
                                   CPaintManagerUI* pManager, CControlUI* pParent)
{
    m_pstrtype = nullptr;
    if (xml.IsId()) {
        if (!LoadResourceMarkup(m_xml, xml.m_lpstr, type)) return nullptr;
        m_pstrtype = type;
    } else if (!xml.m_lpstr) {
        return nullptr;
    } else if (xml.m_lpstr[0] == L'<') {
        if (!m_xml.Load(xml.m_lpstr)) return nullptr;
    } else if (!m_xml.LoadFromFile(xml.m_lpstr)) {
        return nullptr;
    }
    if (pManager != nullptr) pManager->SetLanguageReader(&GetLanguageReader());
    ControlTreeTarget target(pCallback, pManager, m_pstrtype);
    SkinTreeWalker walker(target);
    m_pCallback = pCallback;
    LPCTSTR name = xml.IsId() || xml.m_lpstr[0] == L'<' ? nullptr : xml.m_lpstr;
    return static_cast<CControlUI*>(walker.Build(m_xml, pParent, name));
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* pCallback, CPaintManagerUI* pManager, CControlUI* pParent)
{
    m_pCallback = pCallback;
    if (pManager != nullptr) pManager->SetLanguageReader(&GetLanguageReader());
    ControlTreeTarget target(pCallback, pManager, m_pstrtype);
    SkinTreeWalker walker(target);
    return static_cast<CControlUI*>(walker.Build(m_xml, pParent));
}

void CDialogBuilder::GetLastErrorMessage(LPTSTR pstrMessage, size_t cchMax) const
{
    m_xml.GetLastErrorMessage(pstrMessage, cchMax);
}

void CDialogBuilder::GetLastErrorLocation(LPTSTR pstrSource, size_t cchMax) const
{
    m_xml.GetLastErrorLocation(pstrSource, cchMax);
}

}  // namespace SkinUI
