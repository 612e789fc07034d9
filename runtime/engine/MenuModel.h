#pragma once
// The context menu's model: an ordered list of commands and separators that
// the client may rewrite before the menu is shown.

#include <vector>

#include "runtime/CefContextMenu.h"

namespace vxrt {

class MenuModel : public CefMenuModel {
public:
    struct Item {
        MenuItemType type;
        int commandId;
        std::wstring label;
        bool enabled;
    };

    bool Clear() override;
    int GetCount() override;
    bool AddSeparator() override;
    bool AddItem(int command_id, const CefString& label) override;
    bool InsertItemAt(int index, int command_id, const CefString& label) override;
    bool Remove(int command_id) override;
    bool RemoveAt(int index) override;
    int GetIndexOf(int command_id) override;
    int GetCommandIdAt(int index) override;
    CefString GetLabel(int command_id) override;
    CefString GetLabelAt(int index) override;
    bool SetLabel(int command_id, const CefString& label) override;
    bool SetLabelAt(int index, const CefString& label) override;
    MenuItemType GetType(int command_id) override;
    MenuItemType GetTypeAt(int index) override;
    bool IsEnabled(int command_id) override;
    bool SetEnabled(int command_id, bool enabled) override;

    // Adds a command that is enabled only when it can act.
    void AddCommand(int command_id, const wchar_t* label, bool enabled);
    const std::vector<Item>& Items() const { return m_items; }

    IMPLEMENT_REFCOUNTING(MenuModel);

private:
    bool ValidIndex(int index) const { return index >= 0 && index < static_cast<int>(m_items.size()); }
    std::vector<Item> m_items;
};

}  // namespace vxrt
