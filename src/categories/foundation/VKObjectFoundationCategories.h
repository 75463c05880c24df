#pragma once

#include <optional>
#include <type_traits>
#include <utility>

// Storing a value that may be missing, as record readers do to keep a default when a
// key is absent. Values are std::optional or pointer-like (raw or smart pointers).
namespace VKObjectFoundationCategories {

namespace detail {
template <typename T> struct IsOptional : std::false_type {
};
template <typename T> struct IsOptional<std::optional<T>> : std::true_type {
};

template <typename T>
concept PointerLike = std::is_pointer_v<T> || std::is_null_pointer_v<T> || requires
{
    typename T::element_type;
};
} // namespace detail

// Stores the value in the variable, except a missing value when nilAllowed is false:
// the variable then keeps what it holds. A missing optional stored into a plain
// variable resets it to its empty value.
template <typename Variable, typename Value>
requires(detail::IsOptional<std::remove_cvref_t<Value>>::value ||
         detail::PointerLike<std::remove_cvref_t<Value>>) void set(Variable& variable,
                                                                   Value&& value, bool nilAllowed)
{
    if constexpr (detail::IsOptional<std::remove_cvref_t<Value>>::value) {
        if (value)
            variable = *std::forward<Value>(value);
        else if (nilAllowed)
            variable = Variable{};
    } else {
        if (value != nullptr || nilAllowed)
            variable = std::forward<Value>(value);
    }
}

// Stores the value unconditionally.
template <typename Variable, typename Value> void set(Variable& variable, Value&& value)
{
    set(variable, std::forward<Value>(value), true);
}

} // namespace VKObjectFoundationCategories
