#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Session.h"
#include "app/uMain.h"
#include "gamecfg/FileSys.h"

#include <QMetaObject>

#include <cstdio>

int main(int argc, char** argv) {
    const kw::TCommandLine commandLine = kw::ParseCommandLine(kw::CommandLineArguments(argc, argv));
    if (commandLine.ExitCode) {
        std::fputs(commandLine.Output.toLocal8Bit().constData(),
                   *commandLine.ExitCode == 0 ? stdout : stderr);
        return *commandLine.ExitCode;
    }
    kw::TApplication app(argc, argv);
    kw::TSession session(kw::fs::ExecutableFolder());
    kw::TfrmMain frmMain(session);
    if (!commandLine.GameFolder.empty()) {
        frmMain.OpenAtStart(commandLine.GameFolder);
    }
    // Start-up runs inside the event loop, so an error in one of its steps
    // reaches the general error display and the window stays as far as it got.
    // It shows the window once the window is placed and translated.
    QMetaObject::invokeMethod(&frmMain, &kw::TfrmMain::FormCreate, Qt::QueuedConnection);
    return app.exec();
}
