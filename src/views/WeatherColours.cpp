#include "views/WeatherColours.h"

#include "catalog/Document.h"
#include "catalog/KeyLists.h"
#include "catalog/StoredSpelling.h"
#include "gamecfg/ColourText.h"
#include "views/ColourSwatch.h"
#include "views/CoolCtrls.h"
#include "views/GameText.h"
#include "views/StandardViewFields.h"
#include "views/StepNames.h"

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QStyledItemDelegate>

#include <utility>

namespace kw {
namespace {

constexpr QSize kListSwatch(12, 12);

// Each slot's sky and fog colours before its time, read from the catalog as it is painted, so that every
// step, undo or load shows at the next repaint.
class TSlotColoursDelegate : public QStyledItemDelegate {
public:
    TSlotColoursDelegate(const TCatalog& catalog, QObject* parent)
        : QStyledItemDelegate(parent), FCatalog(catalog) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int row = index.row();
        if (row < 0 || static_cast<std::size_t>(row) >= FCatalog.Weather.size()) {
            return;
        }
        const TWeather& slot = *FCatalog.Weather[static_cast<std::size_t>(row)];
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon =
            SwatchIcon({ShownColour(slot.sky_color.Value), ShownColour(slot.fog_color.Value)}, kListSwatch);
        option->decorationSize = option->icon.availableSizes().value(0);
    }

private:
    const TCatalog& FCatalog;
};

// The control names of the weather fields whose value is a colour, with their keys.
std::vector<std::pair<QString, std::string>> ColourFields() {
    std::vector<std::pair<QString, std::string>> names;
    for (const TKeyRule<TWeather>& rule : WeatherKeys().Rules) {
        if (!IsColourKey(rule.Key)) {
            continue;
        }
        for (const TFieldDef<TWeather>& field : WeatherFields()) {
            if (field.Param.Field == rule.Param.Field) {
                names.emplace_back(QString::fromStdString(field.Control), rule.Key);
            }
        }
    }
    return names;
}

} // namespace

TWeatherColours::TWeatherColours(QWidget* box, QListWidget* list, TDocument& document, QObject* parent)
    : QObject(parent), FList(list), FDocument(document) {
    for (const auto& [name, key] : ColourFields()) {
        auto* field = box->findChild<TCoolEdit*>(name);
        auto* swatch = box->findChild<TColourSwatch*>(
            QString(name).replace(QStringLiteral("txt"), QStringLiteral("shp")));
        if (field == nullptr || swatch == nullptr) {
            continue;
        }
        swatch->ShowColourOf(field->text());
        swatch->setEnabled(field->isEnabled());
        const TPair pair{field, swatch, key};
        FPairs.push_back(pair);
        connect(field, &QLineEdit::textChanged, swatch, &TColourSwatch::ShowColourOf);
        connect(swatch, &QAbstractButton::clicked, this, [this, pair] { Pick(pair); });
        // A field without a place for its value is disabled, and so is the way of picking one.
        field->installEventFilter(this);
    }
    list->setItemDelegate(new TSlotColoursDelegate(document.Catalog(), list));
    FListener = FDocument.Listen([this](const TDocumentChange&) { FList->viewport()->update(); });
}

TWeatherColours::~TWeatherColours() {
    FDocument.StopListening(FListener);
}

void TWeatherColours::SetHint(const QString& hint) {
    for (const TPair& pair : FPairs) {
        pair.Swatch->setToolTip(hint);
    }
}

TColourSwatch* TWeatherColours::SwatchOf(const QString& fieldName) const {
    for (const TPair& pair : FPairs) {
        if (pair.Field->objectName() == fieldName) {
            return pair.Swatch;
        }
    }
    return nullptr;
}

bool TWeatherColours::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        for (const TPair& pair : FPairs) {
            if (pair.Field == watched) {
                pair.Swatch->setEnabled(pair.Field->isEnabled());
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

// Taking the dialog's answer unchanged leaves the value as it was: components above 1 stay, and so does its
// notation.
void TWeatherColours::Pick(const TPair& pair) {
    const std::optional<std::string> text = QtToGameText(pair.Field->text());
    const std::optional<QColor> shown = pair.Swatch->Colour();
    if (!pair.Field->isEnabled() || pair.Field->isReadOnly()) {
        QApplication::beep();
        return;
    }
    if (!text || !shown) {
        QApplication::beep();
        emit notAColour();
        return;
    }
    if (!ChooseColour) {
        return;
    }
    const std::optional<QColor> picked = ChooseColour(pair.Swatch, *shown, ControlCaption(*pair.Field));
    if (!picked || !picked->isValid() || picked->rgb() == shown->rgb()) {
        return;
    }
    // The dialog picks whole steps of 255; their quotients are what three decimals round.
    const std::optional<std::string> written =
        WriteColourText(SpelledAsStored(pair, *text),
                        {picked->red() / 255.0, picked->green() / 255.0, picked->blue() / 255.0});
    if (!written) {
        return;
    }
    if (OnCommitEdits) {
        OnCommitEdits();
    }
    pair.Field->setText(GameTextToQt(*written));
    pair.Field->setCursorPosition(0);
    if (OnCommitEdits) {
        OnCommitEdits();
    }
}

// The catalog holds a value's TABs as blanks; a pick on a value the user has not changed keeps the file's.
std::string TWeatherColours::SpelledAsStored(const TPair& pair, const std::string& text) const {
    const TCatalog& catalog = FDocument.Catalog();
    const int row = FList->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= catalog.Weather.size()) {
        return text;
    }
    return StoredSpelling(catalog, *catalog.Weather[static_cast<std::size_t>(row)], pair.Key, text)
        .value_or(text);
}

} // namespace kw
