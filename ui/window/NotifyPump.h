#pragma once
// Routes control notifications to member handlers through message maps.
//
// A class declares its map with UI_DECLARE_MESSAGE_MAP(Class) in its body
// and defines it in its source file:
//
//   UI_BEGIN_MESSAGE_MAP(CMainWnd, WindowImplBase)
//       UI_ON_CLICK_CTRNAME(L"btn_home", OnHomeClick)
//       UI_ON_MSGTYPE(L"timer", OnTimer)
//   UI_END_MESSAGE_MAP()
//
// An entry names a notification type and, optionally, the sender's control
// name; an entry for the sender's name wins over one for any control. A map
// that has no entry for a notification hands it to its base class's map.
// Notifications that name a virtual window go to the pump registered under
// that name (AddVirtualWnd).

#include "ui/base/Platform.h"
#include "ui/base/StdStringPtrMap.h"
#include "ui/base/UiString.h"
#include "ui/paint/UiNotify.h"

namespace SkinUI {

class CNotifyPump;

// Handler signatures.
enum UiMsgSig {
    UISig_end = 0,  // ends an entry array
    UISig_lwl = 1,  // LRESULT (WPARAM, LPARAM): the notification's wParam and lParam
    UISig_vn = 2,   // void (TNotifyUI&): the whole record
};

typedef void (CNotifyPump::*UI_PMSG)(TNotifyUI& msg);
typedef LRESULT (CNotifyPump::*UI_PMSG_LWL)(WPARAM wParam, LPARAM lParam);

struct UI_MSGMAP_ENTRY {
    CUiString sMsgType;   // notification type ("click", "selectchanged", ...)
    CUiString sCtrlName;  // sender's name; empty for any control
    UINT nSig;            // UiMsgSig
    UI_PMSG pfn;          // for UISig_vn
    UI_PMSG_LWL pfnLwl;   // for UISig_lwl
};

struct UI_MSGMAP {
    const UI_MSGMAP* (*pfnGetBaseMap)();  // null for the root map
    const UI_MSGMAP_ENTRY* lpEntries;
};

#define UI_DECLARE_MESSAGE_MAP(theClass)                                                                               \
private:                                                                                                               \
    typedef theClass UiMapOwner;                                                                                       \
    static const ::SkinUI::UI_MSGMAP_ENTRY _messageEntries[];                                                          \
                                                                                                                       \
protected:                                                                                                             \
    static const ::SkinUI::UI_MSGMAP messageMap;                                                                       \
    static const ::SkinUI::UI_MSGMAP* _GetBaseMessageMap();                                                            \
    const ::SkinUI::UI_MSGMAP* GetMessageMap() const override;                                                         \
                                                                                                                       \
private:

#define UI_BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                      \
    const ::SkinUI::UI_MSGMAP* theClass::_GetBaseMessageMap() { return &baseClass::messageMap; }                       \
    const ::SkinUI::UI_MSGMAP* theClass::GetMessageMap() const { return &theClass::messageMap; }                       \
    const ::SkinUI::UI_MSGMAP theClass::messageMap = {&theClass::_GetBaseMessageMap, &theClass::_messageEntries[0]};   \
    const ::SkinUI::UI_MSGMAP_ENTRY theClass::_messageEntries[] = {

#define UI_END_MESSAGE_MAP()                                                                                           \
    {                                                                                                                  \
        L"", L"", ::SkinUI::UISig_end, nullptr, nullptr                                                                \
    }                                                                                                                  \
    }                                                                                                                  \
    ;

// void handler(TNotifyUI&) for notifications of `msgtype` from any control.
#define UI_ON_MSGTYPE(msgtype, memberFxn)                                                                              \
    {msgtype, L"", ::SkinUI::UISig_vn, static_cast<::SkinUI::UI_PMSG>(&UiMapOwner::memberFxn), nullptr},
// void handler(TNotifyUI&) for notifications of `msgtype` from the control `ctrname`.
#define UI_ON_MSGTYPE_CTRNAME(msgtype, ctrname, memberFxn)                                                             \
    {msgtype, ctrname, ::SkinUI::UISig_vn, static_cast<::SkinUI::UI_PMSG>(&UiMapOwner::memberFxn), nullptr},
// LRESULT handler(WPARAM, LPARAM) with the notification's wParam and lParam.
#define UI_ON_MSGTYPE_WL(msgtype, memberFxn)                                                                           \
    {msgtype, L"", ::SkinUI::UISig_lwl, nullptr, static_cast<::SkinUI::UI_PMSG_LWL>(&UiMapOwner::memberFxn)},
#define UI_ON_CLICK_CTRNAME(ctrname, memberFxn) UI_ON_MSGTYPE_CTRNAME(L"click", ctrname, memberFxn)
#define UI_ON_SELECTCHANGED_CTRNAME(ctrname, memberFxn) UI_ON_MSGTYPE_CTRNAME(L"selectchanged", ctrname, memberFxn)
#define UI_ON_TIMER(memberFxn) UI_ON_MSGTYPE(L"timer", memberFxn)

class CNotifyPump {
public:
    CNotifyPump();
    virtual ~CNotifyPump();
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    // False when the name is already taken. The pump is not owned.
    bool AddVirtualWnd(CUiString strName, CNotifyPump* pObject);
    // True when the name was present and is removed.
    bool RemoveVirtualWnd(CUiString strName);
    // Dispatches to the virtual window the notification names (without
    // regard to case), else on this object.
    void NotifyPump(TNotifyUI& msg);
    // Runs the handler of this object's maps for the notification; false
    // when no map has an entry for it.
    bool LoopDispatch(TNotifyUI& msg);

protected:
    static const UI_MSGMAP messageMap;
    virtual const UI_MSGMAP* GetMessageMap() const;

private:
    static const UI_MSGMAP_ENTRY _messageEntries[];
    CStdStringPtrMap m_VirtualWndMap{83};
};

}  // namespace SkinUI
