#pragma once

#include <QString>
#include <QStringList>

// The desktop's sounds: the files of the freedesktop sound folders, named by their path
// inside their folder less the extension ("Bell", "Sub/Bell").
namespace SoundLibrary {

// Each system data folder's "sounds", then the user's.
QStringList soundFolders();
// Every sound file of the folders and their sub-folders, sorted case-insensitively; a
// name found in two folders is there twice.
QStringList soundNames(const QStringList& folders);
// The file of the named sound, the user's folder (the last) first; empty when no folder
// holds it.
QString pathForSound(const QString& name, const QStringList& folders);
// The program's own sound of that name, a WAV resource under ":/sounds/"; empty when it
// has none.
QString bundledSoundPath(const QString& name);

} // namespace SoundLibrary
