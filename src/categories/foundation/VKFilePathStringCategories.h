#pragma once

#include <QString>

// Strings as file paths.
namespace VKFilePathStringCategories {

// A name safe for a file: outer spaces removed, "/" and ":" replaced by "-"; the
// default when nothing is left.
QString stringByCleaningFilenameWithDefault(const QString& name, const QString& defaultName);
// The path with the cleaned component appended.
QString stringByAppendingPathComponent(const QString& path, const QString& component,
                                       const QString& cleanWithDefault);
// A file name without its extension; a name that only starts with a dot keeps it.
QString nameWithoutExtension(const QString& name);
// A window title with the extension replaced where a shown extension stands: within its
// last six characters (the whole title when it is shorter).
QString titleByReplacingExtension(const QString& title, const QString& extension,
                                  const QString& replacement);
// "File.ext" becomes "File~.ext", "File" becomes "File~".
QString backupFilePath(const QString& path);
// The standardised path, after creating every missing folder along it; a folder that
// cannot be made is left to the caller's later use of the path to report.
QString validatedDirectoryPath(const QString& path);
// The path with its folder validated as above.
QString validatedFilePath(const QString& path);

} // namespace VKFilePathStringCategories
