#pragma once
// UniqueHandle<Traits>: the one owner of a handle the system gives out (an icon, a registry key, a GDI
// object), which Traits::Close gives back when the owner goes. It is a std::unique_ptr: get() borrows,
// release() hands the handle over, reset() gives it back early. A null handle is no handle and is never
// closed.
//
//     struct IconTraits {
//         using Handle = HICON;  // a pointer to an opaque struct, as the system's handle types are
//         static void Close(HICON icon) noexcept { DestroyIcon(icon); }
//     };
//     UniqueHandle<IconTraits> icon(LoadImageW(...));

#include <memory>
#include <type_traits>

namespace korvena {

template <class Traits>
struct HandleCloser {
    void operator()(typename Traits::Handle handle) const noexcept { Traits::Close(handle); }
};

template <class Traits>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<typename Traits::Handle>, HandleCloser<Traits>>;

}  // namespace korvena
