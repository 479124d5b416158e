// Message maps: a class's table of which handler runs for which notification of which control,
// written with the framework's macros next to the class's other declarations.
#pragma once

#include "framework/core/wintypes.h"

class CCmdTarget;

struct NMHDR {
    void* hwndFrom = nullptr;
    std::uintptr_t idFrom = 0;
    UINT code = 0;
};

#ifndef CDDS_PREPAINT
#define CDDS_PREPAINT 0x00000001
#endif

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage = CDDS_PREPAINT;
};
using LPNMCUSTOMDRAW = NMCUSTOMDRAW*;

namespace fw {

struct MessageMapEntry {
    UINT message; // WM_COMMAND or WM_NOTIFY; 0 ends the table
    UINT code;    // notification code, or 0 for a command
    int id;       // control identifier, or the command
    void (*invoke)(CCmdTarget* target, NMHDR* header, LRESULT* result);
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;
};

} // namespace fw

// The run-time class record.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* base) const
    {
        for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass)
            if (c == base)
                return true;
        return false;
    }
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)                                                                                      \
public:                                                                                                                \
    static const CRuntimeClass class##theClass;                                                                        \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                                                         \
    const CRuntimeClass theClass::class##theClass = {#theClass, RUNTIME_CLASS(baseClass)};                             \
    const CRuntimeClass* theClass::GetRuntimeClass() const { return RUNTIME_CLASS(theClass); }

#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const fw::MessageMap* GetThisMessageMap();                                                                  \
    const fw::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const fw::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }                              \
    const fw::MessageMap* theClass::GetThisMessageMap()                                                                \
    {                                                                                                                  \
        using ThisClass [[maybe_unused]] = theClass;                                                                   \
        using TheBaseClass = baseClass;                                                                                \
        static const fw::MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                                              \
    {                                                                                                                  \
        0, 0, 0, nullptr                                                                                               \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const fw::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};                                     \
    return &map;                                                                                                       \
    }

#define ON_CONTROL(code, id, memberFn)                                                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<int>(id),                                                        \
     [](CCmdTarget* target, NMHDR*, LRESULT*) { (static_cast<ThisClass*>(target)->*(memberFn))(); }},

#define ON_COMMAND(id, memberFn) ON_CONTROL(0, id, memberFn)
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_EN_CHANGE(id, memberFn) ON_CONTROL(EN_CHANGE, id, memberFn)
#define ON_EN_UPDATE(id, memberFn) ON_CONTROL(EN_UPDATE, id, memberFn)

#define ON_NOTIFY(code, id, memberFn)                                                                                  \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<int>(id),                                                         \
     [](CCmdTarget* target, NMHDR* header, LRESULT* result) {                                                          \
         (static_cast<ThisClass*>(target)->*(memberFn))(header, result);                                               \
     }},
