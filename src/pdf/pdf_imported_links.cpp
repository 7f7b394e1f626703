#include "pdf/pdf_imported_links.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_destinations.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_import.h"
#include "pdf/pdf_imported_object_table.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {
namespace {

const PdfItem *Resolved(const PdfItem *item) {
    if (item != nullptr && item->IsReference()) return static_cast<const PdfReference *>(item)->Value();
    return item;
}

bool IsNull(const PdfItem *item) {
    return item == nullptr || dynamic_cast<const PdfNull *>(item) != nullptr ||
           dynamic_cast<const PdfNullObject *>(item) != nullptr;
}

bool HasName(const PdfDictionary &dictionary, std::string_view key, std::string_view value) {
    const PdfItem *item = Resolved(dictionary.Elements()[key]);
    if (auto *name = dynamic_cast<const PdfName *>(item)) return name->Value() == value;
    if (auto *name = dynamic_cast<const PdfNameObject *>(item)) return name->Value() == value;
    return false;
}

// Actions run one after another through "/Next"; a chain longer than this
// is no real file's (and one that shares actions could grow without end).
constexpr int kMaxChainedActions = 64;

bool MayGoWithinTheFile(const PdfDictionary &action) {
    return HasName(action, "/S", "/GoTo") || action.Elements().ContainsKey("/Next");
}

// The action of an annotation when it or one that follows it may go to a
// page of the file; other actions (another file, the web, a program) keep
// what they have.
const PdfDictionary *ActionWithinTheFile(const PdfDictionary &annotation) {
    const PdfDictionary *action = annotation.Elements().GetDictionary("/A");
    return action != nullptr && MayGoWithinTheFile(*action) ? action : nullptr;
}

// The triggered actions ("/AA": the mouse entering, a field losing focus…)
// that may go to a page of the file, by trigger.
std::vector<std::pair<std::string, const PdfDictionary *>> TriggersWithinTheFile(const PdfDictionary &annotation) {
    std::vector<std::pair<std::string, const PdfDictionary *>> triggers;
    const PdfDictionary *additional = annotation.Elements().GetDictionary("/AA");
    if (additional == nullptr) return triggers;
    for (const auto &entry : additional->Elements().Entries()) {
        auto *action = dynamic_cast<const PdfDictionary *>(Resolved(entry.value.Get()));
        if (action != nullptr && MayGoWithinTheFile(*action)) triggers.emplace_back(entry.key, action);
    }
    return triggers;
}

bool LeadsWithinTheFile(const PdfDictionary &annotation) {
    return !IsNull(Resolved(annotation.Elements()["/Dest"])) || ActionWithinTheFile(annotation) != nullptr ||
           !TriggersWithinTheFile(annotation).empty();
}

// The actions under "/Next": one dictionary or an array of them.
std::vector<const PdfDictionary *> NextActions(const PdfDictionary &action) {
    const PdfItem *next = Resolved(action.Elements()["/Next"]);
    if (auto *single = dynamic_cast<const PdfDictionary *>(next)) return {single};
    std::vector<const PdfDictionary *> actions;
    if (auto *array = dynamic_cast<const PdfArray *>(next))
        for (int i = 0; i < array->Elements().Count(); ++i) actions.push_back(array->Elements().GetDictionary(i));
    return actions;
}

class LinkResolver {
public:
    LinkResolver(PdfImportedObjectTable &table, PdfDocument &source, std::span<const ImportedPage> pages)
        : table_(table), owner_(table.Owner()), source_(source) {
        for (const ImportedPage &page : pages)
            if (page.external->IsIndirect() && page.local->IsIndirect())
                copies_[page.external->ObjectID()] = page.local->Reference();
    }

