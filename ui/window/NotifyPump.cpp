#include "ui/window/NotifyPump.h"

#include "ui/controls/ControlUI.h"

namespace SkinUI {

const UI_MSGMAP CNotifyPump::messageMap = {nullptr, &CNotifyPump::_messageEntries[0]};
const UI_MSGMAP_ENTRY CNotifyPump::_messageEntries[] = {
    {L"", L"", UISig_end, nullptr, nullptr},
};

CNotifyPump::CNotifyPump() = default;
CNotifyPump::~CNotifyPump() = default;

const UI_MSGMAP* CNotifyPump::GetMessageMap() const { return &CNotifyPump::messageMap; }

bool CNotifyPump::AddVirtualWnd(CUiString strName, CNotifyPump* pObject)
{
    if (m_VirtualWndMap.Find(strName)) return false;
    return m_VirtualWndMap.Insert(strName, pObject);
}

bool CNotifyPump::RemoveVirtualWnd(CUiString strName) { return m_VirtualWndMap.Remove(strName); }

void CNotifyPump::NotifyPump(TNotifyUI& msg)
{
    if (!msg.sVirtualWnd.IsEmpty()) {
        for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
            LPCTSTR key = m_VirtualWndMap.GetAt(i);
            if (!key || msg.sVirtualWnd.CompareNoCase(key) != 0) continue;
            auto* pump = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(key, false));
            if (pump && pump->LoopDispatch(msg)) return;
        }
    }
    LoopDispatch(msg);
}

namespace {

// The entry of one map for the notification: the sender's own name wins at
// once; otherwise the last entry for any control.
const UI_MSGMAP_ENTRY* FindEntry(const UI_MSGMAP_ENTRY* entry, const TNotifyUI& msg, const CUiString& sender)
{
    const UI_MSGMAP_ENTRY* anyControl = nullptr;
    for (; entry->nSig != UISig_end; ++entry) {
        if (entry->sMsgType != msg.sType) continue;
        if (!entry->sCtrlName.IsEmpty()) {
            if (entry->sCtrlName == sender) return entry;
        } else {
            anyControl = entry;
        }
    }
    return anyControl;
}

}  // namespace

bool CNotifyPump::LoopDispatch(TNotifyUI& msg)
{
    const CUiString sender = msg.pSender ? msg.pSender->GetName() : CUiString();
    for (const UI_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        const UI_MSGMAP_ENTRY* entry = FindEntry(map->lpEntries, msg, sender);
        if (!entry) continue;
        switch (entry->nSig) {
        case UISig_lwl:
            (this->*entry->pfnLwl)(msg.wParam, msg.lParam);
            return true;
        case UISig_vn:
            (this->*entry->pfn)(msg);
            return true;
        default:
            return false;
        }
    }
    return false;
}

}  // namespace SkinUI
