#pragma once

#include "VKSheetController.h"

class QCheckBox;
class QRadioButton;

// The options of a delimited-text export: encoding, line end, the names line and the
// Freeform Text Area column. Pooled, so each kind of export keeps the user's last
// choices.
class ExportDelimitedSheetController : public VKSheetController {
    Q_OBJECT

public:
    void beginSheetForWindow(QWidget* window, DidEndCallback didEnd);

    bool utf16() const;
    bool linefeedIsOn() const;
    bool carriageReturnIsOn() const;
    bool crlfIsOn() const;
    bool includingFieldNamesIsOn() const;
    bool fieldContentOnlyIsOn() const;

    // The controls, for the user's choices in tests.
    QRadioButton* utf16Radio() { return window(), m_utf16Radio; }
    QRadioButton* utf8Radio() { return window(), m_utf8Radio; }
    QRadioButton* linefeed() { return window(), m_linefeed; }
    QRadioButton* carriageReturn() { return window(), m_carriageReturn; }
    QRadioButton* crlf() { return window(), m_crlf; }
    QCheckBox* includingFieldNames() { return window(), m_includingFieldNames; }
    QCheckBox* fieldContentOnly() { return window(), m_fieldContentOnly; }

    void help(QObject* sender = nullptr) override;

protected:
    void buildInterface(QDialog* window) override;
    // The sheet's prompt, after "Export the shown records as".
    virtual QString kindName() const = 0;

private:
    QRadioButton* m_utf16Radio = nullptr;
    QRadioButton* m_utf8Radio = nullptr;
    QRadioButton* m_linefeed = nullptr;
    QRadioButton* m_carriageReturn = nullptr;
    QRadioButton* m_crlf = nullptr;
    QCheckBox* m_includingFieldNames = nullptr;
    QCheckBox* m_fieldContentOnly = nullptr;
};

class ExportAsCSVSheetController : public ExportDelimitedSheetController {
    Q_OBJECT

protected:
    QString nibName() const override { return QStringLiteral("ExportAsCSVSheet"); }
    QString kindName() const override;
};

class ExportAsTabDelimitedSheetController : public ExportDelimitedSheetController {
    Q_OBJECT

protected:
    QString nibName() const override { return QStringLiteral("ExportAsTabDelimitedSheet"); }
    QString kindName() const override;
};