    // The page's "/Annots" is made anew from the source's: the copy made
    // with the page may be shared with other copies of it, and settling the
    // page again with more pages known may bring back a link left out.
    void ResolvePage(const ImportedPage &page) {
        const PdfArray *annotations = page.external->Elements().GetArray("/Annots");
        if (annotations == nullptr) return;
        auto kept = std::make_unique<PdfArray>(&owner_);
        for (const PdfItemSlot &slot : annotations->Elements().Items()) {
            if (PdfReference *reference = slot.Reference()) {
                PdfReference *local = table_[reference->ObjectID()];
                if (local == nullptr) continue;  // no value in the source
                auto *external = dynamic_cast<const PdfDictionary *>(reference->Value());
                auto *copy = dynamic_cast<const PdfDictionary *>(local->Value());
                if (external == nullptr || copy == nullptr || !LeadsWithinTheFile(*external)) {
                    kept->Elements().AddReference(local);
                    continue;
                }
                // Every copy of the page gets a link of its own: where it
                // leads depends on the pages imported with it.
                auto own = std::make_unique<PdfDictionary>(*copy);
                if (Resolve(*external, *own))
                    kept->Elements().AddReference(owner_.ReferenceTable().Add(std::move(own)));
            } else if (auto *external = dynamic_cast<const PdfDictionary *>(slot.Get())) {
                // A direct annotation has no entry in the table: its copy
                // is made anew.
                PdfItemSlot fresh = ImportClosure(table_, owner_, *external);
                std::unique_ptr<PdfItem> copy = fresh.Get()->Clone();
                auto *dictionary = dynamic_cast<PdfDictionary *>(copy.get());
                if (dictionary != nullptr && Resolve(*external, *dictionary)) kept->Elements().Add(std::move(copy));
            }
        }
        for (int i = 0; i < kept->Elements().Count(); ++i) {
            PdfDictionary *annotation = kept->Elements().GetDictionary(i);
            if (annotation != nullptr && annotation->Elements().ContainsKey("/P"))
                annotation->Elements().SetReference("/P", page.local->Reference());
        }
        page.local->Elements().SetValue("/Annots", std::move(kept));
    }

private:
    // False: the link leads nowhere and is left out.
    bool Resolve(const PdfDictionary &external, PdfDictionary &copy) {
        bool link = HasName(external, "/Subtype", "/Link");
        const PdfItem *destination = external.Elements()["/Dest"];
        if (!IsNull(Resolved(destination))) {
            if (std::unique_ptr<PdfArray> local = LocalDestination(*destination))
                copy.Elements().SetValue("/Dest", std::move(local));
            else if (link)
                return false;
            else
                copy.Elements().Remove("/Dest");
        }
        if (const PdfDictionary *action = ActionWithinTheFile(external)) {
            const PdfDictionary *copiedAction = copy.Elements().GetDictionary("/A");
            actionsLeft_ = kMaxChainedActions;
            std::unique_ptr<PdfDictionary> own = copiedAction != nullptr ? OwnAction(*action, *copiedAction) : nullptr;
            if (own != nullptr)
                copy.Elements().SetValue("/A", std::move(own));
            else if (link)
                return false;
            else
                copy.Elements().Remove("/A");
        }
        ResolveTriggers(external, copy);
        return true;
    }

    // A triggered action never decides whether the annotation stays: one
    // whose page has no copy is only left out of "/AA".
    void ResolveTriggers(const PdfDictionary &external, PdfDictionary &copy) {
        const PdfDictionary *copied = copy.Elements().GetDictionary("/AA");
        if (copied == nullptr) return;
        auto own = std::make_unique<PdfDictionary>(*copied);
        for (const auto &[trigger, action] : TriggersWithinTheFile(external)) {
            const PdfDictionary *copiedAction = copied->Elements().GetDictionary(trigger);
            actionsLeft_ = kMaxChainedActions;
            std::unique_ptr<PdfDictionary> local = copiedAction != nullptr ? OwnAction(*action, *copiedAction) : nullptr;
            if (local != nullptr)
                own->Elements().SetValue(trigger, std::move(local));
            else
                own->Elements().Remove(trigger);
        }
        if (own->Elements().Count() > 0)
            copy.Elements().SetValue("/AA", std::move(own));
        else
            copy.Elements().Remove("/AA");
    }

