#pragma once
// The texts of the user interface: the current language and the table of its texts, loaded from
// a language file of the skin (see CSkinPaths for where it lives). The file is one JSON object
// whose members map a language key to its text:
//     { "message_text_5": "The profile was saved.", "software_rev_text": "Version: " }
// Members that are not strings are ignored. A key without a text shows as the key itself.
//
// Controls show a key's translation through CControlAccess::SetTextKey or through the dynamic
// properties "textKey", "toolTipKey" and "tipTextKey" of a layout; ReloadTexts shows every such
// key again after a language change.
#include <QHash>
#include <QString>

class QWidget;

namespace nq::ui {

class CResourceManager {
public:
    static CResourceManager& Instance();

    void SetLanguage(const QString& name);
    QString Language() const;

    // Replaces the text table with the file's. On a missing or malformed file the table is left
    // as it was, a diagnostic is written and false is returned.
    bool LoadLanguage(const QString& languageFile);
    // The same from a full path (tests, tools).
    bool LoadLanguageFromPath(const QString& path);
    QString LoadedFile() const;

    // Adds the texts of a part's own language file (skin/lang/<part>_cn.json or <part>_en.json,
    // following the loaded language) that the loaded table lacks. A missing file is traced.
    bool MergeLanguagePart(const QString& part);

    QString Text(const QString& key) const;
    bool HasText(const QString& key) const;
    void SetText(const QString& key, const QString& text);
    void Clear();

    // Shows the translations of the keys held by root and its subtree.
    void ApplyTexts(QWidget* root) const;
    // The same for every control of the application.
    void ReloadTexts() const;

private:
    QString m_language;
    QString m_file;
    QHash<QString, QString> m_texts;
};

} // namespace nq::ui
