#include "views/uWeaponAddon.h"

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "views/CoolCtrls.h"
#include "views/GameText.h"
#include "views/StandardView.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolTip>

#include <utility>

namespace kw {

namespace {

constexpr int kClientWidth = 254;
constexpr int kMargin = 8;
constexpr int kFieldX = 186;
constexpr int kLabelWidth = kFieldX - kMargin - 4;
constexpr int kFieldWidth = kClientWidth - kFieldX - kMargin;
constexpr int kFieldHeight = 22;
constexpr int kButtonHeight = 28;
constexpr int kBoxTitle = 20;
constexpr int kAttachable = 2;
constexpr qreal kSmallestTitle = 6;

} // namespace

std::optional<std::string> FieldValue(const TCoolEdit* field) {
    return QtToGameText(field->text());
}

void ShowValue(TCoolEdit* field, const TParam& param) {
    field->setText(GameTextToQt(param.Value));
    field->setCursorPosition(0);
}

void StoreText(TDocument& document, TParam& param, const std::string& value) {
    if (value != param.Value) {
        document.Edit({}, {}, {{&param, value}});
    }
}

void StoreField(TDocument& document, TParam& param, const TCoolEdit* field) {
    if (const std::optional<std::string> value = FieldValue(field)) {
        StoreText(document, param, *value);
    }
}

TfrmWeaponAddon::TfrmWeaponAddon(QWidget* owner, TDialogContext context, const char* name, int clientHeight,
                                 int sharedTop)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), FContext(std::move(context)) {
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setFixedSize(kClientWidth, clientHeight);

    lbl_weight = MakeLabel(this, "lbl_weight", "Вес", LabelRect(sharedTop));
    txt_weight = MakeNumericField(this, "txt_weight", FieldRect(sharedTop));
    lbl_cost = MakeLabel(this, "lbl_cost", "Цена", LabelRect(sharedTop + kRowStep));
    txt_cost = MakeNumericField(this, "txt_cost", FieldRect(sharedTop + kRowStep));

    gbCoords = new QGroupBox(this);
    gbCoords->setObjectName(QStringLiteral("gbCoords"));
    gbCoords->setGeometry(BoxRect(sharedTop + 2 * kRowStep + 2, 2));
    lbl_x = MakeLabel(gbCoords, "lbl_x", "Гор. координата значка", BoxLabelRect(0));
    txt_x = MakeNumericField(gbCoords, "txt_x", BoxFieldRect(0));
    lbl_y = MakeLabel(gbCoords, "lbl_y", "Вер. координата значка", BoxLabelRect(kBoxRowStep));
    txt_y = MakeNumericField(gbCoords, "txt_y", BoxFieldRect(kBoxRowStep));

    const int buttonTop = clientHeight - kMargin - kButtonHeight;
    const int buttonWidth = (kClientWidth - 3 * kMargin) / 2;
    btnSet = new QPushButton(QStringLiteral("Установить"), this);
    btnSet->setObjectName(QStringLiteral("btnSet"));
    btnSet->setGeometry(kMargin, buttonTop, buttonWidth, kButtonHeight);
    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setToolTip(QStringLiteral("Закрыть окно"));
    btnClose->setGeometry(2 * kMargin + buttonWidth, buttonTop, buttonWidth, kButtonHeight);
    // Enter in a field must not fit the addon; only a click or the button's own keys do.
    btnSet->setAutoDefault(false);
    btnClose->setAutoDefault(false);
    connect(btnSet, &QPushButton::clicked, this, &TfrmWeaponAddon::btnSetClick);
    // Escape rejects as well, through QDialog.
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    Translator1 = new TTranslator(this);
    Translator1->setObjectName(QStringLiteral("Translator1"));
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}

TfrmWeaponAddon::~TfrmWeaponAddon() {
    // Fields losing the focus while they are destroyed have nothing left to store into.
    FExitHooks.clear();
}

QRect TfrmWeaponAddon::LabelRect(int top) {
    return {kMargin, top + 2, kLabelWidth, kFieldHeight - 4};
}

QRect TfrmWeaponAddon::FieldRect(int top) {
    return {kFieldX, top, kFieldWidth, kFieldHeight};
}

QRect TfrmWeaponAddon::BoxRect(int top, int rows) {
    return {kMargin, top, kClientWidth - 2 * kMargin, kBoxTitle + rows * kBoxRowStep + 4};
}

