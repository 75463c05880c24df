#pragma once

#include "PlistValue.h"

#include <limits>

// Small operations on arrays that every part of the model shares.
namespace VKArrayCategories {

// The position that stands for "no such element": the largest signed index.
inline constexpr qint64 NotFound = std::numeric_limits<qint64>::max();

} // namespace VKArrayCategories
