#pragma once
// Shared set-up of the page tests: the skin of the source tree, the English texts, the control
// classes the page layouts use, and a watcher that answers the next message box.
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace nqtest {

// Points the skin at the source tree, loads the English texts and registers the control classes.
// Safe to call more than once.
void PreparePageSkin();

// Answers every message box that opens while it lives, keeping the texts they showed.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    const QStringList& Texts() const { return m_texts; }

private:
    QStringList m_texts;
    QTimer* m_timer;
};

} // namespace nqtest
