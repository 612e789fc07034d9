#include "ui/builder/SkinTreeWalker.h"

#include "ui/base/AttributeValue.h"

#include <cwchar>

namespace SkinUI {

namespace {

// Elements that declare window-wide resources; the control walk skips them
// at every level (a `Language` element is no control either, so no
// callback is asked to make one).
bool IsResourceElement(LPCTSTR tag)
{
    return wcscmp(tag, L"Image") == 0 || wcscmp(tag, L"Font") == 0 || wcscmp(tag, L"Default") == 0 ||
           wcscmp(tag, L"lang") == 0 || wcscmp(tag, L"Language") == 0;
}

// An "xmlfile" value longer than this names no document.
const int kMaxXmlFileLength = 499;

bool ReadXmlFile(const CMarkupNode& node, CUiString& file)
{
    LPCTSTR value = node.GetAttributeValue(L"xmlfile");
    if (!value[0] || wcslen(value) > static_cast<size_t>(kMaxXmlFileLength)) return false;
    file = value;
    return true;
}

}  // namespace

SkinControl SkinTreeWalker::Build(CMarkup& document, SkinControl parent, LPCTSTR name)
{
    CMarkupNode root = document.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (m_target.HasManager()) ReadResources(root);
    if (wcscmp(root.GetName(), L"Window") == 0 && m_target.HasWindow()) ApplyWindowAttributes(root);
    return BuildControls(document, parent, name, 0);
}

SkinControl SkinTreeWalker::BuildControls(CMarkup& document, SkinControl parent, LPCTSTR name, int depth)
{
    CMarkupNode root = document.GetRoot();
    if (!root.IsValid()) return nullptr;
    const bool named = name && name[0];
    if (named) m_openDocuments.push_back(CUiString(name));
    SkinControl first = WalkChildren(root, parent, depth);
    if (named) m_openDocuments.pop_back();
    return first;
}

void SkinTreeWalker::ReadResourcesOf(CMarkup& document)
{
    CMarkupNode root = document.GetRoot();
    if (root.IsValid() && m_target.HasManager()) ReadResources(root);
}

void SkinTreeWalker::ReadResources(CMarkupNode root)
{
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        if (!Step()) return;
        LPCTSTR tag = node.GetName();
        if (wcscmp(tag, L"Font") == 0) {
            LPCTSTR face = node.GetAttributeValue(L"name");
            if (!face[0]) continue;
            int size = 12;
            if (node.HasAttribute(L"size")) size = AttributeValue::ParseInt(node.GetAttributeValue(L"size"));
            if (size < 1 || size > kMaxFontSize) size = 12;
            m_target.AddFont(face, size, AttributeValue::ParseBool(node.GetAttributeValue(L"bold")),
                             AttributeValue::ParseBool(node.GetAttributeValue(L"underline")),
                             AttributeValue::ParseBool(node.GetAttributeValue(L"italic")),
                             AttributeValue::ParseBool(node.GetAttributeValue(L"default")));
        } else if (wcscmp(tag, L"Image") == 0) {
            LPCTSTR name = node.GetAttributeValue(L"name");
            if (!name[0]) continue;
            LPCTSTR restype = node.HasAttribute(L"restype") ? node.GetAttributeValue(L"restype") : nullptr;
            m_target.AddImage(name, restype, AttributeValue::ParseColor(node.GetAttributeValue(L"mask")));
        } else if (wcscmp(tag, L"Default") == 0) {
            LPCTSTR name = node.GetAttributeValue(L"name");
            if (!name[0]) continue;
            m_target.AddDefaultAttributeList(name, node.GetAttributeValue(L"value"));
        } else if (wcscmp(tag, L"lang") == 0) {
            LPCTSTR name = node.GetAttributeValue(L"name");
            if (!name[0]) continue;
            m_target.AddLanguageString(name, node.GetAttributeValue(L"value"));
        } else if (wcscmp(tag, L"Language") == 0) {
            CUiString file;
            if (ReadXmlFile(node, file)) m_target.LoadLanguage(file);
        }
    }
}

void SkinTreeWalker::ApplyWindowAttributes(CMarkupNode root)
{
    const int count = root.GetAttributeCount();
    for (int i = 0; i < count; ++i) m_target.SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
}

