#include "app/CCommandLine.h"

#include "app/CSingleInstance.h"

namespace nq::app {
namespace {

bool ParseUnsigned(const QString& text, quint64* value)
{
    bool ok = false;
    *value = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toULongLong(&ok, 16) : text.toULongLong(&ok, 10);
    return ok;
}

bool ParseSigned(const QString& text, qint64* value)
{
    bool ok = false;
    if (text.startsWith("0x", Qt::CaseInsensitive)) {
        quint64 bits = text.mid(2).toULongLong(&ok, 16);
        *value = static_cast<qint64>(bits);
    } else {
        *value = text.toLongLong(&ok, 10);
    }
    return ok;
}

} // namespace

QString CCommandLine::Usage()
{
    return "usage: nq501 [--log FILE|-] [--demo]\n"
           "       nq501 --message NAME WPARAM LPARAM\n";
}

bool CCommandLine::Parse(const QStringList& arguments)
{
    m_error.clear();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--demo") {
            demo = true;
        } else if (argument == "--log") {
            if (i + 1 >= arguments.size()) {
                m_error = "--log needs a file name or \"-\"";
                return false;
            }
            hasLog = true;
            logTarget = arguments[++i];
        } else if (argument.startsWith("--log=")) {
            hasLog = true;
            logTarget = argument.mid(6);
        } else if (argument == "--message") {
            if (i + 3 >= arguments.size()) {
                m_error = "--message needs NAME WPARAM LPARAM";
                return false;
            }
            messageName = arguments[i + 1];
            if (messageName.isEmpty() || !ParseUnsigned(arguments[i + 2], &wParam) ||
                !ParseSigned(arguments[i + 3], &lParam)) {
                m_error = "--message needs a name and two numbers";
                return false;
            }
            if (!CSingleInstance::IsValidMessageName(messageName)) {
                m_error = QString("--message: the name is longer than %1 bytes").arg(CSingleInstance::kMaxNameBytes);
                return false;
            }
            sendMessage = true;
            i += 3;
        }
    }
    if (hasLog && logTarget.isEmpty()) {
        m_error = "--log needs a file name or \"-\"";
        return false;
    }
    return true;
}

} // namespace nq::app