// top counts from the first row under the box's title.
QRect TfrmWeaponAddon::BoxLabelRect(int top) {
    return {kMargin, kBoxTitle + top + 2, kLabelWidth - kMargin, kFieldHeight - 4};
}

QRect TfrmWeaponAddon::BoxFieldRect(int top) {
    return {kFieldX - kMargin, kBoxTitle + top, kFieldWidth - kMargin, kFieldHeight};
}

int TfrmWeaponAddon::WeaponPos() const {
    const QListWidget* list = FContext.Views.ListBox(WeaponsPage);
    const int row = list != nullptr ? list->currentRow() : -1;
    return row >= 0 && row < static_cast<int>(FContext.Catalog.Weapons.size()) ? row : -1;
}

TWeapon* TfrmWeaponAddon::Weapon() const {
    const int pos = WeaponPos();
    return pos >= 0 ? FContext.Catalog.Weapons[pos].get() : nullptr;
}

QLabel* TfrmWeaponAddon::MakeLabel(QWidget* parent, const char* name, const char* caption,
                                   const QRect& rect) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    return label;
}

TCoolEdit* TfrmWeaponAddon::MakeNumericField(QWidget* parent, const char* name, const QRect& rect) {
    auto* field = new TCoolEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(rect);
    field->SetEnableLet(false);
    connect(field, &TCoolEdit::refused, field, [field](const QString& message) {
        QToolTip::showText(field->mapToGlobal(QPoint(0, 0)), message, field);
    });
    // The tooltip keeps its own offset below the point, which puts the note just under the field: what was
    // typed stays in sight.
    connect(field, &TCoolEdit::numberRefused, field, [this, field] {
        QToolTip::showText(field->mapToGlobal(QPoint(0, field->height() / 2)), FContext.NumberRefusedNote,
                           field);
    });
    return field;
}

void TfrmWeaponAddon::BindExitHook(const std::vector<TCoolEdit*>& fields, std::function<void()> store) {
    for (TCoolEdit* field : fields) {
        FExitHooks.insert(field, store);
        field->installEventFilter(this);
    }
}

// Another window coming to the front or a context menu opening does not leave the field.
bool TfrmWeaponAddon::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (const auto hook = FExitHooks.constFind(watched); hook != FExitHooks.constEnd()) {
                (*hook)();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmWeaponAddon::UpdateSetButton(bool addonChosen, bool weaponChosen) {
    btnSet->setEnabled(addonChosen && weaponChosen);
}

void TfrmWeaponAddon::Translate() {
    Translator1->AddClassRule(QStringLiteral("TBitBtn"), QStringLiteral("Caption,Hint"));
    for (const char* className : {"TLabel", "TGroupBox"}) {
        Translator1->AddClassRule(QString::fromLatin1(className), QStringLiteral("Caption"));
    }
    Translator1->SetTranslateOwner(true);
    Translator1->AssignLanguages(FContext.Languages);
    Translator1->Translate(FContext.LanguageIndex);
    for (QGroupBox* box : findChildren<QGroupBox*>()) {
        FitTitle(box);
    }
}

// The dialog's width is fixed, so a caption longer than its box (in another language or font) gets a
// smaller font rather than being cut; the box's contents keep the dialog's font.
void TfrmWeaponAddon::FitTitle(QGroupBox* box) {
    QFont font = box->font();
    const int room = box->width() - 2 * kMargin;
    while (QFontMetrics(font).horizontalAdvance(box->title()) > room && font.pointSizeF() > kSmallestTitle) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    if (font == box->font()) {
        return;
    }
    // Set explicitly, the size is kept instead of inherited from the box.
    QFont own = this->font();
    own.setPointSizeF(own.pointSizeF());
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->setFont(own);
    }
    box->setFont(font);
}

void TfrmWeaponAddon::SelectAttachable(QComboBox* statusBox) {
    if (statusBox != nullptr && statusBox->count() > kAttachable) {
        statusBox->setCurrentIndex(kAttachable);
    }
}

// Disabled unless both an addon and a weapon are there, so Fit has both.
void TfrmWeaponAddon::btnSetClick() {
    if (!btnSet->isEnabled()) {
        return;
    }
    Fit();
    accept();
}

} // namespace kw
