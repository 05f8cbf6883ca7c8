#pragma once
// Where element i of a caller's bind or define array lives: packed arrays step by the element's
// own size, arrays of structures (OCIBindArrayOfStruct, OCIDefineArrayOfStruct) by the skip the
// caller gave.

#include <cstddef>
#include <type_traits>

namespace ocilite::api {

template <class T, class P>
T* ElementAt(P* base, size_t index, size_t skip, size_t packedSize = sizeof(T)) {
    using Byte = std::conditional_t<std::is_const_v<T>, const unsigned char, unsigned char>;
    auto* bytes = reinterpret_cast<Byte*>(base);
    return reinterpret_cast<T*>(bytes + index * (skip != 0 ? skip : packedSize));
}

}  // namespace ocilite::api
