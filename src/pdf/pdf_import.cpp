#include "pdf/pdf_import.h"

#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "pdf/content/content_token_check.h"
#include "pdf/errors.h"
#include "pdf/item_access.h"
#include "pdf/messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_imported_links.h"
#include "pdf/pdf_imported_object_table.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/read_budget.h"
#include "pdf/stream_data_check.h"

namespace ZavorPdf::Pdf {
namespace {

bool IsPageTreeObject(const PdfObject &object) {
    if (dynamic_cast<const PdfPage *>(&object) != nullptr || dynamic_cast<const PdfPages *>(&object) != nullptr)
        return true;
    auto *dictionary = dynamic_cast<const PdfDictionary *>(&object);
    if (dictionary == nullptr) return false;
    auto *type = dynamic_cast<const PdfName *>(dictionary->Elements()["/Type"]);
    return type != nullptr && (type->Value() == "/Page" || type->Value() == "/Pages");
}

// The slots of a dictionary or array, for walking both alike.
template <class Visit>
void ForEachSlot(const PdfObject &object, Visit visit) {
    if (auto *dictionary = dynamic_cast<const PdfDictionary *>(&object))
        for (const auto &entry : dictionary->Elements().Entries()) visit(entry.value);
    else if (auto *array = dynamic_cast<const PdfArray *>(&object))
        for (const auto &slot : array->Elements().Items()) visit(slot);
}

class ImportWalk {
public:
    ImportWalk(PdfImportedObjectTable &table, PdfDocument &owner, const PdfReference *externalPage,
               PdfReference *localPage)
        : table_(table), owner_(owner), externalPage_(externalPage), localPage_(localPage) {
        table_.ForgetDropped();
    }

    PdfItemSlot Run(const PdfObject &external) {
        PdfItemSlot result;
        if (PdfReference *reference = external.Reference()) {
            if (const PdfObject *value = Discover(*reference)) DiscoverInside(*value);
            CopyPending();
            PdfReference *local = Local(*reference);
            return local != nullptr ? PdfItemSlot(local) : PdfItemSlot(std::make_unique<PdfNull>());
        }
        DiscoverInside(external);
        CopyPending();
        return PdfItemSlot(Copy(external));
    }

private:
    // Files every object reached from the start that has no local copy yet
    // under a new number, so that the copies can refer to each other.
    void DiscoverInside(const PdfObject &start) {
        std::vector<const PdfObject *> pending{&start};
        while (!pending.empty()) {
            const PdfObject *object = pending.back();
            pending.pop_back();
            ForEachSlot(*object, [&](const PdfItemSlot &slot) {
                if (PdfReference *reference = slot.Reference()) {
                    if (const PdfObject *value = Discover(*reference)) pending.push_back(value);
                } else if (auto *child = dynamic_cast<const PdfObject *>(slot.Get())) {
                    pending.push_back(child);
                }
            });
        }
    }

    // The object behind a reference met for the first time, to be walked;
    // null when it is known already or is not copied.
    const PdfObject *Discover(const PdfReference &reference) {
        PdfObjectID id = reference.ObjectID();
        if (reference.Document() == &owner_ || skipped_.contains(id) || table_.Contains(id)) return nullptr;
        const PdfObject *value = reference.Value();
        if (value == nullptr || IsPageTreeObject(*value)) {
            skipped_[id] = &reference == externalPage_ ? localPage_ : nullptr;
            return nullptr;
        }
        PdfReferenceTable &local = owner_.ReferenceTable();
        PdfObjectID localId(local.GetNewObjectNumber(), 0);
        table_.Add(id, local.GetOrCreateReference(localId));
        copies_.emplace_back(value, localId);
        return value;
    }

    void CopyPending() {
        for (const auto &[external, localId] : copies_) {
            std::unique_ptr<PdfItem> copy = Copy(*external);
            std::unique_ptr<PdfObject> object(dynamic_cast<PdfObject *>(copy.get()));
            if (object == nullptr) {
                object = std::make_unique<PdfNullObject>(&owner_);
            } else {
                copy.release();
            }
            owner_.ReferenceTable().Add(localId, std::move(object));
        }
        copies_.clear();
    }

