#pragma once

#include <QObject>
#include <QString>

class FeatureContext;

// Edit ▸ Insert Link To File or Folder and Fields ▸ Deactivate Field Link: a chosen file
// or folder linked into the Freeform Text Area, or its address typed into the field being
// edited; the links taken off the field being edited.
class LinkCommandsController : public QObject {
    Q_OBJECT

public:
    explicit LinkCommandsController(FeatureContext& context);

    // One file or folder chosen in a panel of the application. In the text area the
    // selection, or else the item's name put in at the caret, links to it; in a field its
    // "file://" address goes in as text. Nothing when the panel is cancelled.
    void insertFileLink();
    // Nothing without a field being edited.
    void deactivateFieldLink();

private:
    void linkInFreeformText(const QString& url, const QString& name);

    FeatureContext& m_context;
};
