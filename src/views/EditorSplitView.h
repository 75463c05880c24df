#pragma once

#include <QSplitter>

// The editor window's split of its table above the Freeform Text Area below: the divider
// keeps off either edge, the table may collapse and the text area never, and a change of
// the window's height goes to the text area first (the rules of SplitViewGeometry).
class EditorSplitView : public QSplitter {
    Q_OBJECT

public:
    // Holds the two boxes, which it takes as its children.
    EditorSplitView(QWidget* topBox, QWidget* bottomBox, QWidget* parent = nullptr);

    // Sets the boxes' heights; the last takes what is left.
    void setHeights(int top, int bottom);
    int topHeight() const;

Q_SIGNALS:
    // The boxes changed their heights, by a drag of the divider or with the window.
    void didResizeSubviews();

protected:
    QSplitterHandle* createHandle() override;
    void resizeEvent(QResizeEvent* event) override;
};
