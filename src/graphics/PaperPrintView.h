#pragma once

#include "PrintableView.h"

#include <QRectF>
#include <QString>

// A print of whole sheets of paper: the paper's frame (0, 0, width, height) in points,
// its printable part, and the job's title.
class PaperPrintView : public PrintableView {
public:
    explicit PaperPrintView(const QRectF& frame) : m_paperFrame(frame) {}

    const QRectF& paperFrame() const { return m_paperFrame; }
    void setPaperFrame(const QRectF& frame) { m_paperFrame = frame; }
    const QRectF& printableFrame() const { return m_printableFrame; }
    void setPrintableFrame(const QRectF& frame) { m_printableFrame = frame; }
    void setPrintJobTitle(const QString& title) { m_title = title; }
    QString printJobTitle() const override { return m_title; }

private:
    QRectF m_paperFrame;
    QRectF m_printableFrame;
    QString m_title;
};
