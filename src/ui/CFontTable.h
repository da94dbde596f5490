#pragma once
// The font table: fonts registered by identifier (face, size in pixels, bold, underline, italic)
// and a default font. A control uses a table font through its "fontId" property; an unknown
// identifier gives the default font. Sizes are those of a window at 96 DPI; a control in a skin
// window of another DPI gets its font scaled to that window.
#include <QFont>
#include <QString>

#include <map>

class QWidget;

namespace nq::ui {

class CFontTable {
public:
    static CFontTable& Instance();

    void AddFont(int id, const QString& face, int sizePx, bool bold = false, bool underline = false,
                 bool italic = false);
    void SetDefaultFont(const QString& face, int sizePx, bool bold = false, bool underline = false,
                        bool italic = false);
    // Removes every registered font; the default font stays.
    void RemoveAll();
    bool HasFont(int id) const;
    QFont GetFont(int id) const;
    QFont DefaultFont() const;
    // font with its size scaled from 96 DPI to dpi.
    static QFont ScaleFont(const QFont& font, int dpi);

    // Gives the controls of root's subtree that carry "fontId" their font.
    void ApplyFonts(QWidget* root) const;
    // Makes the default font the application's and re-applies table fonts to every control and
    // the scaled default font to every skin window.
    void ApplyToApplication() const;

    static QFont MakeFont(const QString& face, int sizePx, bool bold, bool underline, bool italic);

private:
    std::map<int, QFont> m_fonts;
    QFont m_default;
    bool m_hasDefault = false;
};

} // namespace nq::ui
