#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QListWidget;
class QWidget;

namespace kw {

class TCoolEdit;
class TColourSwatch;
class TDocument;

// The weather page's colours made visible: beside each field that holds a colour a swatch that follows the
// field's text and picks a new colour when clicked, and in the time-of-day list each slot's sky and fog
// colours.
class TWeatherColours : public QObject {
    Q_OBJECT
public:
    // box: the weather page's standard view box, holding its fields; list: its time-of-day list.
    TWeatherColours(QWidget* box, QListWidget* list, TDocument& document, QObject* parent = nullptr);
    ~TWeatherColours() override;
    TWeatherColours(const TWeatherColours&) = delete;
    TWeatherColours& operator=(const TWeatherColours&) = delete;

    // Asks the user for a colour, starting at initial; nothing when the user cancels. Unset, a click picks
    // nothing.
    std::function<std::optional<QColor>(QWidget* owner, const QColor& initial, const QString& title)>
        ChooseColour;
    // Stores what the fields hold. A pick runs it before it writes its field, so that typing elsewhere is a
    // step of its own, and after, so that the pick is one step named after its field.
    std::function<void()> OnCommitEdits;

    // The swatches' tooltip, in the interface language.
    void SetHint(const QString& hint);
    // The swatch beside the field of that control name, or nullptr.
    TColourSwatch* SwatchOf(const QString& fieldName) const;

signals:
    // A swatch was clicked while its field holds no colour: nothing to start the dialog from, which the user
    // should hear why.
    void notAColour();

private:
    struct TPair {
        TCoolEdit* Field;
        TColourSwatch* Swatch;
        std::string Key;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;
    void Pick(const TPair& pair);
    std::string SpelledAsStored(const TPair& pair, const std::string& text) const;

    QListWidget* FList;
    TDocument& FDocument;
    std::vector<TPair> FPairs;
    std::size_t FListener = 0;
};

} // namespace kw
