// The main window's status line: a short note that takes the place of the game folder for a while.

#include "app/uMain.h"

#include <QLabel>
#include <QTimer>

namespace kw {

namespace {

constexpr int kStatusNoteMs = 5000;

} // namespace

void TfrmMain::CreateStatusNoteTimer() {
    FStatusNoteTimer = new QTimer(this);
    FStatusNoteTimer->setObjectName(QStringLiteral("tmrStatusNote"));
    FStatusNoteTimer->setSingleShot(true);
    FStatusNoteTimer->setInterval(kStatusNoteMs);
    connect(FStatusNoteTimer, &QTimer::timeout, this, &TfrmMain::EndStatusNote);
}

void TfrmMain::ShowStatusNote(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    if (!IsStatusNoteShown()) {
        FStatusLineBeforeNote = pnlGamePath->text();
    }
    FStatusNote = text;
    pnlGamePath->setText(text);
    FStatusNoteTimer->start();
}

// The line shows the note only as long as nothing else has written it.
bool TfrmMain::IsStatusNoteShown() const {
    return FStatusNoteTimer->isActive() && pnlGamePath->text() == FStatusNote;
}

// A load or a folder check that wrote the line while the note was up has the newer text; it stays.
void TfrmMain::EndStatusNote() {
    if (pnlGamePath->text() == FStatusNote) {
        pnlGamePath->setText(FStatusLineBeforeNote);
    }
}

} // namespace kw
