// The reference count and identity answers shared by the objects we hand to the plugin.
#pragma once

#include "p7/p7_interfaces.h"

#include <initializer_list>

namespace cfr {

// Whether iid names one of the interfaces a view stands for.
inline bool answersTo(const p7::GUID& iid, std::initializer_list<p7::GUID> ids) {
    for (const auto& id : ids)
        if (p7::sameGuid(iid, id))
            return true;
    return false;
}

// Drops one reference and deletes the object with the last one; answers what is left.
template <class T> std::uint32_t dropReference(T* object, std::uint32_t& refs) {
    const std::uint32_t left = --refs;
    if (left == 0)
        delete object;
    return left;
}

// QueryInterface's answer: view (null when the iid named none) as a new reference.
template <class T> p7::HRESULT handOutView(T* object, void* view, void** out) {
    *out = view;
    if (!view)
        return p7::E_NOINTERFACE;
    object->AddRef();
    return p7::S_OK;
}

// One interface I, one plain count starting at the creator's reference.
template <class I> class RefBase : public I {
public:
    RefBase() = default;
    RefBase(const RefBase&) = delete;
    RefBase& operator=(const RefBase&) = delete;
    // In the plain layout this adds slots after the interface's own; nobody calls them.
    virtual ~RefBase() = default;

    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override { return dropReference(this, refs_); }

protected:
    // QueryInterface: a new reference to the object when iid is one of ids, else null.
    p7::HRESULT answer(const p7::GUID& iid, void** out, std::initializer_list<p7::GUID> ids) {
        if (!out)
            return p7::E_NOINTERFACE;
        return handOutView(this, answersTo(iid, ids) ? static_cast<I*>(this) : nullptr, out);
    }

private:
    std::uint32_t refs_ = 1;
};

// A callback object seen through two interfaces: the callback itself (its primary view) and
// a password interface. Both views share the one count.
template <class Primary, class Secondary> class TwoViews : public Primary, public Secondary {
public:
    TwoViews() = default;
    TwoViews(const TwoViews&) = delete;
    TwoViews& operator=(const TwoViews&) = delete;
    virtual ~TwoViews() = default;

    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override { return dropReference(this, refs_); }

protected:
    // QueryInterface: a new reference to the view that iid names, else null.
    p7::HRESULT answer(const p7::GUID& iid, void** out, std::initializer_list<p7::GUID> primary,
                       std::initializer_list<p7::GUID> secondary) {
        if (!out)
            return p7::E_NOINTERFACE;
        void* view = nullptr;
        if (answersTo(iid, primary))
            view = static_cast<Primary*>(this);
        else if (answersTo(iid, secondary))
            view = static_cast<Secondary*>(this);
        return handOutView(this, view, out);
    }

private:
    std::uint32_t refs_ = 1;
};

} // namespace cfr
