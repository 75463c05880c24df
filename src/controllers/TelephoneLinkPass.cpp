#include "TelephoneLinkPass.h"

#include "DatafileChanges.h"
#include "DatafileSettingsData.h"
#include "FeatureContext.h"
#include "RecordData.h"
#include "SubsetSortedData.h"
#include "TelephoneLinks.h"
#include "Telephony.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

TelephoneLinkPass::TelephoneLinkPass(FeatureContext& context, Finished finished)
    : m_context(context), m_finished(std::move(finished))
{
}

TelephoneLinkPass::~TelephoneLinkPass() = default;

void TelephoneLinkPass::start()
{
    m_formats = Telephony::phoneNumberTemplates();
    // A mobile datafile keeps no rich text, and gets no links at all.
    const std::shared_ptr<SubsetSortedData> shown = m_context.catalog();
    if (!m_context.isMobile() && shown && shown->records() && !m_formats.isEmpty()) {
        for (const QString& identifier : shown->selectedIdentifiers())
            if (std::shared_ptr<RecordData> record =
                    shown->records()->recordForIdentifier(identifier))
                m_records.append(std::move(record));
        for (const PlistValue& definition : m_context.settings()->fields())
            if (const PlistDictionary* field = definition.asDictionary())
                m_fieldIdentifiers.append(field->stringForKey(QStringLiteral("Identifier")));
    }
    scheduleSlice();
}

void TelephoneLinkPass::runToEnd()
{
    while (runSlice(-1)) {
    }
    finish();
}

void TelephoneLinkPass::scheduleSlice()
{
    QTimer::singleShot(0, this, [this] {
        if (runSlice(sliceMilliseconds))
            scheduleSlice();
        else
            finish();
    });
}

bool TelephoneLinkPass::runSlice(int milliseconds)
{
    QElapsedTimer slice;
    slice.start();
    DatafileChanges::Batch batch(m_context.changes());
    TelephoneLinks::RecordInput input;
    while (m_next < m_records.size()) {
        const std::shared_ptr<RecordData>& record = m_records.at(m_next++);
        input.fields.clear();
        for (const QString& identifier : std::as_const(m_fieldIdentifiers))
            input.fields.append({identifier, record->fields().stringForKey(identifier)});
        // Rich text is read only where its plain text holds a number worth linking.
        const bool textMayMatch =
            !Telephony::firstMatchingNumber(record->textString(), 0, record->textString().size(),
                                            m_formats)
                 .isEmpty();
        input.rtfd = textMayMatch ? record->textRTFD() : QByteArray();
        const TelephoneLinks::RecordLinks links = TelephoneLinks::linksForRecord(input, m_formats);
        if (!links.isEmpty()) {
            DatafileChanges& changes = m_context.changes();
            for (const auto& [identifier, value] : links.fields)
                changes.writeField(record, identifier, value, DatafileChanges::Kind::Bulk);
            if (links.text)
                changes.writeText(record, links.text->plainText, links.text->rtfd,
                                  DatafileChanges::Kind::Bulk);
            m_linkCount += links.linkCount;
        }
        if (milliseconds >= 0 && slice.elapsed() >= milliseconds)
            break;
    }
    return m_next < m_records.size();
}

void TelephoneLinkPass::finish()
{
    if (m_finishedCalled)
        return;
    m_finishedCalled = true;
    // The callback may end this object.
    const Finished finished = m_finished;
    finished(m_linkCount);
}
