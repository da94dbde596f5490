// NQ501 entry point.
#include "common/DebugLog.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    nq::InitDebugLogFromEnvironment();
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("NQ501");
    window.resize(800, 572);
    window.show();
    app.exec();
    return 0;
}
