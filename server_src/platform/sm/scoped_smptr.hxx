#pragma once
// Owner of one block that a platform call returned: frees it with SM_free at
// the end of the scope (SM_free accepts null).
#include "sm/sm.hxx"

#include <type_traits>

// `Free` is the allocator's release call: SM_free, or MEM_free where the
// platform documents a block as the toolkit memory library's.
template <class T, void (*Free)(void*) = SM_free>
class scoped_smptr {
public:
    scoped_smptr() = default;
    explicit scoped_smptr(T* p) : p(p) {}
    scoped_smptr(const scoped_smptr&) = delete;
    scoped_smptr& operator=(const scoped_smptr&) = delete;
    virtual ~scoped_smptr() {
        Free(static_cast<void*>(const_cast<std::remove_const_t<T>*>(p)));
        p = nullptr;
    }

    T* get() const { return p; }
    T& operator*() const { return *p; }
    T* operator->() const { return p; }
    T& operator[](int i) const { return p[i]; }
    operator T*() const { return p; }
    // Address to pass as a platform call's out parameter; a block already
    // held is freed first, so refilling never leaks.
    T** operator&() {
        Free(static_cast<void*>(const_cast<std::remove_const_t<T>*>(p)));
        p = nullptr;
        return &p;
    }
    T* release() {
        T* q = p;
        p = nullptr;
        return q;
    }

private:
    T* p = nullptr;
};
