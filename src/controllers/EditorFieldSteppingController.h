#pragma once

#include <QObject>

class EditorWindowController;

// Records ▸ Next Field, Previous Field and the same field in the next or previous record:
// the focus steps through the fields of the view shown, wrapping at either end (the List
// View's "Text" column is never entered), and editing starts in the field reached.
class EditorFieldSteppingController : public QObject {
    Q_OBJECT

public:
    explicit EditorFieldSteppingController(EditorWindowController& editor);

    void selectNextField() { stepField(true); }
    void selectPreviousField() { stepField(false); }
    void selectNextRecord() { stepRecord(true); }
    void selectPreviousRecord() { stepRecord(false); }

private:
    void stepField(bool forward);
    void stepRecord(bool forward);
    bool basicViewShown() const;

    EditorWindowController& m_editor;
};
