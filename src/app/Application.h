#pragma once

#include <QApplication>

namespace kw {

class TPlatform;

// The application object. Any exception that leaves an event handler ends up
// here and is shown to the user as a message; the program then goes on, so
// handlers need no catch clauses of their own for failures the user should see.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The general error display: a message box with the text as it stands.
    void ShowError(const QString& text);
    // nullptr restores the toolkit's own dialogs.
    void SetPlatform(TPlatform* platform);
    TPlatform& Platform() const { return *FPlatform; }

    static TApplication* Instance();

private:
    TPlatform* FPlatform;
};

} // namespace kw
