#pragma once

#include "DialingSheetController.h"

#include <QPointer>
#include <QStringList>

class QLabel;
class QPushButton;

// Dials a number and its extensions one piece after another: the first at once, each
// further one when the user asks for it with Next; after the last the sheet closes by
// itself. By modem every piece goes out after the escape back to command mode.
class DialExtensionsSheetController : public DialingSheetController {
    Q_OBJECT

public:
    DialExtensionsSheetController();

    // The pieces (the number, then each extension), the window the sheet goes on, the
    // modem's path (none for the speaker) and the dialing method.
    void dialExtensions(const QStringList& pieces, QWidget* window, const QString& modemPath,
                        int dialingMethod);
    // The next piece; nothing while one is going out.
    void dialNextNumber(QObject* sender = nullptr);
    // The modem's steps for one piece: the escape between two guard waits, the start
    // string, then the piece and ";\r".
    void dialPhoneNumber(const QString& piece);

    QStringList numberArray() const { return _numberArray; }
    uint numberCount() const { return _numberCount; }
    uint currentNumberIndex() const { return _currentNumberIndex; }
    QLabel* nowDialingField() const { return m_nowDialingField; }
    QLabel* nextNumberField() const { return m_nextNumberField; }
    QPushButton* nextButton() const { return m_nextButton; }

    // The guard time on either side of the escape.
    static constexpr double escapeGuardSeconds = 90;

protected:
    QString nibName() const override { return QStringLiteral("DialExtensionsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    bool isLastPiece() const { return _currentNumberIndex + 1 >= _numberCount; }

    QStringList _numberArray;
    uint _numberCount = 0;
    // All ones before the first piece, so that the first step forward gives 0.
    uint _currentNumberIndex = ~0u;
    QPointer<QLabel> m_nowDialingField;
    QPointer<QLabel> m_nextNumberField;
    QPointer<QPushButton> m_nextButton;
};
