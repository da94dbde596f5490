#include "ui/CFontTable.h"

#include "ui/CSkinWindow.h"

#include <QApplication>
#include <QVariant>
#include <QWidget>

namespace nq::ui {
namespace {

void ApplyOne(const CFontTable& table, QWidget* control)
{
    bool ok = false;
    int id = control->property("fontId").toInt(&ok);
    if (!ok)
        return;
    auto* window = qobject_cast<CSkinWindow*>(control->window());
    control->setFont(CFontTable::ScaleFont(table.GetFont(id), window ? window->Dpi() : 96));
}

} // namespace

CFontTable& CFontTable::Instance()
{
    static CFontTable table;
    return table;
}

QFont CFontTable::MakeFont(const QString& face, int sizePx, bool bold, bool underline, bool italic)
{
    QFont font(face);
    if (sizePx > 0)
        font.setPixelSize(sizePx);
    font.setBold(bold);
    font.setUnderline(underline);
    font.setItalic(italic);
    return font;
}

QFont CFontTable::ScaleFont(const QFont& font, int dpi)
{
    if (dpi <= 0 || dpi == 96)
        return font;
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(qMax(1, (font.pixelSize() * dpi + 48) / 96));
    else if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * dpi / 96.0);
    return scaled;
}

void CFontTable::AddFont(int id, const QString& face, int sizePx, bool bold, bool underline, bool italic)
{
    m_fonts[id] = MakeFont(face, sizePx, bold, underline, italic);
}

void CFontTable::SetDefaultFont(const QString& face, int sizePx, bool bold, bool underline, bool italic)
{
    m_default = MakeFont(face, sizePx, bold, underline, italic);
    m_hasDefault = true;
}

void CFontTable::RemoveAll()
{
    m_fonts.clear();
}

bool CFontTable::HasFont(int id) const
{
    return m_fonts.count(id) != 0;
}

QFont CFontTable::GetFont(int id) const
{
    auto found = m_fonts.find(id);
    return found == m_fonts.end() ? DefaultFont() : found->second;
}

QFont CFontTable::DefaultFont() const
{
    return m_hasDefault ? m_default : QApplication::font();
}

void CFontTable::ApplyFonts(QWidget* root) const
{
    if (!root)
        return;
    ApplyOne(*this, root);
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* child : children)
        ApplyOne(*this, child);
}

void CFontTable::ApplyToApplication() const
{
    if (m_hasDefault)
        QApplication::setFont(m_default);
    const QList<QWidget*> widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets)
        ApplyOne(*this, widget);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CSkinWindow*>(top))
            window->ApplyDpiToContents();
}

} // namespace nq::ui
