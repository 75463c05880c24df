#pragma once

#include <QString>

#include <optional>

// Facts about files on disk.
namespace VKFileManagerCategories {

// The item's size in bytes as a 32-bit number, held at the largest such number for
// bigger files; 0 when the item cannot be read.
int fileSizeAtPath(const QString& path);
// A symbolic link's final target; nothing for anything else or a dangling link.
std::optional<QString> targetOfSymbolicLink(const QString& path);
// The path with every link and "." or ".." resolved; the path itself when it does not exist.
QString canonicalPathOrSelf(const QString& path);

} // namespace VKFileManagerCategories
