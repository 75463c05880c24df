#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QTextBlockFormat;
class QTextEdit;

// The left tab stops of the paragraph, on a scale of points: a click sets a stop there
// (to the nearest 9 points), a click on a stop takes it away.
class FreeformTabStrip : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal Step = 9.0;

    explicit FreeformTabStrip(QWidget* parent = nullptr);
    const QList<qreal>& tabs() const { return m_tabs; }
    void setTabs(const QList<qreal>& tabs);
    // As a click at that many points from the left edge does.
    void clickAt(qreal points);
    QSize sizeHint() const override;

Q_SIGNALS:
    void tabsChosen(const QList<qreal>& tabs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QList<qreal> m_tabs;
};

// The ruler over a rich text: the alignment, line spacing, indents and left tab stops of
// the paragraphs the selection touches, shown as they are and set for all of them.
class FreeformRuler : public QWidget {
    Q_OBJECT

public:
    // Nothing is set while mayEdit says no.
    FreeformRuler(QTextEdit* text, std::function<bool()> mayEdit, QWidget* parent = nullptr);

    QButtonGroup* alignmentButtons() const { return m_alignments; }
    QComboBox* spacingBox() const { return m_spacing; }
    QDoubleSpinBox* indentBox() const { return m_indent; }
    QDoubleSpinBox* firstLineBox() const { return m_firstLine; }
    FreeformTabStrip* tabStrip() const { return m_tabs; }

    // Shows the paragraph at the text's cursor.
    void showParagraph();

private:
    void setParagraphs(const std::function<void(QTextBlockFormat&)>& change);

    QTextEdit* m_text;
    std::function<bool()> m_mayEdit;
    QButtonGroup* m_alignments;
    QComboBox* m_spacing;
    QDoubleSpinBox* m_indent;
    QDoubleSpinBox* m_firstLine;
    FreeformTabStrip* m_tabs;
    bool m_showing = false;
};