    // Null: the copy holds null in its place.
    PdfReference *Local(const PdfReference &external) const {
        if (external.Document() == &owner_) return const_cast<PdfReference *>(&external);
        auto skipped = skipped_.find(external.ObjectID());
        if (skipped != skipped_.end()) return skipped->second;
        return table_[external.ObjectID()];
    }

    std::unique_ptr<PdfItem> Copy(const PdfItem &item) {
        if (auto *dictionary = dynamic_cast<const PdfDictionary *>(&item)) return CopyDictionary(*dictionary);
        if (auto *array = dynamic_cast<const PdfArray *>(&item)) return CopyArray(*array);
        if (auto *object = dynamic_cast<const PdfObject *>(&item)) return CopySimpleObject(*object);
        return item.Clone();
    }

    std::unique_ptr<PdfItem> CopyDictionary(const PdfDictionary &external) {
        auto copy = std::make_unique<PdfDictionary>(&owner_);
        for (const auto &entry : external.Elements().Entries()) {
            if (PdfReference *reference = entry.value.Reference()) {
                if (PdfReference *local = Local(*reference))
                    copy->Elements().SetReference(entry.key, local);
                else
                    copy->Elements().SetValue(entry.key, std::make_unique<PdfNull>());
            } else {
                copy->Elements().SetValue(entry.key, Copy(*entry.value.Get()));
            }
        }
        if (external.Stream() != nullptr) copy->CreateStream(external.Stream()->Value());
        return copy;
    }

    std::unique_ptr<PdfItem> CopyArray(const PdfArray &external) {
        auto copy = std::make_unique<PdfArray>(&owner_);
        for (const auto &slot : external.Elements().Items()) {
            if (PdfReference *reference = slot.Reference()) {
                if (PdfReference *local = Local(*reference))
                    copy->Elements().AddReference(local);
                else
                    copy->Elements().Add(std::make_unique<PdfNull>());
            } else {
                copy->Elements().Add(Copy(*slot.Get()));
            }
        }
        return copy;
    }

    // The indirect twins of simple values; they carry their document, so
    // they are made anew rather than cloned.
    std::unique_ptr<PdfItem> CopySimpleObject(const PdfObject &external) {
        if (auto *value = dynamic_cast<const PdfBooleanObject *>(&external))
            return std::make_unique<PdfBooleanObject>(value->Value(), &owner_);
        if (auto *value = dynamic_cast<const PdfIntegerObject *>(&external))
            return std::make_unique<PdfIntegerObject>(value->Value(), &owner_);
        if (auto *value = dynamic_cast<const PdfUIntegerObject *>(&external))
            return std::make_unique<PdfUIntegerObject>(value->Value(), &owner_);
        if (auto *value = dynamic_cast<const PdfRealObject *>(&external))
            return std::make_unique<PdfRealObject>(value->Value(), &owner_);
        if (auto *value = dynamic_cast<const PdfStringObject *>(&external))
            return std::make_unique<PdfStringObject>(value->Value(), &owner_);
        if (auto *value = dynamic_cast<const PdfNameObject *>(&external))
            return std::make_unique<PdfNameObject>(value->Value(), &owner_);
        return std::make_unique<PdfNullObject>(&owner_);
    }

