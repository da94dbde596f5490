#include "app/CPrivateFonts.h"

#include "common/DebugLog.h"

#include <QDir>
#include <QFontDatabase>

namespace nq::app {

CPrivateFonts::~CPrivateFonts()
{
    Unload();
}

const QStringList& CPrivateFonts::Files()
{
    static const QStringList files = {
        "Font/Simplified_Chinese.ttf", "Font/Quintaro-Regular.otf", "Font/NotoSansThai-Regular.ttf",
        "Font/NotoSansCJKtc-Regular.otf", "Font/Helvetica.ttf",
    };
    return files;
}

int CPrivateFonts::Load(const QString& programFolder)
{
    int loaded = 0;
    for (const QString& file : Files()) {
        QString path = QDir(programFolder).filePath(file);
        if (!QFile::exists(path))
            continue;
        int id = QFontDatabase::addApplicationFont(path);
        if (id < 0) {
            nq::DebugOutF("font cannot be registered: %s", path.toLocal8Bit().constData());
            continue;
        }
        m_ids.push_back(id);
        ++loaded;
    }
    return loaded;
}

void CPrivateFonts::Unload()
{
    for (auto it = m_ids.rbegin(); it != m_ids.rend(); ++it)
        QFontDatabase::removeApplicationFont(*it);
    m_ids.clear();
}

QStringList CPrivateFonts::Families() const
{
    QStringList families;
    for (int id : m_ids)
        families << QFontDatabase::applicationFontFamilies(id);
    return families;
}

} // namespace nq::app
