#pragma once
// The walk over a skin document that the dialog builder performs, apart from
// the controls themselves: which elements are resources, which are window
// attributes, which are includes and which become controls, in what order a
// control receives its default list and its own attributes, and the limits
// that keep a hostile skin from looping or recursing without end.
//
// The walk creates and nests controls only through ISkinBuildTarget, whose
// control handles it never looks into; that keeps it free of the window
// system, so it is tested and fuzzed natively.

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"
#include "ui/markup/Markup.h"

#include <vector>

namespace SkinUI {

// A control as the walk sees it: an opaque handle of the target's.
typedef void* SkinControl;

class ISkinBuildTarget {
public:
    enum AddResult {
        kAdded,        // the parent took the child
        kRefused,      // the parent refused it: the walk deletes the child
        kNotContainer  // the parent holds no children: the level ends
    };

    // ---- window-wide resources (asked only when HasManager) ----
    virtual bool HasManager() const = 0;
    virtual void AddFont(LPCTSTR face, int size, bool bold, bool underline, bool italic, bool makeDefault) = 0;
    virtual void AddImage(LPCTSTR name, LPCTSTR restype, DWORD mask) = 0;
    virtual void AddDefaultAttributeList(LPCTSTR tag, LPCTSTR list) = 0;
    virtual LPCTSTR GetDefaultAttributeList(LPCTSTR tag) const = 0;
    virtual void AddLanguageString(LPCTSTR name, LPCTSTR value) = 0;
    // A `Language` element: the target decides whether the language still
    // has to be loaded and reads the document through LoadDocument.
    virtual void LoadLanguage(LPCTSTR xmlfile) = 0;
    // The root `Window` element's attributes (asked only when HasWindow).
    virtual bool HasWindow() const = 0;
    virtual void SetWindowAttribute(LPCTSTR name, LPCTSTR value) = 0;

    // ---- controls ----
    // Null when neither the framework nor the application knows the tag.
    virtual SkinControl CreateControl(LPCTSTR tag) = 0;
    virtual AddResult AddChild(SkinControl parent, SkinControl child) = 0;
    virtual void DeleteControl(SkinControl control) = 0;
    // Attaches the manager while the attributes are applied (BeginAttributes)
    // and detaches it again afterwards (EndAttributes).
    virtual void BeginAttributes(SkinControl control) = 0;
    virtual void SetAttribute(SkinControl control, LPCTSTR name, LPCTSTR value) = 0;
    virtual void EndAttributes(SkinControl control) = 0;

    // Loads an included document named by an "xmlfile" value.
    virtual bool LoadDocument(LPCTSTR xmlfile, CMarkup& document) = 0;

protected:
    ~ISkinBuildTarget() = default;
};

class SkinTreeWalker {
public:
    // Levels of nesting (elements and includes together) below which the
    // walk still creates controls; deeper subtrees are skipped. Every level
    // costs stack in the walk, in layout and in painting.
    static constexpr int kMaxDepth = 128;
    // Includes open at once; a document that is already open is never
    // included again (it would include itself for ever).
    static constexpr int kMaxIncludeDepth = 16;
    // Elements visited and include repetitions over one whole build: a
    // "count" of a billion, or includes that multiply each other, end here.
    static constexpr unsigned kMaxSteps = 200000;
    // Font sizes outside 1..kMaxFontSize take the default size 12.
    static constexpr int kMaxFontSize = 1000;

    explicit SkinTreeWalker(ISkinBuildTarget& target) : m_target(target) {}
    SkinTreeWalker(const SkinTreeWalker&) = delete;
    SkinTreeWalker& operator=(const SkinTreeWalker&) = delete;

    // Reads the resources and window attributes of `document` and builds
    // its controls below `parent`. Returns the first control created at the
    // top level, or null. `name` identifies the document for the include
    // guard (may be null).
    SkinControl Build(CMarkup& document, SkinControl parent, LPCTSTR name = nullptr);

    // Builds only the controls of `document` (an include's body).
    SkinControl BuildControls(CMarkup& document, SkinControl parent, LPCTSTR name, int depth);

    // Reads only the resource elements of `document` (a language document).
    void ReadResourcesOf(CMarkup& document);

    // True once the step budget ran out: the tree was cut short.
    bool IsTruncated() const { return m_truncated; }

private:
    void ReadResources(CMarkupNode root);
    void ApplyWindowAttributes(CMarkupNode root);
    SkinControl WalkChildren(const CMarkupNode& node, SkinControl parent, int depth);
    SkinControl BuildElement(const CMarkupNode& node, SkinControl parent, int depth, bool& levelEnded);
    // Builds an included document below `parent`. Without a parent, returns
    // the first top-level control it built (and deletes the others).
    SkinControl Include(const CMarkupNode& node, SkinControl parent, int depth);
    void ApplyAttributes(SkinControl control, const CMarkupNode& node);
    bool Step();
    bool IsOpen(LPCTSTR name) const;

    ISkinBuildTarget& m_target;
    std::vector<CUiString> m_openDocuments;
    unsigned m_steps = 0;
    bool m_truncated = false;
};

}  // namespace SkinUI
