#include "views/StandardViewPage.h"

#include "views/StepNames.h"

#include "catalog/Catalog.h"
#include "catalog/CatalogEntries.h"
#include "catalog/Document.h"
#include "catalog/Inheritance.h"
#include "catalog/MissingSection.h"
#include "gamecfg/AsciiText.h"
#include "views/CoolCtrls.h"
#include "views/GameText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cctype>
#include <charconv>
#include <optional>
#include <type_traits>

namespace kw {
namespace {

constexpr int kInfoLineHeight = 15;
constexpr int kInfoPadding = 3;
constexpr int kPictureFrame = 1;
constexpr int kMinFieldWidth = 48;
constexpr int kListContentsLength = 8;

// The whole text must be the number, optionally signed ("+" too); no blanks, no "inf" or "nan". The decimal
// separator is "." whatever the locale.
template <class Number> std::optional<Number> ParseNumber(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const char* digits = first != last && *first == '-' ? first + 1 : first;
    if (digits == last || !(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.')) {
        return std::nullopt;
    }
    Number value{};
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> ParseBool(const std::string& text) {
    const std::string lower = AsciiLower(text);
    if (lower == "true") {
        return true;
    }
    if (lower == "false") {
        return false;
    }
    if (const auto number = ParseNumber<double>(text)) {
        return *number != 0;
    }
    return std::nullopt;
}

int StatusIndex(const std::string& text) {
    const auto number = ParseNumber<int>(text);
    return number && *number >= 0 && *number <= 2 ? *number : -1;
}

// Marks the item that only shows the entry's own spelling of a value.
constexpr int kOwnSpellingRole = Qt::UserRole + 1;

// After the item the text equals but for letter case, or last.
int OwnSpellingPlace(const QComboBox* combo, const QString& text) {
    const std::string value = QtToGameText(text).value_or(std::string());
    for (int index = 0; index < combo->count(); ++index) {
        if (EqualIgnoringAsciiCase(QtToGameText(combo->itemText(index)).value_or(std::string()), value)) {
            return index + 1;
        }
    }
    return combo->count();
}

QString BadBooleanMessage(const std::string& value) {
    return QStringLiteral("'%1' is not a valid boolean value").arg(GameTextToQt(value));
}

QLabel* MakePanel(QWidget* parent, const QString& name, QFrame::Shadow shadow) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setProperty("vclClass", QStringLiteral("TPanel"));
    panel->setFrameStyle(QFrame::Panel | shadow);
    panel->setAlignment(Qt::AlignCenter);
    return panel;
}

QString Title(const TMainItem& entry) {
    return QString::fromStdString(entry.Name);
}
QString Title(const TWeather& entry) {
    return GameTextToQt(entry.Time);
}

// A field's control, whether the user changed it since the entry was shown, and what is known about the
// value it shows.
struct TBinding {
    QWidget* Control = nullptr;
    // Typed, ticked or picked since the last Show or Collect. Only such a field is written back: a control
    // respells what it shows ("ON" ticks the box that writes "on"), and merely looking at an entry must not
    // change its file.
    bool Changed = false;
    // The failure last reported, so that showing the same entry again does not report it twice.
    const void* FailedEntry = nullptr;
    std::string FailedText;
    // Disabled because the shown entry's value has no place in any file.
    bool NoPlace = false;
    // What the control gave when the entry was shown or the field last collected: typing that differs from it
    // is work a save would lose.
    std::optional<std::string> Shown;
    // The row's label, if the row has one.
    QWidget* Label = nullptr;
    // What a parent section supplies while the entry's section lacks the key, and the state a check box or
    // selector took from it when the entry was shown: coming back to that state is no edit.
    const TInheritedValue* Inherited = nullptr;
    std::optional<std::string> InheritedState;
    // Whether the control and its label carry the inherited look: the hint and, for a check box or selector,
    // the grey text.
    bool Hinted = false;
    bool Greyed = false;
};

template <class Entry> class TEntryPage : public TPageView {
public:
    TEntryPage(int page, QWidget* box, TDocument& document, std::vector<std::unique_ptr<Entry>>& entries,
               const std::vector<TFieldDef<Entry>>& defs, const TInfoPrefixes& prefixes)
        : TPageView(ViewPageDefs()[page], box, prefixes), FPage(page), FDocument(document),
          FCatalog(document.Catalog()), FEntries(entries), FDefs(defs) {
        FBindings.resize(FDefs.size());
        for (size_t i = 0; i < FDefs.size(); ++i) {
            const TFieldDef<Entry>& def = FDefs[i];
            FBindings[i].Control =
                CreateField(def.Control, def.Label, def.Caption, def.Kind, def.Input, def.Place);
            FBindings[i].Label = FRows.back().Label;
            FieldControls.push_back(FBindings[i].Control);
            WatchChanges(FBindings[i]);
        }
    }

    int Count() const override { return static_cast<int>(FEntries.size()); }
    QString RowText(int pos) const override { return Title(*FEntries[pos]); }

    QStringList Show(int pos) override {
        if (pos < 0 || pos >= Count()) {
            return {};
        }
        Entry& entry = *FEntries[pos];
        FShownPos = -1;
        ++FShowDepth;
        QStringList failures;
        for (TBinding& binding : FBindings) {
            binding.Changed = false;
        }
        NamePanel->setText(Title(entry));
        for (size_t i = 0; i < FDefs.size(); ++i) {
            ShowField(FDefs[i], FBindings[i], entry, failures);
        }
        ShowDetails(entry);
        for (size_t i = 0; i < FDefs.size(); ++i) {
            TBinding& binding = FBindings[i];
            binding.Shown = ControlValue(FDefs[i].Kind, binding.Control);
            binding.InheritedState = binding.Inherited ? binding.Shown : std::nullopt;
        }
        --FShowDepth;
        FShownPos = pos;
        FShownEntry = &entry;
        SyncPlaces();
        return failures;
    }

    void Collect(int pos) override {
        if (pos < 0 || pos != FShownPos || FShowDepth > 0 || pos >= Count() ||
            FEntries[pos].get() != FShownEntry) {
            return;
        }
        Entry& entry = *FEntries[pos];
        std::vector<TValueEdit> edits;
        const TFieldDef<Entry>* first = nullptr;
        for (size_t i = 0; i < FDefs.size(); ++i) {
            if (CollectField(FDefs[i], FBindings[i], entry, edits) && !first) {
                first = &FDefs[i];
            }
        }
        if (first) {
            FDocument.Edit(
                ControlStepLabel(*FBox->findChild<QWidget*>(QString::fromStdString(first->Control)),
                                 RowText(pos)),
                {std::string(kCatalogNames[static_cast<std::size_t>(FPage)]), pos, first->Control},
                std::move(edits));
            // A value the user set is the entry's own from now on, and one taken back is inherited again.
            for (size_t i = 0; i < FDefs.size(); ++i) {
                FollowInheritance(FDefs[i], FBindings[i], entry);
            }
        }
    }

    // A save never writes a value whose section the file lacks, so its field takes no edit. The enabled state
    // it restores is the one of the list beside it, which the game-folder check switches with the fields.
    void SyncPlaces() override {
        // A failed reload may have dropped the entry shown last; only one still in the collection is asked.
        const bool shown = FShownPos >= 0 && FShownPos < Count() && FEntries[FShownPos].get() == FShownEntry;
        const Entry* entry = shown ? FEntries[FShownPos].get() : nullptr;
        for (size_t i = 0; i < FDefs.size(); ++i) {
            TBinding& binding = FBindings[i];
            // What a parent supplied belonged to the load that showed the entry; a reload freed it.
            if (!entry) {
                binding.Inherited = nullptr;
                binding.InheritedState.reset();
            }
            const std::optional<TMissingSection> missing =
                entry ? MissingSectionOf(FCatalog, *entry, FDefs[i].Param.In(*entry)) : std::nullopt;
            if (missing) {
                binding.Control->setEnabled(false);
                binding.Control->setToolTip(PlaceHint(*missing));
            } else if (binding.NoPlace) {
                binding.Control->setEnabled(List->isEnabled());
                binding.Control->setToolTip(InheritedHint(binding));
            }
            binding.NoPlace = missing.has_value();
        }
    }

private:
    // Changes made while Show fills the controls are the entry's own values, not edits. A pick counts even
    // when it keeps the selection: the user chose that value.
    void WatchChanges(TBinding& binding) {
        const auto changed = [this, &binding] {
            if (FShowDepth == 0) {
                binding.Changed = true;
                if (OnTyping) {
                    OnTyping();
                }
            }
        };
        if (auto* edit = qobject_cast<TCoolEdit*>(binding.Control)) {
            QObject::connect(edit, &QLineEdit::textChanged, &FContext, changed);
            QObject::connect(edit, &QLineEdit::textEdited, &FContext, changed);
        } else if (auto* check = qobject_cast<QCheckBox*>(binding.Control)) {
            QObject::connect(check, &QCheckBox::toggled, &FContext, changed);
        } else if (auto* combo = qobject_cast<QComboBox*>(binding.Control)) {
            QObject::connect(combo, &QComboBox::currentIndexChanged, &FContext, changed);
            QObject::connect(combo, &QComboBox::activated, &FContext, changed);
        }
    }

    // A key the section lacks shows what the game reads: a parent section's value before the default. An edit
    // field keeps its own text empty and shows the parent's as its placeholder.
    void ShowField(const TFieldDef<Entry>& def, TBinding& binding, Entry& entry, QStringList& failures) {
        const TParam& param = def.Param.In(entry);
        binding.Inherited = ShownInheritedValue(FCatalog, param);
        const std::string& value =
            binding.Inherited && def.Kind != TFieldKind::Text ? binding.Inherited->Value : param.Value;
        ShowInheritedLook(def, binding);
        switch (def.Kind) {
        case TFieldKind::Text: {
            auto* edit = static_cast<TCoolEdit*>(binding.Control);
            edit->setText(GameTextToQt(value));
            edit->setPlaceholderText(binding.Inherited ? GameTextToQt(binding.Inherited->Value) : QString());
            // A value longer than the field shows its beginning.
            edit->setCursorPosition(0);
            break;
        }
        case TFieldKind::Bool:
            ShowBool(binding, entry, value, failures);
            break;
        case TFieldKind::OnOff:
            static_cast<QCheckBox*>(binding.Control)->setChecked(AsciiLower(value) == "on");
            break;
        case TFieldKind::Status:
            static_cast<QComboBox*>(binding.Control)->setCurrentIndex(StatusIndex(value));
            break;
        case TFieldKind::List:
            SelectOwnSpelling(static_cast<QComboBox*>(binding.Control), GameTextToQt(value));
            break;
        }
    }

    void ShowBool(TBinding& binding, const Entry& entry, const std::string& value, QStringList& failures) {
        const std::optional<bool> ticked = ParseBool(value);
        static_cast<QCheckBox*>(binding.Control)->setChecked(ticked.value_or(false));
        if (ticked) {
            binding.FailedEntry = nullptr;
            return;
        }
        if (binding.FailedEntry != &entry || binding.FailedText != value) {
            failures << BadBooleanMessage(value);
        }
        binding.FailedEntry = &entry;
        binding.FailedText = value;
    }

    void ShowInheritedLook(const TFieldDef<Entry>& def, TBinding& binding) {
        const QString hint = InheritedHint(binding);
        if (binding.Hinted || !hint.isEmpty()) {
            if (!binding.NoPlace) {
                binding.Control->setToolTip(hint);
            }
            if (binding.Label) {
                binding.Label->setToolTip(hint);
            }
            binding.Hinted = !hint.isEmpty();
        }
        // An edit field's placeholder is grey already; a box or selector shows its state in the colours of a
        // value of its own, so its caption or label says it is inherited.
        const bool grey = binding.Inherited && def.Kind != TFieldKind::Text;
        if (grey != binding.Greyed) {
            QWidget* caption = binding.Label ? binding.Label : binding.Control;
            if (grey) {
                QPalette palette = caption->palette();
                palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
                caption->setPalette(palette);
            } else {
                caption->setPalette(QPalette());
            }
            binding.Greyed = grey;
        }
    }

    // After an edit: the control keeps what it shows, the look follows whose value it is.
    void FollowInheritance(const TFieldDef<Entry>& def, TBinding& binding, const Entry& entry) {
        const TInheritedValue* inherited = ShownInheritedValue(FCatalog, def.Param.In(entry));
        if (inherited == binding.Inherited) {
            return;
        }
        binding.Inherited = inherited;
        binding.InheritedState = inherited ? ControlValue(def.Kind, binding.Control) : std::nullopt;
        ShowInheritedLook(def, binding);
        if (auto* edit = qobject_cast<TCoolEdit*>(binding.Control)) {
            edit->setPlaceholderText(inherited ? GameTextToQt(inherited->Value) : QString());
        }
    }

    // What a parent supplies for a check box's or selector's key that the entry's section lacks, whatever the
    // entry holds now.
    const TInheritedValue* ParentStateOf(const TFieldDef<Entry>& def, const TParam& param) const {
        return def.Kind != TFieldKind::Text && !param.WasPresent() ? FCatalog.Inheritance().Of(param)
                                                                   : nullptr;
    }

    QString InheritedHint(const TBinding& binding) const {
        if (!binding.Inherited) {
            return {};
        }
        const TInheritedSource& source = *binding.Inherited->Source;
        return FPrefixes.InheritedFrom.arg(GameTextToQt(source.Section), GameTextToQt(source.ConfigFile()));
    }

    // Only a changed field is written, and as an edit: a value the user chose is written even when it equals
    // the default shown for a key the section lacks. A box or selector brought back to the state a parent
    // section gave it is no edit: the game reads that state already. The field's own undo history ends here:
    // the step the edit becomes takes it back. Returns whether the field gave an edit.
    bool CollectField(const TFieldDef<Entry>& def, TBinding& binding, Entry& entry,
                      std::vector<TValueEdit>& edits) {
        if (!binding.Changed || binding.NoPlace) {
            return false;
        }
        binding.Changed = false;
        std::optional<std::string> value = ControlValue(def.Kind, binding.Control);
        if (!value) {
            return false;
        }
        binding.Shown = value;
        if (binding.InheritedState && value == binding.InheritedState) {
            return false;
        }
        const TParam& param = def.Param.In(entry);
        const TKeyUse use = def.Kind == TFieldKind::Status ? TKeyUse::Status : TKeyUse::Edit;
        // Back at the state a parent gives after a state of the entry's own: the entry's own value goes, so
        // the game reads the parent's again and a save writes nothing for it.
        if (const TInheritedValue* parent = ParentStateOf(def, param); parent && *value == parent->Value) {
            if (param.Value == param.StoredValue()) {
                return false;
            }
            edits.push_back({&def.Param.In(entry), std::string(param.StoredValue()), use});
            return true;
        }
        // Choosing no value for a key the section lacks leaves it lacking: there is nothing to remove.
        if (def.Kind == TFieldKind::List && value->empty() && param.Value.empty() && !param.WasPresent()) {
            return false;
        }
        if (auto* edit = qobject_cast<TCoolEdit*>(binding.Control)) {
            edit->ClearUndoHistory();
        }
        edits.push_back({&def.Param.In(entry), std::move(*value), use});
        return true;
    }

    bool HasTyping() const override {
        for (size_t i = 0; i < FDefs.size(); ++i) {
            const TBinding& binding = FBindings[i];
            if (binding.Changed && ControlValue(FDefs[i].Kind, binding.Control) != binding.Shown) {
                return true;
            }
        }
        return false;
    }

    // What the control holds, in the game's form; nothing when it holds no value it could write.
    static std::optional<std::string> ControlValue(TFieldKind kind, QWidget* control) {
        switch (kind) {
        case TFieldKind::Text:
            // The edit field refuses what the code page cannot hold, so the conversion only fails for text
            // that never came from the user.
            return QtToGameText(static_cast<TCoolEdit*>(control)->text());
        case TFieldKind::Bool:
            return static_cast<QCheckBox*>(control)->isChecked() ? "true" : "false";
        case TFieldKind::OnOff:
            return static_cast<QCheckBox*>(control)->isChecked() ? "on" : "off";
        case TFieldKind::Status:
            // No selection stands for a stored status the box cannot show; it stays as it was.
            if (const int index = static_cast<QComboBox*>(control)->currentIndex(); index >= 0) {
                return std::to_string(index);
            }
            return std::nullopt;
        case TFieldKind::List: {
            auto* combo = static_cast<QComboBox*>(control);
            if (combo->currentIndex() < 0) {
                return std::nullopt;
            }
            return QtToGameText(combo->currentText());
        }
        }
        return std::nullopt;
    }

    void ShowDetails(const Entry& entry) {
        if constexpr (std::is_same_v<Entry, TWeapon>) {
            SetInfoLine(0, GameTextToQt(entry.FileName));
        } else {
            SetInfoLine(0, QString::fromLatin1(CategoryFileOf(FPage)));
        }
        SetInfoLine(1, GameTextToQt(entry.Section));
        if constexpr (std::is_base_of_v<TMainItem, Entry>) {
            SetInfoLine(2, GameTextToQt(entry.inv_name.Value));
            SetInfoLine(3, GameTextToQt(entry.visual.Value));
            Memo->setPlainText(QString::fromStdString(entry.Descr));
            ShowPicture(entry, Picture);
        }
    }

    QString PlaceHint(const TMissingSection& missing) const {
        const QString file = GameTextToQt(missing.File);
        return missing.Section.empty() ? FPrefixes.UnnamedSection.arg(file)
                                       : FPrefixes.MissingSection.arg(GameTextToQt(missing.Section), file);
    }

    int FPage;
    TDocument& FDocument;
    const TCatalog& FCatalog;
    std::vector<std::unique_ptr<Entry>>& FEntries;
    const std::vector<TFieldDef<Entry>>& FDefs;
    std::vector<TBinding> FBindings;
};

} // namespace

TPageView::TPageView(const TViewPageDef& def, QWidget* box, const TInfoPrefixes& prefixes)
    : FDef(def), FBox(box), FPrefixes(prefixes) {
    CreateListColumn();
    CreateNamePanel();
    CreateMemo();
    CreatePicture();
    CreateInfoBox();
}

TPageView::~TPageView() = default;

void TPageView::CreateListColumn() {
    const QString key = QString::fromLatin1(FDef.Key);
    QLabel* header = MakePanel(FBox, QStringLiteral("pnl%1ListHeader").arg(key), QFrame::Raised);
    header->setText(QString::fromUtf8(FDef.ListHeader));
    FParts.ListHeader = header;

    List = new QListWidget(FBox);
    List->setObjectName(QStringLiteral("lb") + key);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    FParts.List = List;
}

void TPageView::CreateNamePanel() {
    NamePanel = MakePanel(FBox, QString::fromLatin1(FDef.NamePanel), QFrame::Sunken);
    FParts.NamePanel = NamePanel;
}

void TPageView::CreateMemo() {
    if (FDef.Memo == nullptr) {
        return;
    }
    Memo = new QPlainTextEdit(FBox);
    Memo->setObjectName(QString::fromLatin1(FDef.Memo));
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FParts.Memo = Memo;
}

void TPageView::CreatePicture() {
    if (FDef.Image == nullptr) {
        return;
    }
    auto* frame = new QFrame(FBox);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(kPictureFrame);
    frame->setFixedSize(
        FDef.PictureSize.grownBy({kPictureFrame, kPictureFrame, kPictureFrame, kPictureFrame}));
    Picture = new QLabel(frame);
    Picture->setObjectName(QString::fromLatin1(FDef.Image));
    // Not a caption the translator should look at.
    Picture->setProperty("vclClass", QStringLiteral("TImage"));
    Picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture->setGeometry(QRect(QPoint(kPictureFrame, kPictureFrame), FDef.PictureSize));
    FParts.PictureFrame = frame;
}

void TPageView::CreateInfoBox() {
    static constexpr const char* kLineNames[] = {"lbl%1FileName", "lbl%1SectionName", "lbl%1_inv_name",
                                                 "lbl%1_visual"};
    static constexpr const char* kDesignCaptions[] = {"file_name", "section_name", "inv_name", "visual"};
    auto* frame = new QFrame(FBox);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame->setFixedHeight(FDef.InfoLines * kInfoLineHeight + 2 * kInfoPadding);
    auto* lines = new QVBoxLayout(frame);
    lines->setContentsMargins(2 * kInfoPadding, kInfoPadding, 2 * kInfoPadding, kInfoPadding);
    lines->setSpacing(0);
    for (int line = 0; line < FDef.InfoLines; ++line) {
        auto* label = new QLabel(QString::fromLatin1(kDesignCaptions[line]), frame);
        label->setObjectName(QString::fromLatin1(kLineNames[line]).arg(QString::fromLatin1(FDef.Key)));
        // A long path is cut off at the box's edge rather than widening the view.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        label->setFixedHeight(kInfoLineHeight);
        lines->addWidget(label);
        Info.push_back(label);
    }
    FParts.InfoBox = frame;
}

QWidget* TPageView::CreateField(const std::string& control, const std::string& label,
                                const std::string& caption, TFieldKind kind, TFieldInput input,
                                TFieldPlace place) {
    QWidget* widget = nullptr;
    switch (kind) {
    case TFieldKind::Text: {
        auto* edit = new TCoolEdit(FBox);
        if (input == TFieldInput::Number) {
            edit->SetEnableLet(false);
        }
        // Below this a field would show too little to be worth its row; the label beside it gives way
        // instead, cut off, which the layout tests catch. A series keeps the room of a line edit, so that a
        // window of the design size shows colours and damage whole, and numbers take what is left.
        edit->setMinimumWidth(input == TFieldInput::Series ? edit->sizeHint().width() : kMinFieldWidth);
        widget = edit;
        break;
    }
    case TFieldKind::Bool:
    case TFieldKind::OnOff:
        widget = new QCheckBox(QString::fromStdString(caption), FBox);
        break;
    case TFieldKind::Status: {
        // Its three items are texts of the interface language: it stays wide enough for the longest.
        auto* combo = new QComboBox(FBox);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        widget = combo;
        break;
    }
    case TFieldKind::List: {
        // The items are the game's own names, of any length: the field's width is the layout's to choose.
        auto* combo = new QComboBox(FBox);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(kListContentsLength);
        combo->setMinimumWidth(kMinFieldWidth);
        widget = combo;
        break;
    }
    }
    widget->setObjectName(QString::fromStdString(control));
    const bool ownCaption = kind == TFieldKind::Bool || kind == TFieldKind::OnOff;
    QLabel* text = nullptr;
    if (!label.empty()) {
        text = new QLabel(QString::fromStdString(caption), FBox);
        text->setObjectName(QString::fromStdString(label));
        text->setBuddy(widget);
    }
    FRows.push_back({place, text, widget, ownCaption});
    return widget;
}

void TPageView::Arrange(const std::vector<TPlacedExtra>& extras) {
    ArrangePage(FDef, FBox, FParts, FRows, extras);
}

void TPageView::SetInfoLine(int line, const QString& value) {
    static constexpr QString TInfoPrefixes::*kPrefixes[] = {&TInfoPrefixes::File, &TInfoPrefixes::Section,
                                                            &TInfoPrefixes::InvName, &TInfoPrefixes::Visual};
    Info.at(line)->setText(FPrefixes.*kPrefixes[line] + value);
}

void TPageView::Refill() {
    const QSignalBlocker blocker(List);
    Forget();
    List->clear();
    for (int pos = 0; pos < Count(); ++pos) {
        List->addItem(RowText(pos));
    }
}

void SelectOwnSpelling(QComboBox* combo, const QString& text) {
    for (int index = combo->count() - 1; index >= 0; --index) {
        if (combo->itemData(index, kOwnSpellingRole).toBool()) {
            combo->removeItem(index);
        }
    }
    int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        index = OwnSpellingPlace(combo, text);
        combo->insertItem(index, text);
        combo->setItemData(index, true, kOwnSpellingRole);
    }
    combo->setCurrentIndex(index);
}

void ShowPicture(const TMainItem& entry, QLabel* image) {
    const TPic* pic = entry.Pic;
    if (pic == nullptr || pic->Rgb.size() < static_cast<size_t>(pic->Width) * pic->Height * 3) {
        image->clear();
        return;
    }
    const QImage view(pic->Rgb.data(), pic->Width, pic->Height, pic->Width * 3, QImage::Format_RGB888);
    image->setPixmap(QPixmap::fromImage(view.copy()));
}

std::unique_ptr<TPageView> MakePageView(int page, QWidget* box, TDocument& document,
                                        const TInfoPrefixes& prefixes) {
    TCatalog& catalog = document.Catalog();
    switch (page) {
    case WeaponsPage:
        return std::make_unique<TEntryPage<TWeapon>>(page, box, document, catalog.Weapons, WeaponFields(),
                                                     prefixes);
    case AmmoPage:
        return std::make_unique<TEntryPage<TAmmo>>(page, box, document, catalog.Ammo, AmmoFields(), prefixes);
    case OutfitsPage:
        return std::make_unique<TEntryPage<TOutfit>>(page, box, document, catalog.Outfits, OutfitFields(),
                                                     prefixes);
    case ArtsPage:
        return std::make_unique<TEntryPage<TArt>>(page, box, document, catalog.Arts, ArtFields(), prefixes);
    case ItemsPage:
        return std::make_unique<TEntryPage<TItem>>(page, box, document, catalog.Items, ItemFields(),
                                                   prefixes);
    case WeatherPage:
        return std::make_unique<TEntryPage<TWeather>>(page, box, document, catalog.Weather, WeatherFields(),
                                                      prefixes);
    default:
        return nullptr;
    }
}

} // namespace kw
