#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The translations of one PO catalogue, read through libgettextpo. Entries marked fuzzy are left
// out, as gettext's own tools leave them out of a compiled catalogue. The parser's handle lives
// only while the text is read; the catalogue keeps plain copies of what it needs.
class TPoCatalogue {
public:
    // The compiled-in catalogue "Parsetta." + code ("de", "en", "fr"); nothing when there is
    // no such resource or it does not read as a PO catalogue.
    static std::optional<TPoCatalogue> FromResource(const QString& code);
    // A catalogue from PO text; nothing when the text has errors.
    static std::optional<TPoCatalogue> FromText(const QByteArray& text);

    // The entry of identifier unit + "." + name (by msgctxt or a "#:" reference, case-insensitive),
    // else the first entry whose msgid is the source text. Its msgstr, which may be empty; nothing
    // when neither exists.
    std::optional<QString> Translation(const QString& identifier, const QString& source) const;

    // The entry of an identifier alone, for checking a catalogue against the units.
    struct TEntry {
        QString Source;
        QString Translation;
    };
    const TEntry* FindByIdentifier(const QString& identifier) const;

private:
    void Add(const QString& identifier, const TEntry& entry);
    void AddBySource(const TEntry& entry);

    QHash<QString, TEntry> ByIdentifier_;
    QHash<QString, QString> BySource_;

    friend class TPoReader;
};

// The resource name of a language's catalogue in the Qt resource system.
QString CatalogueResourceName(const QString& code);
