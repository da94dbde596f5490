#pragma once
// The program's options:
//   --log FILE                 diagnostics to FILE ("-" for standard error)
//   --demo                     run on the device simulator
//   --message NAME WPARAM LPARAM
//                              deliver a named message to the running instance and exit
//                              (exit code 0 when delivered; 1, with the reason on standard
//                              error, when not; NAME is at most 1024 bytes)
//   --help
// Numbers are decimal or 0x-prefixed hexadecimal. Arguments the program does not know are left
// to Qt (for example "-platform offscreen").
#include <QString>
#include <QStringList>

namespace nq::app {

class CCommandLine {
public:
    bool Parse(const QStringList& arguments);
    QString Error() const { return m_error; }
    static QString Usage();

    bool help = false;
    bool demo = false;
    bool hasLog = false;
    QString logTarget;
    bool sendMessage = false;
    QString messageName;
    quint64 wParam = 0;
    qint64 lParam = 0;

private:
    QString m_error;
};

} // namespace nq::app
