#pragma once

#include <QColor>
#include <QRectF>
#include <QWidget>

#include <memory>

class AddressGraphic;
class QPlainTextEdit;

// The editor's bottom panel while the records a template cannot print are edited: the
// current record's address block in a text field at the address graphic's minimum size,
// framed by a rectangle of the address block's size, red while the text does not fit it
// and blue once it does. Lengths in points, y down.
class TooBigView : public QWidget {
public:
    explicit TooBigView(QWidget* parent = nullptr);
    ~TooBigView() override;

    // Copies of both are kept.
    void setAddressGraphic(const std::shared_ptr<AddressGraphic>& graphic);
    const AddressGraphic* addressGraphic() const { return m_addressGraphic.get(); }
    void setAddressBlockText(const QString& text);
    const QString& addressBlockText() const { return m_addressBlockText; }
    // The field that shows the address block, a child of the view.
    void setTooBigTextView(QPlainTextEdit* textView);
    QPlainTextEdit* tooBigTextView() const { return m_addressBlockTextView; }

    // The panel's content: the graphic's bounds 70 points taller, as wide as the view.
    QRectF bottomDrawerRect() const;
    // The rectangle framed around the text, and its colour; nothing without a graphic.
    QRectF verdictFrame() const;
    QColor verdictColor() const;
    static QColor fitsColor() { return Qt::blue; }
    static QColor tooLargeColor() { return Qt::red; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The field's place in points, and the address in it at the minimum size.
    QRectF textFieldFrame() const;
    void showText();

    std::shared_ptr<AddressGraphic> m_addressGraphic;
    QString m_addressBlockText;
    QPlainTextEdit* m_addressBlockTextView = nullptr;
};
