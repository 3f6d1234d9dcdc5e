// The main window's side of the weather colours: the colour dialog goes through the platform, and a pick is
// stored as the window stores every field.

#include "app/uMain.h"

#include "views/WeatherColours.h"

#include <QGroupBox>

namespace kw {

void TfrmMain::CreateWeatherColours() {
    FWeatherColours = std::make_unique<TWeatherColours>(Pages[WeatherPage].gbNormal,
                                                        FViews->ListBox(WeatherPage), FDocument);
    FWeatherColours->ChooseColour = [this](QWidget* owner, const QColor& initial, const QString& title) {
        return FPlatform.ChooseColour(owner, initial, title);
    };
    FWeatherColours->OnCommitEdits = [this] { CommitPendingEdits(); };
    connect(FWeatherColours.get(), &TWeatherColours::notAColour, this,
            [this] { ShowStatusNote(Variable(kNotAColourText)); });
    ApplyColourHint();
}

void TfrmMain::ApplyColourHint() {
    FWeatherColours->SetHint(Variable(kChooseColourHint));
}

} // namespace kw
