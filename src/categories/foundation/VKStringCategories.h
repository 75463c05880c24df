#pragma once

#include <QString>

// Small operations on strings that every part of the model shares.
namespace VKStringCategories {

// A new random UUID: 32 upper-case hexadecimal digits in groups of 8, 4, 4, 4 and 12,
// separated by hyphens. Every record and field identifier is made with it.
QString universallyUniqueIdentifier();

} // namespace VKStringCategories
