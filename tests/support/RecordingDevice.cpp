// A paint device that records fills and text instead of drawing them.
#include "support/RecordingDevice.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QTextItem>
#include <QTransform>
#include <climits>

namespace sw::test {
namespace {

class RecordingEngine : public QPaintEngine {
public:
    explicit RecordingEngine(RecordingDevice& device) : QPaintEngine(QPaintEngine::AllFeatures), m_device(device) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyTransform) m_transform = state.transform();
        if (state.state() & QPaintEngine::DirtyBrush) m_brush = state.brush();
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) Record(m_transform.mapRect(rects[i]).toRect());
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) Record(m_transform.mapRect(rects[i]));
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        m_device.texts.push_back({m_device.Page(), item.text(), m_transform.map(p)});
    }
    // Lines, curves and pictures are not kept.
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawLines(const QLineF*, int) override {}
    void drawLines(const QLine*, int) override {}
    void drawEllipse(const QRectF&) override {}
    void drawPoints(const QPointF*, int) override {}

private:
    void Record(const QRect& rect) {
        if (m_brush.style() == Qt::SolidPattern) m_device.fills.push_back({m_device.Page(), rect, m_brush.color()});
    }

    RecordingDevice& m_device;
    QTransform m_transform;
    QBrush m_brush;
};

}  // namespace

RecordingDevice::RecordingDevice(QSize dots, int dpi)
    : m_dots(dots), m_dpi(dpi), m_engine(std::make_unique<RecordingEngine>(*this)) {}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const { return m_engine.get(); }

int RecordingDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth: return m_dots.width();
        case PdmHeight: return m_dots.height();
        case PdmWidthMM: return m_dots.width() * 254 / (10 * m_dpi);
        case PdmHeightMM: return m_dots.height() * 254 / (10 * m_dpi);
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return m_dpi;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
    }
}

std::vector<QRect> RecordingDevice::FillsIn(int page, const QColor& colour) const {
    std::vector<QRect> found;
    for (const Fill& fill : fills)
        if (fill.page == page && fill.colour.rgb() == colour.rgb()) found.push_back(fill.rect);
    return found;
}

std::vector<RecordingDevice::Text> RecordingDevice::TextsIn(int page, const QRect& area) const {
    std::vector<Text> found;
    for (const Text& text : texts)
        if (text.page == page && area.contains(text.baseline.toPoint())) found.push_back(text);
    return found;
}

}  // namespace sw::test
