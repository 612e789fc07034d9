#include "runtime/engine/MenuModel.h"

namespace vxrt {

bool MenuModel::Clear()
{
    m_items.clear();
    return true;
}

int MenuModel::GetCount() { return static_cast<int>(m_items.size()); }

bool MenuModel::AddSeparator()
{
    m_items.push_back({MENUITEMTYPE_SEPARATOR, -1, std::wstring(), true});
    return true;
}

bool MenuModel::AddItem(int command_id, const CefString& label)
{
    m_items.push_back({MENUITEMTYPE_COMMAND, command_id, label.ToWString(), true});
    return true;
}

void MenuModel::AddCommand(int command_id, const wchar_t* label, bool enabled)
{
    m_items.push_back({MENUITEMTYPE_COMMAND, command_id, label, enabled});
}

bool MenuModel::InsertItemAt(int index, int command_id, const CefString& label)
{
    // Inserting at the end is allowed; beyond it is not.
    if (index < 0 || index > static_cast<int>(m_items.size())) return false;
    m_items.insert(m_items.begin() + index, Item{MENUITEMTYPE_COMMAND, command_id, label.ToWString(), true});
    return true;
}

bool MenuModel::Remove(int command_id) { return RemoveAt(GetIndexOf(command_id)); }

bool MenuModel::RemoveAt(int index)
{
    if (!ValidIndex(index)) return false;
    m_items.erase(m_items.begin() + index);
    return true;
}

int MenuModel::GetIndexOf(int command_id)
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].type != MENUITEMTYPE_SEPARATOR && m_items[i].commandId == command_id) return static_cast<int>(i);
    return -1;
}

int MenuModel::GetCommandIdAt(int index) { return ValidIndex(index) ? m_items[index].commandId : -1; }

CefString MenuModel::GetLabel(int command_id) { return GetLabelAt(GetIndexOf(command_id)); }

CefString MenuModel::GetLabelAt(int index) { return ValidIndex(index) ? CefString(m_items[index].label) : CefString(); }

bool MenuModel::SetLabel(int command_id, const CefString& label) { return SetLabelAt(GetIndexOf(command_id), label); }

bool MenuModel::SetLabelAt(int index, const CefString& label)
{
    if (!ValidIndex(index) || m_items[index].type == MENUITEMTYPE_SEPARATOR) return false;
    m_items[index].label = label.ToWString();
    return true;
}

MenuItemType MenuModel::GetType(int command_id) { return GetTypeAt(GetIndexOf(command_id)); }

MenuItemType MenuModel::GetTypeAt(int index) { return ValidIndex(index) ? m_items[index].type : MENUITEMTYPE_NONE; }

bool MenuModel::IsEnabled(int command_id)
{
    int i = GetIndexOf(command_id);
    return ValidIndex(i) && m_items[i].enabled;
}

bool MenuModel::SetEnabled(int command_id, bool enabled)
{
    // Every item with the id follows: a client may add an id twice.
    bool found = false;
    for (auto& item : m_items)
        if (item.type != MENUITEMTYPE_SEPARATOR && item.commandId == command_id) {
            item.enabled = enabled;
            found = true;
        }
    return found;
}

}  // namespace vxrt
