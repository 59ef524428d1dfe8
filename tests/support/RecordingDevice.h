// A paint device that keeps what is drawn on it instead of pixels: filled rectangles with their
// colour and text with where its baseline starts, in device dots, page by page. It stands in for
// a printer (its resolution, pages) where no printer or PDF reader is at hand.
#pragma once

#include <QColor>
#include <QPaintDevice>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QPaintEngine;

namespace sw::test {

class RecordingDevice : public QPaintDevice {
public:
    struct Fill {
        int page = 0;  // 0 first
        QRect rect;    // device dots
        QColor colour;
    };
    struct Text {
        int page = 0;
        QString text;
        QPointF baseline;  // where the text's baseline starts, device dots
    };

    RecordingDevice(QSize dots, int dpi);
    ~RecordingDevice() override;

    QPaintEngine* paintEngine() const override;
    // What follows goes on the next page; the painter stays as it is, as on a printer.
    void NewPage() { ++m_page; }
    int Page() const { return m_page; }

    std::vector<Fill> fills;
    std::vector<Text> texts;

    // The fills of a page in one colour.
    std::vector<QRect> FillsIn(int page, const QColor& colour) const;
    // The texts of a page whose baseline starts inside `area`.
    std::vector<Text> TextsIn(int page, const QRect& area) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_dots;
    int m_dpi;
    int m_page = 0;
    std::unique_ptr<QPaintEngine> m_engine;
};

}  // namespace sw::test
