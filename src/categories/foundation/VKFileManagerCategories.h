#pragma once

#include <QString>

// Facts about files on disk.
namespace VKFileManagerCategories {

// The item's size in bytes as a 32-bit number, held at the largest such number for
// bigger files; 0 when the item cannot be read.
int fileSizeAtPath(const QString& path);

} // namespace VKFileManagerCategories
