#pragma once

#include <QString>

// What start-up and the application's commands call in features that come later:
// the Services, the Dropbox transport. Each does nothing until its feature installs
// its own.
class ShellServices {
public:
    virtual ~ShellServices() = default;

    // Offers the text and link services with their send and return types.
    virtual void registerServices(const QStringList& sendTypes, const QStringList& returnTypes)
    {
        Q_UNUSED(sendTypes);
        Q_UNUSED(returnTypes);
    }
    virtual bool dropboxTransportAvailable() const { return false; }
};
