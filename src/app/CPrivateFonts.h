#pragma once
// The fonts shipped in "Font/" of the program folder, registered for this process only in their
// fixed order and removed again in reverse order. A file that is missing or cannot be registered
// is skipped.
#include <QString>
#include <QStringList>
#include <vector>

namespace nq::app {

class CPrivateFonts {
public:
    CPrivateFonts() = default;
    ~CPrivateFonts();
    CPrivateFonts(const CPrivateFonts&) = delete;
    CPrivateFonts& operator=(const CPrivateFonts&) = delete;

    // The font files relative to the program folder, in registration order.
    static const QStringList& Files();
    // Registers the files found under programFolder; returns how many were registered.
    int Load(const QString& programFolder);
    void Unload();
    // Families of the registered fonts.
    QStringList Families() const;

private:
    std::vector<int> m_ids;
};

} // namespace nq::app
