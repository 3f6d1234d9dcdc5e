#include "translate/Translator.h"

#include "gamecfg/Error.h"
#include "translate/XmlDoc.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>

#include <algorithm>
#include <cstring>

namespace kw {
namespace {

// The rules name the classes and properties of the forms the language files were
// written for; these tables say which Qt objects and setters stand for them.

struct ClassAlias {
    const char* QtClass;
    const char* RuleClass;
};

// Exact class names: a subclass with its own meta-object does not inherit the
// alias, just as a rule never applies to a descendant class; such a widget names
// its rule class through the "vclClass" property instead.
constexpr ClassAlias kClassAliases[] = {
    {"QPushButton", "TBitBtn"}, {"QToolButton", "TBitBtn"}, {"QLabel", "TLabel"},
    {"QGroupBox", "TGroupBox"}, {"QCheckBox", "TCheckBox"}, {"QAction", "TMenuItem"},
    {"QMenu", "TMenuItem"},
};

constexpr char kRuleClassProperty[] = "vclClass";
constexpr char kTabPageClass[] = "TTabSheet";

QTabWidget* TabWidgetOfPage(QObject* object) {
    auto* page = qobject_cast<QWidget*>(object);
    QWidget* stack = page != nullptr ? page->parentWidget() : nullptr;
    auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs != nullptr && tabs->indexOf(page) >= 0 ? tabs : nullptr;
}

QString RuleClassOf(QObject* object) {
    const QVariant declared = object->property(kRuleClassProperty);
    if (declared.isValid()) {
        return declared.toString();
    }
    if (TabWidgetOfPage(object) != nullptr) {
        return QString::fromLatin1(kTabPageClass);
    }
    const char* qtClass = object->metaObject()->className();
    for (const ClassAlias& alias : kClassAliases) {
        if (std::strcmp(alias.QtClass, qtClass) == 0) {
            return QString::fromLatin1(alias.RuleClass);
        }
    }
    return {};
}

// A setter answers false when the object is not of its kind, so the next row gets
// its turn.
using Setter = bool (*)(QObject*, const QString&);

template <class T, auto Set> bool SetOn(QObject* object, const QString& text) {
    auto* target = qobject_cast<T*>(object);
    if (target == nullptr) {
        return false;
    }
    (target->*Set)(text);
    return true;
}

bool SetTabText(QObject* object, const QString& text) {
    QTabWidget* tabs = TabWidgetOfPage(object);
    if (tabs == nullptr) {
        return false;
    }
    tabs->setTabText(tabs->indexOf(static_cast<QWidget*>(object)), text);
    return true;
}

bool SetFormTitle(QObject* object, const QString& text) {
    auto* form = qobject_cast<QWidget*>(object);
    if (form == nullptr || !form->isWindow()) {
        return false;
    }
    form->setWindowTitle(text);
    return true;
}

struct PropertyBinding {
    const char* Prop;
    Setter Set;
};

// First matching row wins; tab pages and menus come before the plain widget and
// window rows they would otherwise also satisfy.
constexpr PropertyBinding kPropertyBindings[] = {
    {"Caption", &SetTabText},
    {"Caption", &SetOn<QAbstractButton, &QAbstractButton::setText>},
    {"Caption", &SetOn<QLabel, &QLabel::setText>},
    {"Caption", &SetOn<QGroupBox, &QGroupBox::setTitle>},
    {"Caption", &SetOn<QAction, &QAction::setText>},
    {"Caption", &SetOn<QMenu, &QMenu::setTitle>},
    {"Caption", &SetFormTitle},
    {"Hint", &SetOn<QWidget, &QWidget::setToolTip>},
    {"Hint", &SetOn<QAction, &QAction::setToolTip>},
    {"Title", &SetOn<QFileDialog, &QWidget::setWindowTitle>},
};

// Any other name is taken as a declared or dynamic Qt property of string type.
bool SetStringProperty(QObject* object, const QString& prop, const QString& text) {
    const QByteArray name = prop.toUtf8();
    const QVariant current = object->property(name.constData());
    if (!current.isValid() || current.metaType().id() != QMetaType::QString) {
        return false;
    }
    return object->setProperty(name.constData(), text);
}

// A property the object lacks is passed over; an empty text never replaces one.
void ApplyText(QObject* object, const QString& prop, const QString& text) {
    if (object == nullptr || text.isEmpty()) {
        return;
    }
    for (const PropertyBinding& binding : kPropertyBindings) {
        if (prop == QLatin1String(binding.Prop) && binding.Set(object, text)) {
            return;
        }
    }
    SetStringProperty(object, prop, text);
}

// Menus are pop-up windows yet part of the form that shows them.
bool IsForm(const QObject* object) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget != nullptr && widget->isWindow() && widget->windowType() != Qt::Popup;
}

const QObject* FormOf(const QObject* object, const QObject* owner) {
    for (const QObject* up = object->parent(); up != nullptr; up = up->parent()) {
        if (up == owner || IsForm(up)) {
            return up;
        }
    }
    return nullptr;
}

// Named objects of the owner's own form; a dialog parented to the owner counts
// as one of them, but the dialog's contents belong to the dialog.
QList<QObject*> ComponentsOf(QObject* owner) {
    QList<QObject*> components;
    if (owner == nullptr) {
        return components;
    }
    for (QObject* object : owner->findChildren<QObject*>()) {
        if (!object->objectName().isEmpty() && FormOf(object, owner) == owner) {
            components.append(object);
        }
    }
    return components;
}

QStringList SplitCommaText(const QString& commaText) {
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    return commaText.split(separators, Qt::SkipEmptyParts);
}

const xmlNode* FormElement(const XmlDoc& doc, const QString& formName) {
    return FirstChildWithAttribute(FirstChildNamed(doc.Root(), "forms"), "name", formName);
}

// Regular files matching the mask regardless of case, by name regardless of case;
// names equal but for case keep a fixed order.
QStringList LanguageFileNames(const QString& folder, const QString& mask) {
    QStringList names = QDir(folder).entryList({mask}, QDir::Files | QDir::Hidden, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

} // namespace

TTranslator::TTranslator(QObject* owner) : QObject(owner), FOwner(owner) {
    setObjectName(QStringLiteral("Translator1"));
}

void TTranslator::SetOwnerPropName(const QString& name) {
    if (!name.trimmed().isEmpty()) {
        FOwnerPropName = name;
    }
}

void TTranslator::SetLanguageFileExt(const QString& mask) {
    if (!mask.trimmed().isEmpty()) {
        FLanguageFileExt = mask;
    }
}

void TTranslator::SetRule(QList<Rule>& rules, const QString& name, const QString& commaProps) {
    for (Rule& rule : rules) {
        if (rule.Name == name) {
            rule.Props = SplitCommaText(commaProps);
            return;
        }
    }
    rules.append({name, SplitCommaText(commaProps)});
}

const TTranslator::Rule* TTranslator::FindRule(const QList<Rule>& rules, const QString& name) {
    const auto found =
        std::find_if(rules.begin(), rules.end(), [&](const Rule& rule) { return rule.Name == name; });
    return found != rules.end() ? &*found : nullptr;
}

void TTranslator::AddClassRule(const QString& className, const QString& commaProps) {
    SetRule(FClassRules, className, commaProps);
}

void TTranslator::AddExclusion(const QString& componentName, const QString& commaProps) {
    SetRule(FExclusions, componentName, commaProps);
}

QStringList TTranslator::LoadLanguages(const QString& folder) {
    if (folder.trimmed().isEmpty()) {
        return {};
    }
    FLanguages.clear();
    QString base = QString(folder).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!base.endsWith(QLatin1Char('/'))) {
        base += QLatin1Char('/');
    }
    QStringList problems;
    for (const QString& name : LanguageFileNames(base, FLanguageFileExt)) {
        try {
            AddLanguageFile(base + name);
        } catch (const Error& error) {
            problems.append(QString::fromUtf8(error.what()));
        }
    }
    return problems;
}

void TTranslator::AddLanguageFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return;
    }
    const XmlDoc doc = XmlDoc::Load(path);
    const QString name = TextOf(FirstChildNamed(FirstChildNamed(doc.Root(), "language"), "name"));
    if (!name.isEmpty() && IndexOfLanguage(name) < 0) {
        FLanguages.append({name, path});
    }
}