SkinControl SkinTreeWalker::WalkChildren(const CMarkupNode& node, SkinControl parent, int depth)
{
    if (depth >= kMaxDepth) return nullptr;
    SkinControl first = nullptr;
    for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        if (!Step()) break;
        LPCTSTR tag = child.GetName();
        if (IsResourceElement(tag)) continue;
        if (wcscmp(tag, L"ChildLayout") == 0) {
            // Without a parent an include's controls stand at the top level
            // too: the first one is handed back, the others belong to nobody.
            SkinControl included = Include(child, parent, depth);
            if (!included) continue;
            if (!first)
                first = included;
            else
                m_target.DeleteControl(included);
            continue;
        }
        bool levelEnded = false;
        SkinControl control = BuildElement(child, parent, depth, levelEnded);
        if (levelEnded) return nullptr;
        if (!control) continue;
        if (!first) {
            first = control;
        } else if (!parent) {
            // Only the first top-level control is handed back; a further
            // one would belong to nobody.
            m_target.DeleteControl(control);
        }
    }
    return first;
}

SkinControl SkinTreeWalker::BuildElement(const CMarkupNode& node, SkinControl parent, int depth, bool& levelEnded)
{
    SkinControl control = m_target.CreateControl(node.GetName());
    if (!control) return nullptr;
    if (node.HasChildren()) WalkChildren(node, control, depth + 1);
    if (parent) {
        switch (m_target.AddChild(parent, control)) {
        case ISkinBuildTarget::kAdded:
            break;
        case ISkinBuildTarget::kRefused:
            m_target.DeleteControl(control);
            return nullptr;
        case ISkinBuildTarget::kNotContainer:
            // The control belongs to no tree: nobody else would free it.
            m_target.DeleteControl(control);
            levelEnded = true;
            return nullptr;
        }
    }
    ApplyAttributes(control, node);
    return control;
}

void SkinTreeWalker::ApplyAttributes(SkinControl control, const CMarkupNode& node)
{
    const bool withManager = m_target.HasManager();
    if (withManager) {
        m_target.BeginAttributes(control);
        LPCTSTR defaults = m_target.GetDefaultAttributeList(node.GetName());
        if (defaults) {
            AttributeValue::ListReader reader(defaults);
            CUiString name, value;
            while (reader.Next(name, value)) m_target.SetAttribute(control, name, value);
        }
    }
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i) m_target.SetAttribute(control, node.GetAttributeName(i), node.GetAttributeValue(i));
    if (withManager) m_target.EndAttributes(control);
}

SkinControl SkinTreeWalker::Include(const CMarkupNode& node, SkinControl parent, int depth)
{
    if (!node.HasAttributes()) return nullptr;
    CUiString file;
    if (!ReadXmlFile(node, file)) return nullptr;
    int count = 1;
    if (node.HasAttribute(L"count")) count = AttributeValue::ParseInt(node.GetAttributeValue(L"count"));
    if (count <= 0) return nullptr;
    if (static_cast<int>(m_openDocuments.size()) >= kMaxIncludeDepth || IsOpen(file)) return nullptr;
    if (depth + 1 >= kMaxDepth) return nullptr;

    // One load serves every repetition: the document does not change while
    // it is built, and each pass reads it from the start.
    CMarkup included;
    if (!m_target.LoadDocument(file, included)) return nullptr;
    // Its fonts, images, default lists and strings are the window's too, so
    // an included dialog keeps its look; recorded once, however often it is
    // repeated. Its window attributes are not: the includer owns the window.
    if (m_target.HasManager()) ReadResources(included.GetRoot());
    SkinControl firstTopLevel = nullptr;
    for (int i = 0; i < count; ++i) {
        if (!Step()) break;
        SkinControl built = BuildControls(included, parent, file, depth + 1);
        if (parent || !built) continue;
        if (!firstTopLevel)
            firstTopLevel = built;
        else
            m_target.DeleteControl(built);
    }
    return firstTopLevel;
}

bool SkinTreeWalker::Step()
{
    if (m_steps >= kMaxSteps) {
        m_truncated = true;
        return false;
    }
    ++m_steps;
    return true;
}

bool SkinTreeWalker::IsOpen(LPCTSTR name) const
{
    for (const CUiString& open : m_openDocuments)
        if (open.CompareNoCase(name) == 0) return true;
    return false;
}

}  // namespace SkinUI
