#pragma once
// Callbacks attached to a control's events: a free function or an object and
// one of its member functions, each taking the event's parameter and
// returning false to stop the event.

#include "ui/base/Platform.h"
#include "ui/base/StdPtrArray.h"

namespace SkinUI {

class CDelegateBase {
public:
    virtual ~CDelegateBase() = default;
    virtual CDelegateBase* Copy() const = 0;
    // Same kind of callback, same object, same function.
    bool Equals(const CDelegateBase& other) const { return Kind() == other.Kind() && SameTarget(other); }
    bool operator()(void* param) { return Invoke(param); }

protected:
    // A distinct address per callback type, so targets are compared only
    // between delegates of the same type.
    virtual const void* Kind() const = 0;
    virtual bool SameTarget(const CDelegateBase& other) const = 0;
    virtual bool Invoke(void* param) = 0;
};

class CDelegateStatic : public CDelegateBase {
public:
    typedef bool (*Fn)(void*);
    explicit CDelegateStatic(Fn fn) : m_fn(fn) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }

protected:
    const void* Kind() const override
    {
        static const char kind = 0;
        return &kind;
    }
    bool SameTarget(const CDelegateBase& other) const override
    {
        return static_cast<const CDelegateStatic&>(other).m_fn == m_fn;
    }
    bool Invoke(void* param) override { return m_fn ? m_fn(param) : true; }

private:
    Fn m_fn;
};

template <class O, class T>
class CDelegate : public CDelegateBase {
public:
    typedef bool (T::*Fn)(void*);
    CDelegate(O* object, Fn fn) : m_object(object), m_fn(fn) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }

protected:
    const void* Kind() const override
    {
        static const char kind = 0;
        return &kind;
    }
    bool SameTarget(const CDelegateBase& other) const override
    {
        const CDelegate& o = static_cast<const CDelegate&>(other);
        return o.m_object == m_object && o.m_fn == m_fn;
    }
    bool Invoke(void* param) override { return (static_cast<T*>(m_object)->*m_fn)(param); }

private:
    O* m_object;
    Fn m_fn;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* object, bool (T::*fn)(void*))
{
    return CDelegate<O, T>(object, fn);
}

inline CDelegateStatic MakeDelegate(bool (*fn)(void*)) { return CDelegateStatic(fn); }

// An ordered list of owned delegates. A delegate may remove itself, or add
// others, while the source is being fired: removals are deferred until the
// outermost firing ends, and delegates added during a firing are not called
// by it.
class CEventSource {
public:
    typedef bool (*FnType)(void*);

    CEventSource() = default;
    ~CEventSource();
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;

    explicit operator bool() const;
    void operator+=(const CDelegateBase& d);
    void operator+=(FnType fn);
    void operator-=(const CDelegateBase& d);
    void operator-=(FnType fn);
    // Calls the delegates in the order they were added; false as soon as
    // one returns false.
    bool operator()(void* param);

private:
    void Compact();

    CStdPtrArray m_aDelegates;  // removed slots are null while firing
    CStdPtrArray m_aRemoved;    // delegates removed while firing, freed afterwards
    int m_nFiring = 0;
};

}  // namespace SkinUI