QString TTranslator::LanguageName(int index) const {
    return InRange(index) ? FLanguages[index].first : QString();
}

int TTranslator::IndexOfLanguage(const QString& name) const {
    for (int i = 0; i < LanguageCount(); ++i) {
        if (FLanguages[i].first.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QString TTranslator::LanguageLocale(int index) const {
    if (!InRange(index)) {
        return {};
    }
    const XmlDoc doc = XmlDoc::Load(FLanguages[index].second);
    return TextOf(FirstChildNamed(FirstChildNamed(doc.Root(), "language"), "locale")).trimmed();
}

QString TTranslator::OwnerName() const {
    return FOwner != nullptr ? FOwner->objectName() : QString();
}

void TTranslator::Translate(int index) {
    if (!InRange(index)) {
        return;
    }
    const XmlDoc doc = XmlDoc::Load(FLanguages[index].second);
    const xmlNode* form = FormElement(doc, OwnerName());
    if (FTranslateOwner) {
        ApplyText(FOwner, FOwnerPropName, TextOf(FirstChildNamed(form, "caption")));
    }

    const xmlNode* components = FirstChildNamed(form, "components");
    if (components == nullptr) {
        return;
    }
    for (QObject* component : ComponentsOf(FOwner)) {
        const QString ruleClass = RuleClassOf(component);
        const Rule* rule = ruleClass.isEmpty() ? nullptr : FindRule(FClassRules, ruleClass);
        const Rule* exclusion = FindRule(FExclusions, component->objectName());
        if (rule == nullptr || (exclusion != nullptr && exclusion->Props.isEmpty())) {
            continue;
        }
        const xmlNode* element = FirstChildWithAttribute(components, "name", component->objectName());
        for (const QString& prop : rule->Props) {
            if (exclusion == nullptr || !exclusion->Props.contains(prop)) {
                ApplyText(component, prop, TextOf(FirstChildWithAttribute(element, "id", prop)));
            }
        }
    }
}

QString TTranslator::GetVariable(int index, const QString& key, const QString& def) const {
    if (!InRange(index)) {
        return def;
    }
    const XmlDoc doc = XmlDoc::Load(FLanguages[index].second);
    const xmlNode* variables = FirstChildNamed(FormElement(doc, OwnerName()), "variables");
    const QString text = TextOf(FirstChildWithAttribute(variables, "id", key));
    return text.isEmpty() ? def : text;
}

} // namespace kw
