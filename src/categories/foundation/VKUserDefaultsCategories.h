#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class UserDefaults;

// The factory settings of the preference panes: the registered defaults, which show
// through wherever the user has stored no value of their own.
namespace VKUserDefaultsCategories {

// True when a key's value differs from its registered one; a key with nothing
// registered always counts as changed. False for no keys.
bool changedFromFactorySettingsForKeys(const UserDefaults& defaults, const QStringList& keys);
bool changedFromFactorySettingsForKey(const UserDefaults& defaults, const QString& key);

// Removes the user's values, so that the registered ones show through.
void restoreFactorySettingsForKeys(UserDefaults& defaults, const QStringList& keys);
void restoreFactorySettingsForKey(UserDefaults& defaults, const QString& key);

// An opaque grey from the stored white level (0 black, 1 white).
QColor grayForKey(const UserDefaults& defaults, const QString& key);
// Stores the colour's white level.
void setGray(UserDefaults& defaults, const QColor& color, const QString& key);

} // namespace VKUserDefaultsCategories
