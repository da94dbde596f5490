#pragma once
// The about window: layout "AboutWnd.xml", 800 x 572, showing the software version as the
// translation of "software_rev_text" followed by the version string.
#include "ui/CSkinWindow.h"

namespace nq::app {

class CAboutWnd : public ui::CSkinWindow {
    Q_OBJECT
public:
    static constexpr const char* kSoftwareVersion = "V0102";

    explicit CAboutWnd(QWidget* owner = nullptr);
    ~CAboutWnd() override;

    // Shows the window modally; a request while one is already open is ignored (returns 0).
    static int ShowAbout(QWidget* parent, const QString& version = kSoftwareVersion);
    // The open about window, if any (language changes reach it through this).
    static CAboutWnd* Current();

    bool Create();
    void SetVersion(const QString& version);
    // Shows the texts in the new language, the composed version text included.
    void OnLanguageChanged();
    void Notify(const ui::TNotify& msg) override;

private:
    QString m_version;
};

} // namespace nq::app
