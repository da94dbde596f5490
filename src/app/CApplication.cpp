#include "app/CApplication.h"

#include "app/CAppMessages.h"
#include "app/CCommandLine.h"
#include "app/CMainWnd.h"
#include "app/CPrivateFonts.h"
#include "app/CSingleInstance.h"
#include "app/ControlService.h"
#include "control/InstanceLink.h"
#include "app/CTerminationSignals.h"
#include "app/CustomControls.h"
#include "app/DemoMode.h"
#include "common/DebugLog.h"
#include "common/InstallPaths.h"
#include "hid/Catalogue.h"
#include "profiles/DataFolders.h"
#include "ui/CSkinPaths.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

namespace nq::app {
namespace {

QStringList Arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

bool CApplication::ApplyStyleSheet()
{
    QFile file(ui::CSkinPaths::SkinFolder() + "style.qss");
    if (!file.open(QIODevice::ReadOnly)) {
        nq::DebugOut("style sheet missing: " + file.fileName().toStdString());
        return false;
    }
    // Fonts set on a window (its DPI, the language's font table) still reach its styled controls.
    QCoreApplication::setAttribute(Qt::AA_UseStyleSheetPropagationInWidgetStyles, true);
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}

int CApplication::Run(int argc, char** argv)
{
    nq::InitDebugLogFromEnvironment();
    CCommandLine options;
    if (!options.Parse(Arguments(argc, argv))) {
        fprintf(stderr, "nq501: %s\n%s", options.Error().toLocal8Bit().constData(),
                CCommandLine::Usage().toLocal8Bit().constData());
        return 2;
    }
    if (options.help) {
        fputs(CCommandLine::Usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.hasLog && !nq::SetDebugLogTarget(options.logTarget.toStdString()))
        fprintf(stderr, "nq501: cannot open the log file %s\n", options.logTarget.toLocal8Bit().constData());

    const QString identity = CAppMessages::kIdentity;
    CAppMessages::RegisterHookMessages();
    if (options.sendMessage) {
        if (CSingleInstance::SendMessage(identity, options.messageName, options.wParam, options.lParam))
            return 0;
        fprintf(stderr, "nq501: the message was not delivered: %s\n",
                CSingleInstance::OtherInstanceRuns(identity) ? "the running instance did not answer"
                                                             : "no instance is running");
        return 1;
    }

    unsigned identityNumber = CAppMessages::RegisterIdentity();
    nq::DebugOutF("软件标示：%d", identityNumber);

    // The single-instance check comes before any window or display connection, so a second
    // start exits at once.
    CSingleInstance instance(identity);
    if (!instance.Acquire()) {
        if (!instance.LockError().isEmpty()) {
            fprintf(stderr, "nq501: %s\n", instance.LockError().toLocal8Bit().constData());
            return 1;
        }
        if (!CSingleInstance::SendMessage(identity, identity, 0, 1)) {
            nq::DebugOut("the running instance did not answer");
            fprintf(stderr, "nq501: another instance is running but did not answer\n");
            return 1;
        }
        return 0;
    }

    // An nq501ctl that opened the devices itself finishes before this program opens them.
    {
        nq::control::DirectRouteLock direct;
        if (!direct.Take())
            nq::DebugOut("an nq501ctl kept the devices for 5 s; starting anyway");
    }

    // Only the running instance may remove what interrupted saves left: no other one is saving.
    nq::RemoveInterruptedSaves();

    QApplication app(argc, argv);
    QApplication::setApplicationName(identity);
    QApplication::setApplicationDisplayName(identity);
    instance.Listen();
    CTerminationSignals termination;
    CPrivateFonts fonts;
    fonts.Load(QString::fromStdString(nq::ProgramDataFolder()));
    ApplyStyleSheet();

    if (options.demo && !StartDemoSimulator())
        nq::DebugOut("demo mode could not start; running without devices");
    // Declared before the main window, so the simulated devices go only after the window and its
    // threads have let go of them.
    struct DemoGuard {
        ~DemoGuard() { StopDemoSimulator(); }
    } demoGuard;

    // The user's extra catalogue rows are read here, before any window: a refused file is said
    // where the user started the program, as well as in the diagnostics. After the demo's
    // simulator has started: the catalogue takes the simulator's rows only when it is in use.
    const std::string& catalogueError = nq::Catalogue::Default().ExtraRowsError();
    if (!catalogueError.empty())
        fprintf(stderr, "nq501: %s\n", catalogueError.c_str());

    RegisterCustomControls();
    CAppMessages::RegisterGuidMessages();

    CMainWnd window;
    if (!window.Create()) {
        nq::DebugOut("the main window cannot be created");
        return 0;
    }
    QObject::connect(&instance, &CSingleInstance::messageReceived, &window, &CMainWnd::OnAppMessage);
    ControlService control(window);
    instance.SetControlHandler(
        [&control](const QByteArray& request, CSingleInstance::Reply reply) { control.Handle(request, std::move(reply)); });
    window.show();
    app.exec();
    return 0;
}

} // namespace nq::app