    PdfImportedObjectTable &table_;
    PdfDocument &owner_;
    const PdfReference *externalPage_;  // non-owning, may be null
    PdfReference *localPage_;           // non-owning, may be null
    // References that are not copied, with what they read as instead.
    std::map<PdfObjectID, PdfReference *> skipped_;
    std::vector<std::pair<const PdfObject *, PdfObjectID>> copies_;
};

// "shared" entries reuse what earlier pages of the same source brought in;
// the others are copied afresh for every page.
struct PageKey {
    const char *key;
    bool shared;
};

constexpr PageKey ImportedPageKeys[] = {
    {"/Resources", true}, {"/Contents", true}, {"/MediaBox", false}, {"/CropBox", false}, {"/Rotate", false},
    {"/BleedBox", false}, {"/TrimBox", false}, {"/ArtBox", false},   {"/Annots", true},
};

void CopyPageKey(PdfPage &page, const PdfPage &external, const PageKey &key, PdfImportedObjectTable &shared) {
    const PdfItemSlot *slot = nullptr;
    for (const auto &entry : external.Elements().Entries())
        if (entry.key == key.key) slot = &entry.value;
    if (slot == nullptr) return;
    const PdfItem *item = slot->Get();
    if (PdfReference *reference = slot->Reference()) item = reference->Value();
    if (item == nullptr) return;
    auto *object = dynamic_cast<const PdfObject *>(item);
    if (object == nullptr) {
        page.Elements().SetValue(key.key, item->Clone());
        return;
    }
    PdfDocument &owner = *page.Owner();
    PdfImportedObjectTable fresh(owner, *external.Owner());
    ImportWalk walk(key.shared ? shared : fresh, owner, external.Reference(), page.Reference());
    PdfItemSlot copy = walk.Run(*object);
    if (copy.IsReference())
        page.Elements().SetReference(key.key, copy.Reference());
    else
        page.Elements().SetValue(key.key, std::unique_ptr<PdfItem>(copy.Get()->Clone()));
}

// The walk of an import, without copying: every object it would reach is
// read through ReadableValue and every stream's data checked, so that a
// damaged one fails before anything is made. Objects the table maps were
// checked when they were copied. The page's content streams are left to
// the content check, which decodes them anyway and fails as this would.
void CheckReadable(const PdfItemSlot &start, const PdfImportedObjectTable &table,
                   const std::set<const PdfObject *> &contents) {
    std::vector<const PdfItemSlot *> pending{&start};
    std::set<PdfObjectID> seen;
    while (!pending.empty()) {
        const PdfItemSlot *slot = pending.back();
        pending.pop_back();
        const PdfItem *item = slot->Get();
        if (PdfReference *reference = slot->Reference()) {
            if (table.Contains(reference->ObjectID()) || !seen.insert(reference->ObjectID()).second) continue;
            const PdfObject *value = reference->ReadableValue();
            if (value == nullptr || IsPageTreeObject(*value)) continue;
            auto *stream = dynamic_cast<const PdfDictionary *>(value);
            if (stream != nullptr && !contents.contains(stream)) CheckStreamData(*stream);
            item = value;
        }
        if (auto *object = dynamic_cast<const PdfObject *>(item))
            ForEachSlot(*object, [&](const PdfItemSlot &child) { pending.push_back(&child); });
    }
}

// What the page's "/Contents" names, in order.
std::vector<const PdfItem *> ContentItems(const PdfPage &page) {
    std::vector<const PdfItem *> items;
    const PdfItem *contents = page.Elements()["/Contents"];
    if (auto *reference = dynamic_cast<const PdfReference *>(contents)) contents = reference->ReadableValue();
    if (auto *array = dynamic_cast<const PdfArray *>(contents)) {
        for (const auto &slot : array->Elements().Items())
            items.push_back(slot.Reference() != nullptr ? slot.Reference()->ReadableValue() : slot.Get());
    } else {
        items.push_back(contents);
    }
    return items;
}

// The streams of the page's content, decoded and joined as viewers read
// them; nothing when one of them has a filter we know but do not decode.
std::optional<std::vector<std::uint8_t>> JoinedContent(const PdfPage &page) {
    std::vector<const PdfItem *> items = ContentItems(page);
    // The page's content streams are held at once, so what is left of the
    // file's budget bounds them together. The check only looks: the same
    // content is charged when it is decoded for use.
    PdfDocument *source = page.Owner();
    ReadBudget room = source != nullptr ? source->Budget() : ReadBudget();
    std::vector<std::uint8_t> joined;
    for (const PdfItem *item : items) {
        // An object the file lacks is no content; anything else but a
        // stream in its place is damage.
        if (Internal::IsAbsent(item)) continue;
        auto *stream = dynamic_cast<const PdfDictionary *>(item);
        if (stream == nullptr || stream->Stream() == nullptr)
            throw PdfReaderException(Messages::DamagedContent(page.ObjectID().ToString(), "no stream in /Contents"));
        std::optional<std::vector<std::uint8_t>> bytes = DecodeContentData(*stream, &room);
        if (!bytes) return std::nullopt;
        joined.insert(joined.end(), bytes->begin(), bytes->end());
        joined.push_back('\n');
    }
    return joined;
}

// Content that is not decoded here still has its streams checked.
void CheckPageContent(const PdfPage &page) {
    std::optional<std::vector<std::uint8_t>> content = JoinedContent(page);
    if (!content) {
        for (const PdfItem *item : ContentItems(page))
            if (auto *stream = dynamic_cast<const PdfDictionary *>(item)) CheckStreamData(*stream);
        return;
    }
    std::string problem = Content::FindBrokenToken(*content);
    if (!problem.empty()) throw PdfReaderException(Messages::DamagedContent(page.ObjectID().ToString(), problem));
}

// A content array that names an object the file lacks holds null in the
// copy, which no reader takes for content.
void DropMissingContents(PdfPage &page) {
    PdfArray *contents = page.Elements().GetArray("/Contents");
    if (contents == nullptr) return;
    for (int i = contents->Elements().Count() - 1; i >= 0; --i)
        if (Internal::IsAbsent(Internal::Resolve(contents->Elements()[i]))) contents->Elements().RemoveAt(i);
}

// Annotations point back at their page.
void FixImportedAnnotations(PdfPage &page) {
    PdfArray *annotations = page.Elements().GetArray("/Annots");
    if (annotations == nullptr) return;
    for (int i = 0; i < annotations->Elements().Count(); ++i) {
        PdfDictionary *annotation = annotations->Elements().GetDictionary(i);
        if (annotation != nullptr && annotation->Elements().ContainsKey("/P"))
            annotation->Elements().SetReference("/P", page.Reference());
    }
}

}  // namespace

// Every content stream is inflated once: by the content check.
void CheckImportable(const PdfPage &externalPage, const PdfImportedObjectTable &table) {
    std::set<const PdfObject *> contents;
    for (const PdfItem *item : ContentItems(externalPage))
        if (auto *object = dynamic_cast<const PdfObject *>(item)) contents.insert(object);
    for (const auto &entry : externalPage.Elements().Entries()) {
        for (const PageKey &key : ImportedPageKeys)
            if (entry.key == key.key) CheckReadable(entry.value, table, contents);
    }
    CheckPageContent(externalPage);
}

PdfItemSlot ImportClosure(PdfImportedObjectTable &table, PdfDocument &owner, const PdfObject &externalObject) {
    ImportWalk walk(table, owner, nullptr, nullptr);
    return walk.Run(externalObject);
}

PdfPage &ImportExternalPage(PdfPages &tree, int index, PdfPage &externalPage) {
    PdfDocument *source = externalPage.Owner();
    PdfDocument *target = tree.Owner();
    if (source == nullptr || target == nullptr) throw ArgumentNullException("page");
    if (source->OpenMode() != PdfDocumentOpenMode::Import) throw InvalidOperationException(ImportModeMessage);
    PdfImportedObjectTable &shared = target->ImportedObjectTables().For(*source);
    CheckImportable(externalPage, shared);
    // Sized as the document sizes its pages, without asking the locale
    // again for every page imported.
    auto created = std::make_unique<PdfPage>(target->DefaultPageSize());
    PdfPage &page = *created;
    target->ReferenceTable().Add(std::move(created));
    for (const PageKey &key : ImportedPageKeys) CopyPageKey(page, externalPage, key, shared);
    DropMissingContents(page);
    tree.Insert(index, page);
    FixImportedAnnotations(page);
    // On its own, a page keeps only the links to itself; PdfPageImport
    // settles the links among the pages of one call.
    const ImportedPage imported{&externalPage, &page};
    ResolveImportedLinks(shared, std::span(&imported, 1));
    return page;
}

}  // namespace ZavorPdf::Pdf
