#pragma once

#include <QString>
#include <QUrl>

// File URLs as the stored preferences write them: "file://localhost/..." names a
// local file, which Qt alone would take for a file on a host called "localhost".
namespace FileURL {

bool isLocalFile(const QUrl& url);
// The local path of a file URL; empty for any other URL.
QString localPath(const QUrl& url);
// "file://localhost" + the percent-escaped path (UTF-8) + "/", for a folder.
QString folderURLString(const QString& path);
// "~" and "~/..." with the home folder.
QString expandTilde(const QString& path);
// The home folder at the start of the path as "~".
QString abbreviateTilde(const QString& path);
// The folder a stored folder URL (or plain path) names, "~" expanded and links resolved;
// empty when nothing is stored.
QString folderPath(const QString& stored);

} // namespace FileURL
