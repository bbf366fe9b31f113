#include "i18n/po_catalogue.h"

#include <QFile>
#include <QTemporaryFile>

#include <csetjmp>
#include <memory>

#include <gettext-po.h>

// The catalogues are compiled into this static library; registering them by hand keeps the
// linker from dropping the resource data, which nothing else refers to.
static void RegisterCatalogues() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(parsetta_i18n);
        return true;
    }();
    (void)registered;
}

namespace {

// libgettextpo reports problems through a handler that must not return on a fatal error; the
// reader jumps back to the call site then. Nothing with a destructor lives between the two.
thread_local std::jmp_buf* FatalJump = nullptr;
thread_local int ErrorCount = 0;

void OnPoError(int severity, po_message_t, const char*, size_t, size_t, int, const char*) {
    if (severity != PO_SEVERITY_WARNING)
        ++ErrorCount;
    if (severity == PO_SEVERITY_FATAL_ERROR && FatalJump != nullptr)
        std::longjmp(*FatalJump, 1);
}

void OnPoError2(int severity, po_message_t, const char*, size_t, size_t, int, const char*,
                po_message_t, const char*, size_t, size_t, int, const char*) {
    OnPoError(severity, nullptr, nullptr, 0, 0, 0, nullptr);
}

const po_xerror_handler PoHandler{OnPoError, OnPoError2};

// Returns the parsed file, or null when it could not be read or had errors.
po_file_t ReadPoFile(const char* path) {
    std::jmp_buf jump;
    ErrorCount = 0;
    FatalJump = &jump;
    if (setjmp(jump) != 0) {
        FatalJump = nullptr;
        return nullptr;
    }
    po_file_t file = po_file_read(path, &PoHandler);
    FatalJump = nullptr;
    if (file != nullptr && ErrorCount > 0) {
        po_file_free(file);
        return nullptr;
    }
    return file;
}

struct TPoFileDeleter {
    void operator()(po_file_t file) const { po_file_free(file); }
};
using TPoFilePtr = std::unique_ptr<std::remove_pointer_t<po_file_t>, TPoFileDeleter>;

struct TIteratorDeleter {
    void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};
using TIteratorPtr =
    std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, TIteratorDeleter>;

QString Utf8(const char* text) {
    return text != nullptr ? QString::fromUtf8(text) : QString();
}

} // namespace

// Walks the messages of a parsed file into a catalogue.
class TPoReader {
public:
    static void Fill(po_file_t file, TPoCatalogue& catalogue) {
        const char* const* domains = po_file_domains(file);
        for (; domains != nullptr && *domains != nullptr; ++domains) {
            TIteratorPtr it(po_message_iterator(file, *domains));
            while (po_message_t message = po_next_message(it.get()))
                AddMessage(message, catalogue);
        }
    }

private:
    static void AddMessage(po_message_t message, TPoCatalogue& catalogue) {
        const char* msgid = po_message_msgid(message);
        if (msgid == nullptr || *msgid == '\0' || po_message_is_obsolete(message) ||
            po_message_is_fuzzy(message) || po_message_msgid_plural(message) != nullptr)
            return;
        const TPoCatalogue::TEntry entry{Utf8(msgid), Utf8(po_message_msgstr(message))};
        if (const char* context = po_message_msgctxt(message))
            catalogue.Add(Utf8(context), entry);
        for (int i = 0; po_filepos_t pos = po_message_filepos(message, i); ++i)
            catalogue.Add(Utf8(po_filepos_file(pos)), entry);
        catalogue.AddBySource(entry);
    }
};

void TPoCatalogue::Add(const QString& identifier, const TEntry& entry) {
    const QString key = identifier.toLower();
    if (!key.isEmpty() && !ByIdentifier_.contains(key))
        ByIdentifier_.insert(key, entry);
}

void TPoCatalogue::AddBySource(const TEntry& entry) {
    if (!BySource_.contains(entry.Source))
        BySource_.insert(entry.Source, entry.Translation);
}

const TPoCatalogue::TEntry* TPoCatalogue::FindByIdentifier(const QString& identifier) const {
    const auto it = ByIdentifier_.constFind(identifier.toLower());
    return it != ByIdentifier_.cend() ? &*it : nullptr;
}

std::optional<QString> TPoCatalogue::Translation(const QString& identifier,
                                                 const QString& source) const {
    if (const TEntry* entry = FindByIdentifier(identifier))
        return entry->Translation;
    const auto bySource = BySource_.constFind(source);
    if (bySource != BySource_.cend())
        return *bySource;
    return std::nullopt;
}

std::optional<TPoCatalogue> TPoCatalogue::FromText(const QByteArray& text) {
    // libgettextpo reads only named files, so the text goes through a private temporary file.
    QTemporaryFile file;
    if (!file.open() || file.write(text) != text.size() || !file.flush())
        return std::nullopt;
    TPoFilePtr po(ReadPoFile(QFile::encodeName(file.fileName()).constData()));
    if (!po)
        return std::nullopt;
    TPoCatalogue catalogue;
    TPoReader::Fill(po.get(), catalogue);
    return catalogue;
}

std::optional<TPoCatalogue> TPoCatalogue::FromResource(const QString& code) {
    RegisterCatalogues();
    QFile resource(CatalogueResourceName(code));
    if (!resource.open(QIODevice::ReadOnly))
        return std::nullopt;
    return FromText(resource.readAll());
}

QString CatalogueResourceName(const QString& code) {
    return QStringLiteral(":/po/Parsetta.") + code;
}
