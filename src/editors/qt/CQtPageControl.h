#pragma once
// The device logic's view of one widget (IPageControl over a QWidget). The owning page keeps one
// adapter per widget for as long as the page lives.
#include "devices/IDevicePage.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace nq::pages {

class CQtPageControl : public IPageControl {
public:
    // children: how the adapter finds the adapters of its widget's children.
    using AdapterOf = std::function<IPageControl*(QWidget*)>;

    CQtPageControl(QWidget* widget, AdapterOf adapterOf);

    QWidget* Widget() const { return m_widget; }

    std::string ClassName() const override;
    std::string Name() const override;
    std::string UserData() const override;
    std::string Text() const override;
    bool IsVisible() const override;
    void SetVisible(bool visible) override;
    void Invalidate() override;
    std::vector<IPageControl*> Children() const override;
    void SetLightColour(uint32_t colour, uint8_t level, bool show) override;
    void SelectTab(int index) override;

    // The same for any widget, without an adapter.
    static std::vector<QWidget*> ChildWidgets(const QWidget* widget);

private:
    QPointer<QWidget> m_widget;
    AdapterOf m_adapterOf;
};

} // namespace nq::pages
