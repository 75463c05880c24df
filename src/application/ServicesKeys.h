#pragma once

#include <QString>

// The user defaults of the two services: the datafiles that receive text and links, and
// the sounds played after each (spelled as the stored preferences have them).
namespace ServicesKeys {

inline const QString DatafilePath = QStringLiteral("PreferredServicesDatafilePath");
inline const QString DatafilePathForURLs = QStringLiteral("PreferredServicesDatafilePathForURLs");
inline const QString SuccessSound = QStringLiteral("SevicesSuccessSound");
inline const QString FailureSound = QStringLiteral("SevicesFaliureSound");

} // namespace ServicesKeys
