#pragma once

#include <QString>

// Strings as parts of URLs.
namespace VKInternetStringCategories {

// Percent escapes decoded as UTF-8.
QString stringByReplacingPercentEscapes(const QString& string);
// Every character that may not stand in a URL escaped as UTF-8; the reserved
// characters of a URL are kept.
QString stringByAddingPercentEscapes(const QString& string);

// A URL typed by hand made whole: a scheme (the given one, "http://" when none) and
// a path ("/") are added when missing, and a bare host name becomes "www.name.com"
// except for "file://". The empty text stays empty.
QString stringByCleaningURLWithDefaultScheme(const QString& string, const QString& scheme);
QString stringByCleaningURL(const QString& string);

} // namespace VKInternetStringCategories