    // The link's own copy of an action and of those that follow it (the
    // copies may be shared): go-to actions lead to the page copies, and
    // one whose page has no copy is left out of the chain. Null when the
    // action itself is left out.
    std::unique_ptr<PdfDictionary> OwnAction(const PdfDictionary &external, const PdfDictionary &copied) {
        // An action that follows itself would repeat forever.
        if (--actionsLeft_ < 0 || chain_.contains(&external)) return nullptr;
        auto own = std::make_unique<PdfDictionary>(copied);
        if (HasName(external, "/S", "/GoTo")) {
            const PdfItem *target = external.Elements()["/D"];
            std::unique_ptr<PdfArray> local = target != nullptr ? LocalDestination(*target) : nullptr;
            if (local == nullptr) return nullptr;
            own->Elements().SetValue("/D", std::move(local));
        }
        if (!external.Elements().ContainsKey("/Next")) return own;
        own->Elements().Remove("/Next");
        // The copy of "/Next" has the source's shape, item for item.
        std::vector<const PdfDictionary *> externalNext = NextActions(external);
        std::vector<const PdfDictionary *> copiedNext = NextActions(copied);
        auto next = std::make_unique<PdfArray>(&owner_);
        chain_.insert(&external);
        for (std::size_t i = 0; i < externalNext.size() && i < copiedNext.size(); ++i) {
            if (externalNext[i] == nullptr || copiedNext[i] == nullptr) continue;
            if (std::unique_ptr<PdfDictionary> action = OwnAction(*externalNext[i], *copiedNext[i]))
                next->Elements().Add(std::move(action));
        }
        chain_.erase(&external);
        if (next->Elements().Count() > 0) own->Elements().SetValue("/Next", std::move(next));
        return own;
    }

    // Null when the destination cannot be followed or its page has no copy.
    std::unique_ptr<PdfArray> LocalDestination(const PdfItem &item) {
        std::optional<PdfExplicitDestination> destination;
        if (dynamic_cast<const PdfArray *>(Resolved(&item)) != nullptr)
            destination = TryReadExplicitDestination(item);
        else if (const PdfNamedDestinations *named = table_.NamedDestinations())
            destination = named->Find(item);
        if (!destination) return nullptr;
        PdfReference *page = PageCopy(*destination);
        return page != nullptr ? MakeDestinationArray(*destination, page, &owner_) : nullptr;
    }

    PdfReference *PageCopy(const PdfExplicitDestination &destination) {
        std::optional<PdfObjectID> id = destination.pageObject;
        if (!id && destination.pageIndex < source_.Pages().Count()) {
            try {
                id = source_.Pages().PageAt(destination.pageIndex).ObjectID();
            } catch (const ZavorPdfException &) {
                return nullptr;  // a kid of a damaged tree that is no page
            }
        }
        if (!id) return nullptr;
        auto found = copies_.find(*id);
        return found != copies_.end() ? found->second : nullptr;
    }

    PdfImportedObjectTable &table_;
    PdfDocument &owner_;
    PdfDocument &source_;
    // Source page → its copy; non-owning.
    std::map<PdfObjectID, PdfReference *> copies_;
    int actionsLeft_ = 0;
    std::set<const PdfDictionary *> chain_;  // the actions being copied, outermost first
};

}  // namespace

void ResolveImportedLinks(PdfImportedObjectTable &table, std::span<const ImportedPage> pages) {
    PdfDocument *source = table.ExternalDocument();
    if (source == nullptr) return;
    LinkResolver resolver(table, *source, pages);
    for (const ImportedPage &page : pages) resolver.ResolvePage(page);
}

}  // namespace ZavorPdf::Pdf
