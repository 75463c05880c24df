#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class FeatureContext;
class QWidget;
class RecordData;
class TelephoneLinkPass;

// The telephone commands of an editor window: the number to dial found in the current
// record (the selected text, a bracketed number, or the first number matching one of
// the phone-number templates), dialed by the desktop's telephone handler, the speaker's
// tones or the modem with a dialing set's prefix and suffix; and every matching number
// of the shown records turned into a "tel://" link.
//   EditorTelephonyController.cpp       finding the number, the dial commands
//   EditorTelephonyControllerLinks.cpp  Make Telephone Links
class EditorTelephonyController : public QObject {
    Q_OBJECT

public:
    // The dialing methods of the preferences.
    static constexpr int telephoneUrlDialingMethod = 1;

    // Where a number goes out once found: the dialing engine and the two dial sheets.
    class Dialer {
    public:
        virtual ~Dialer() = default;
        virtual void dialPhoneNumber(const QString& number, const QString& modemPath,
                                     int dialingMethod);
        virtual void dialExtensions(const QStringList& pieces, QWidget* window,
                                    const QString& modemPath, int dialingMethod);
        virtual void dialPhoneShowingNumber(const QString& number, QWidget* window,
                                            const QString& modemPath, int dialingMethod);
    };
    // Every window dials through it from then on; nullptr gives the real one back.
    static void setDialerForTesting(Dialer* dialer);

    explicit EditorTelephonyController(FeatureContext& context);
    ~EditorTelephonyController() override;

    // Finding the number.
    // The templates of "PhoneNumberTemplates"; none without the key.
    static QStringList telephoneNumberFormatsList();
    // The text between the first two occurrences of the bracket; empty when they touch.
    static QString bracketedPhoneNumberInString(const QString& text, const QString& bracket);
    // The number and its extensions, split at each lower-case "x"; an empty piece ends
    // the list.
    static QStringList phoneNumberArrayFromString(const QString& number);
    // The selection of the cell being edited; empty when none is (none is opened).
    QString tableTextSelectedText() const;
    // The selected text where the user types: the cell being edited or the text area.
    QString highlightedPhoneNumber() const;
    QString bracketedPhoneNumber() const;
    QString formatMatchingPhoneNumber() const;

    // Dialing. The set is an index into "DialingSetList"; none puts nothing around it.
    void dialPhone(std::optional<int> dialingSet);
    void dialPhoneWithBasicSet();
    void dialBySpeaker(const QString& number, std::optional<int> dialingSet);
    void dialByModem(const QString& number, std::optional<int> dialingSet);
    void dialByFaceTime(const QString& number);

    // Links (EditorTelephonyControllerLinks.cpp).
    void createLinksForAllTelephoneNumbers();
    // Whether a pass is going on.
    bool makingLinks() const { return m_linkPass != nullptr; }

private:
    // What the searches read: the record as stored, the text as the text area holds it.
    struct Sources {
        std::shared_ptr<RecordData> record;
        QStringList fieldIdentifiers;
        QString text;
        qsizetype caret = 0;
        bool textFocused = false;
        qsizetype currentField = 0;
    };
    std::optional<Sources> sources() const;
    QString fieldValue(const Sources& sources, qsizetype field) const;
    bool textAreaFocused() const;
    void dialWithSet(const QString& number, std::optional<int> dialingSet, int dialingMethod,
                     const QString& modemPath);
    void linkPassDidEnd(qint64 linkCount);

    FeatureContext& m_context;
    std::unique_ptr<TelephoneLinkPass> m_linkPass;
};
