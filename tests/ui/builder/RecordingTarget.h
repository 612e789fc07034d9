#pragma once
// A build target that records what the walk asks for: controls are plain
// nodes with their tag and the attributes they received in order, and
// includes come from a table of in-memory documents.

#include "ui/builder/SkinTreeWalker.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace SkinUI {
namespace testing_builder {

struct Node {
    std::wstring tag;
    std::vector<std::wstring> attributes;  // "name=value" in the order applied
    std::vector<Node*> children;
    bool attachedWhileApplying = false;
    bool attached = false;
};

class RecordingTarget : public ISkinBuildTarget {
public:
    bool manager = true;
    bool window = true;
    std::vector<std::wstring> resources;         // "Font:..." "Image:..." "Default:..." "lang:..." "Language:..."
    std::vector<std::wstring> windowAttributes;  // "name=value"
    std::map<std::wstring, std::wstring> defaults;
    std::map<std::wstring, std::wstring> documents;  // include name -> markup
    std::vector<std::wstring> containers = {L"VerticalLayout", L"HorizontalLayout", L"Container"};
    std::wstring refusedTag;  // containers refuse children of this tag
    std::vector<std::unique_ptr<Node>> created;
    int deleted = 0;
    int loads = 0;

    bool HasManager() const override { return manager; }
    void AddFont(LPCTSTR face, int size, bool bold, bool underline, bool italic, bool makeDefault) override
    {
        resources.push_back(L"Font:" + std::wstring(face) + L"," + std::to_wstring(size) + (bold ? L",b" : L"") +
                            (underline ? L",u" : L"") + (italic ? L",i" : L"") + (makeDefault ? L",default" : L""));
    }
    void AddImage(LPCTSTR name, LPCTSTR restype, DWORD mask) override
    {
        resources.push_back(L"Image:" + std::wstring(name) + L"," + (restype ? restype : L"-") + L"," +
                            std::to_wstring(mask));
    }
    void AddDefaultAttributeList(LPCTSTR tag, LPCTSTR list) override
    {
        resources.push_back(L"Default:" + std::wstring(tag));
        defaults[tag] = list;
    }
    LPCTSTR GetDefaultAttributeList(LPCTSTR tag) const override
    {
        auto it = defaults.find(tag);
        return it == defaults.end() ? nullptr : it->second.c_str();
    }
    void AddLanguageString(LPCTSTR name, LPCTSTR value) override
    {
        resources.push_back(L"lang:" + std::wstring(name) + L"=" + value);
    }
    void LoadLanguage(LPCTSTR xmlfile) override { resources.push_back(L"Language:" + std::wstring(xmlfile)); }
    bool HasWindow() const override { return window; }
    void SetWindowAttribute(LPCTSTR name, LPCTSTR value) override
    {
        windowAttributes.push_back(std::wstring(name) + L"=" + value);
    }
    SkinControl CreateControl(LPCTSTR tag) override
    {
        if (std::wstring(tag).rfind(L"Unknown", 0) == 0) return nullptr;
        created.push_back(std::make_unique<Node>());
        created.back()->tag = tag;
        return created.back().get();
    }
    AddResult AddChild(SkinControl parent, SkinControl child) override
    {
        Node* p = static_cast<Node*>(parent);
        Node* c = static_cast<Node*>(child);
        bool container = false;
        for (const auto& t : containers) container = container || p->tag == t;
        if (!container) return kNotContainer;
        if (c->tag == refusedTag) return kRefused;
        p->children.push_back(c);
        return kAdded;
    }
    void DeleteControl(SkinControl) override { ++deleted; }
    void BeginAttributes(SkinControl control) override { static_cast<Node*>(control)->attached = true; }
    void SetAttribute(SkinControl control, LPCTSTR name, LPCTSTR value) override
    {
        Node* n = static_cast<Node*>(control);
        n->attachedWhileApplying = n->attached;
        n->attributes.push_back(std::wstring(name) + L"=" + value);
    }
    void EndAttributes(SkinControl control) override { static_cast<Node*>(control)->attached = false; }
    bool LoadDocument(LPCTSTR xmlfile, CMarkup& document) override
    {
        ++loads;
        auto it = documents.find(xmlfile);
        return it != documents.end() && document.Load(it->second.c_str());
    }
};

}  // namespace testing_builder
}  // namespace SkinUI
