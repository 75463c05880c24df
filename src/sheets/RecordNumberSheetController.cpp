#include "RecordNumberSheetController.h"

#include "Localization.h"
#include "StringFormat.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QValidator>

// Whole numbers up to the maximum; a larger one, or anything else, cannot be typed.
class RecordNumberSheetController::NumberValidator : public QValidator {
public:
    using QValidator::QValidator;
    qint64 maximum = 0;

    State validate(QString& input, int&) const override
    {
        if (input.isEmpty())
            return Intermediate;
        for (const QChar character : input) {
            if (character < QLatin1Char('0') || character > QLatin1Char('9'))
                return Invalid;
        }
        bool ok = false;
        const qint64 number = input.toLongLong(&ok);
        if (!ok || number > maximum)
            return Invalid;
        return number < 1 ? Intermediate : Acceptable;
    }
};

int RecordNumberSheetController::recordIndex() const
{
    if (!m_numberField || !m_numberField->hasAcceptableInput())
        return -1;
    return int(m_numberField->text().toLongLong() - 1);
}

void RecordNumberSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    window->setMinimumWidth(320); // the question on one line
    auto* row = new QWidget(contentArea());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_numberField = new QLineEdit(row);
    m_validator = new NumberValidator(m_numberField);
    m_numberField->setValidator(m_validator);
    m_numberField->setMaximumWidth(120);
    m_maximumText = new QLabel(row);
    layout->addWidget(m_numberField);
    layout->addWidget(m_maximumText);
    layout->addStretch(1);
    contentLayout()->addWidget(row);
    connectControl(m_numberField);
}

void RecordNumberSheetController::recycle()
{
    VKSheetController::recycle();
    if (m_numberField)
        m_numberField->clear();
}

void RecordNumberSheetController::beginWithMaximum(qint64 maximum, QWidget* window,
                                                   DidEndCallback didEnd)
{
    this->window(); // the interface exists before it is filled
    m_maximum = maximum;
    m_validator->maximum = maximum;
    m_numberField->clear();
    m_maximumText->setText(stringWithFormat(localized(QStringLiteral("of %lld")), qlonglong(maximum)));
    setPrompt(promptText());
    setWindowTitle(titleText());
    m_numberField->setFocus();
    beginSheetModalForWindow(window, std::move(didEnd));
}

bool RecordNumberSheetController::maintainButtons()
{
    if (okayButton())
        okayButton()->setEnabled(m_numberField && m_numberField->hasAcceptableInput());
    return true;
}
