#pragma once

// The small animated picture in a page's header card: a few plain rounded shapes in the page's
// accent colour, moved by property animations that Qt's animation driver runs (no timers of our
// own, no per-frame drawing code beyond painting the shapes). One drawing per group of pages.

#include <memory>
#include <vector>

#include <QColor>
#include <QObject>
#include <QRectF>
#include <QWidget>

#include "core/settings_pages/page_registry.h"

class QAbstractAnimation;

namespace tavrel {

class MiniPreviewView;

// One shape. Frame in drawing coordinates (x from the left, y from the bottom of the content
// area); the animated properties move it about its centre.
class PreviewLayer : public QObject {
    Q_OBJECT
    Q_PROPERTY(qreal offsetY READ offsetY WRITE setOffsetY)
    Q_PROPERTY(qreal centerX READ centerX WRITE setCenterX)
    Q_PROPERTY(qreal scale READ scale WRITE setScale)
    Q_PROPERTY(qreal rotation READ rotation WRITE setRotation)
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity)
public:
    PreviewLayer(MiniPreviewView* view, QRectF frame, qreal radius, QColor fill, QColor border = {},
                 qreal borderWidth = 0, qreal baseRotation = 0);

    QRectF frame;
    qreal radius;
    QColor fill;
    QColor border;
    qreal borderWidth;
    qreal baseRotation;  // radians, counter-clockwise

    qreal offsetY() const { return offsetY_; }
    void setOffsetY(qreal value);
    qreal centerX() const { return centerX_; }
    void setCenterX(qreal value);
    qreal scale() const { return scale_; }
    void setScale(qreal value);
    qreal rotation() const { return rotation_; }
    void setRotation(qreal value);
    qreal opacity() const { return opacity_; }
    void setOpacity(qreal value);

private:
    MiniPreviewView* view_;
    qreal offsetY_ = 0;
    qreal centerX_;
    qreal scale_ = 1;
    qreal rotation_ = 0;
    qreal opacity_ = 1;
};

class MiniPreviewView : public QWidget {
    Q_OBJECT
public:
    // One drawing per header preview kind of the page registry.
    using Drawing = HeaderPreview;
    static Drawing drawingFor(FeaturePage page);

    explicit MiniPreviewView(QWidget* parent = nullptr);
    ~MiniPreviewView() override;

    void setAccentColor(const QColor& color);
    QColor accentColor() const { return accentColor_; }
    void setKind(FeaturePage kind);
    FeaturePage kind() const { return kind_; }

    // Discards the drawing and builds it again (nothing while the view has no size).
    void rebuildPreview();

    // The drawing's content area: the bounds inset by 14 horizontally and 9 vertically.
    QRectF contentRect() const;
    const std::vector<std::unique_ptr<PreviewLayer>>& layers() const { return layers_; }
    int runningAnimationCount() const;

    QSize sizeHint() const override { return {168, 54}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class PreviewLayer;
    PreviewLayer* add(QRectF frame, qreal radius, QColor fill, QColor border = {},
                      qreal borderWidth = 0, qreal baseRotation = 0);
    void animate(PreviewLayer* layer, const char* property, qreal from, qreal to, double seconds,
                 bool reverses = true, double delaySeconds = 0);
    QColor accent(qreal alpha) const;
    QColor white(qreal alpha) const;
    QColor separator(qreal alpha) const;
    QColor label(qreal alpha) const;

    void buildTaskbarPreview();
    void buildGeneralPreview();
    void buildNativeDockPreview();
    void buildSwitcherPreview();
    void buildDesktopCornerPreview();
    void buildDesktopIconsPreview();
    void buildNewFilePreview();

    QColor accentColor_;
    FeaturePage kind_ = FeaturePage::taskbar;
    std::vector<std::unique_ptr<PreviewLayer>> layers_;
    std::vector<QAbstractAnimation*> animations_;
};

}  // namespace tavrel
