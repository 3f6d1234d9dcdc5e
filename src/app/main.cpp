#include "app/Application.h"
#include "app/uMain.h"

#include <QMetaObject>

int main(int argc, char** argv) {
    kw::TApplication app(argc, argv);
    kw::TfrmMain frmMain;
    // Start-up runs inside the event loop, so an error in one of its steps
    // reaches the general error display and the window stays as far as it got.
    // It shows the window once the window is placed and translated.
    QMetaObject::invokeMethod(&frmMain, &kw::TfrmMain::FormCreate, Qt::QueuedConnection);
    return app.exec();
}
