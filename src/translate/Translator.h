#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kw {

// Display name and file path of each language, in the order found.
using LanguageList = QList<QPair<QString, QString>>;

// Translates its owner form and looks up free texts from XML language files.
// Each form carries its own translator with its own rules; only the main window
// scans the language folder, the other forms copy its list.
// The components translated are the named objects below the owner that belong to
// the owner's own window (a dialog parented to it counts, its contents do not).
// A component's rule class is its "vclClass" property when set, else one derived
// from its exact Qt class (QPushButton/QToolButton "TBitBtn", QLabel "TLabel",
// QGroupBox "TGroupBox", QCheckBox "TCheckBox", QAction/QMenu "TMenuItem", a
// QTabWidget page "TTabSheet").
class TTranslator : public QObject {
    Q_OBJECT
public:
    explicit TTranslator(QObject* owner);

    bool TranslateOwner() const { return FTranslateOwner; }
    void SetTranslateOwner(bool on) { FTranslateOwner = on; }
    QString OwnerPropName() const { return FOwnerPropName; }
    // Ignored when blank; stored untrimmed otherwise.
    void SetOwnerPropName(const QString& name);
    QString LanguageFileExt() const { return FLanguageFileExt; }
    // A file mask such as "*.xml"; ignored when blank, stored untrimmed otherwise.
    void SetLanguageFileExt(const QString& mask);

    // Registering a name a second time replaces its property list.
    void AddClassRule(const QString& className, const QString& commaProps);
    // An empty property list leaves the whole component untouched.
    void AddExclusion(const QString& componentName, const QString& commaProps);

    // Rebuilds the list from the folder's files, sorted by file name regardless of
    // case. A file that is not well-formed XML is left out and the walk goes on;
    // the result holds one user message per such file, naming the file and the
    // parser's error. A blank folder leaves the list as it is.
    QStringList LoadLanguages(const QString& folder);
    // Adds the file's language unless the file is missing, names no language or
    // names one already listed (regardless of case). Throws kw::Error on bad XML.
    void AddLanguageFile(const QString& path);

    int LanguageCount() const { return static_cast<int>(FLanguages.size()); }
    QString LanguageName(int index) const;          // "" when out of range
    int IndexOfLanguage(const QString& name) const; // regardless of case, -1 when absent
    const LanguageList& Languages() const { return FLanguages; }
    void AssignLanguages(const LanguageList& list) { FLanguages = list; }

    // The locale code of the language's file ("en", "ru": its optional <language><locale>), empty when the
    // file names none or the index is out of range. Throws kw::Error on bad XML.
    QString LanguageLocale(int index) const;
    // Applies the language to the owner and its components; an index out of range
    // does nothing. The file is read anew on every call. Throws kw::Error on bad XML.
    void Translate(int index);
    // The key's text from the owner's "variables", or def when the index is out of
    // range or the text is missing or empty. Throws kw::Error on bad XML.
    QString GetVariable(int index, const QString& key, const QString& def) const;

private:
    struct Rule {
        QString Name;
        QStringList Props;
    };
    static void SetRule(QList<Rule>& rules, const QString& name, const QString& commaProps);
    static const Rule* FindRule(const QList<Rule>& rules, const QString& name);
    bool InRange(int index) const { return index >= 0 && index < LanguageCount(); }
    QString OwnerName() const;

    QObject* FOwner;
    QList<Rule> FClassRules;
    QList<Rule> FExclusions;
    LanguageList FLanguages;
    bool FTranslateOwner = false;
    QString FOwnerPropName = QStringLiteral("Caption");
    QString FLanguageFileExt = QStringLiteral("*.xml");
};

} // namespace kw
