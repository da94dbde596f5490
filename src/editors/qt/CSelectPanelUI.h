#pragma once
// The panel of a device picture ("SelectPanel") on which the user drags a rectangle over key
// buttons. When a drag ends every key button on the panel is marked selected exactly when it
// meets the rectangle, and the panel raises "click_select_end". A click without movement changes
// nothing and raises nothing.
#include <QRect>
#include <QWidget>

namespace nq::pages {

class CSelectPanelUI : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "SelectPanel";
    static constexpr quint32 kFillColour = 0x460099FF;    // ARGB
    static constexpr quint32 kOutlineColour = 0xFF0099FF;

    explicit CSelectPanelUI(QWidget* parent = nullptr);

    // The drag, in panel coordinates. The key buttons on the panel forward their mouse events
    // here, so a drag may start and end on a button.
    void DragPress(const QPoint& point);
    void DragMove(const QPoint& point);
    void DragRelease();

    bool IsDragging() const { return m_dragging; }
    QRect SelectionRect() const { return m_selection; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_anchor;
    QPoint m_current;
    QRect m_selection;
};

} // namespace nq::pages
