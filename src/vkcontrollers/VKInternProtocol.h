#pragma once

#include "PlistValue.h"

#include <QString>

#include <functional>
#include <memory>

class QObject;
class QWidget;

// One page of an assistant. The page is made from the settings the page before handed
// on (its initWithSettings:), tells whether the user may go on, whether it is the last,
// and names the class of the page that follows.
class VKInternProtocol {
public:
    virtual ~VKInternProtocol() = default;

    // The page's prompt.
    virtual QString name() const = 0;
    virtual QWidget* containerView() = 0;
    virtual bool willFinish() const = 0;
    virtual bool canProceed() const = 0;
    // The registered class of the following page; empty for none.
    virtual QString nextInternClass() const = 0;
    // What the page does.
    virtual QString operation() const = 0;
    // What the following page (or the assistant's caller) is handed; null for nothing.
    virtual PlistValue settings() const = 0;
    virtual QObject* delegate() const = 0;
    virtual void setDelegate(QObject* delegate) = 0;
};

// The intern classes by name, as page descriptions name them. A name no class was
// registered under does not resolve.
class VKInternClasses {
public:
    using Factory =
        std::function<std::unique_ptr<VKInternProtocol>(const PlistDictionary& settings)>;

    static void registerClass(const QString& name, Factory factory);
    static void unregisterClass(const QString& name);
    static bool resolves(const QString& name);
    // A new page of the class with the settings; nothing when the name does not resolve.
    static std::unique_ptr<VKInternProtocol> make(const QString& name,
                                                  const PlistDictionary& settings);
};
