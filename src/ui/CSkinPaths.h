#pragma once
// Where the skin files live and how a layout name becomes a file.
//
// Layout names keep the names the pages use, with either "\" or "/" between folders. The rule:
// separators become "/", a trailing ".xml" (any case) is dropped, ".ui" is appended, and the
// result is taken relative to the skin folder:
//   "XML_MAIN"                          -> <skin>/XML_MAIN.ui
//   "AboutWnd.xml"                      -> <skin>/AboutWnd.ui
//   "XML\DeviceXml\mousedevice.xml"     -> <skin>/XML/DeviceXml/mousedevice.ui
// Language files follow the same rule under <skin>/lang/ with ".json" in place of ".ui":
//   "lan_cn.xml" -> <skin>/lang/lan_cn.json
// Image descriptions ("file='power/power.png' ..." or a bare path) name files relative to the
// skin folder unless the path is absolute.
#include <QString>

namespace nq::ui {

class CSkinPaths {
public:
    // The skin folder, ending with "/": <program data folder>/skin/ unless overridden.
    static QString SkinFolder();
    // Tests and tools point the skin somewhere else; an empty folder restores the default.
    static void SetSkinFolder(const QString& folder);

    static QString LayoutFile(const QString& layoutName);
    static QString LanguageFile(const QString& languageFile);
    // The file of an image description, or "" when the description names none.
    static QString ImageFile(const QString& description);
};

} // namespace nq::ui
