#pragma once

#include "PlistValue.h"

#include <QObject>
#include <QVariant>

#include <functional>

class QWidget;
class VKViewsListHandler;
class VKViewsListView;

// Makes a handler of one class, not yet initialised.
using VKViewsListHandlerClass = std::function<VKViewsListHandler*()>;

// What every row of a views list answers: its settings and its view. Made in two steps,
// as C++ calls no overrides from a constructor: construct, then initForViewsListView().
class VKViewsListHandler : public QObject {
    Q_OBJECT

public:
    ~VKViewsListHandler() override = default;

    // False when the handler cannot serve; it is then not added.
    virtual bool initForViewsListView(VKViewsListView* list, const PlistDictionary& settings,
                                      const QVariant& userInfo) = 0;
    // What the caller stores for the row.
    virtual PlistDictionary settings() const = 0;
    // The row's view; nullptr when it failed to load.
    virtual QWidget* containerView() const = 0;

    // The class that made the handler, so that a row can make another of its kind.
    const VKViewsListHandlerClass& handlerClass() const { return m_handlerClass; }
    void setHandlerClass(VKViewsListHandlerClass handlerClass)
    {
        m_handlerClass = std::move(handlerClass);
    }

private:
    VKViewsListHandlerClass m_handlerClass;
};
