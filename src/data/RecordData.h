#pragma once

#include "VKKeyedRecordData.h"

class DatafileChanges;

// One record of a datafile: its bookkeeping plus the values of the user's fields and
// the Freeform Text Area as plain and rich text.
class RecordData : public VKKeyedRecordData {
public:
    static inline const QString FieldsKey = QStringLiteral("Fields");
    static inline const QString TextStringKey = QStringLiteral("TextString");
    static inline const QString TextRTFDKey = QStringLiteral("TextRTFD");

    // Held only by the records door: a record's content changes there, where every
    // holder of the record is told, and nowhere else.
    class ChangeKey {
        friend class DatafileChanges;
        friend struct RecordDataTesting; // fixtures, as if read from a file
        ChangeKey() = default;
    };

    RecordData() = default;
    explicit RecordData(const PlistDictionary& dictionary);

    static std::shared_ptr<RecordData> record();
    // A new record holding this content: no datafile holds it yet, so nobody is to be told.
    static std::shared_ptr<RecordData> record(PlistDictionary fields, QString textString,
                                              QByteArray textRTFD = {});

    // The field text rule: a field value never holds a line feed, carriage return, tab,
    // U+2028 or U+2029; each becomes one space.
    static bool isFieldBreak(QChar character)
    {
        const char16_t code = character.unicode();
        return code < u' ' ? code == u'\n' || code == u'\r' || code == u'\t'
                           : code == 0x2028 || code == 0x2029;
    }
    static QString cleanedFieldValue(const QString& text);

    QString className() const override { return QStringLiteral("RecordData"); }

    // Field identifier to value. The editor changes it in place, so this is the
    // record's own dictionary, not a copy.
    const PlistDictionary& fields() const { return m_fields; }
    void setFields(const PlistDictionary& fields, ChangeKey) { m_fields = fields; }
    const QString& textString() const { return m_textString; }
    void setTextString(const QString& text, ChangeKey) { m_textString = text; }
    const QByteArray& textRTFD() const { return m_textRTFD; }
    void setTextRTFD(QByteArray rtfd, ChangeKey) { m_textRTFD = std::move(rtfd); }

    void appendEntries(PlistDictionary::Entries& entries) const override;

private:
    PlistDictionary m_fields;
    QString m_textString;
    QByteArray m_textRTFD;
};
