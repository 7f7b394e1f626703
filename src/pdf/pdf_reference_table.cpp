#include "pdf/pdf_reference_table.h"

#include <algorithm>
#include <unordered_set>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {

PdfReferenceTable::PdfReferenceTable(PdfDocument *document) : document_(document) {}

PdfReferenceTable::~PdfReferenceTable() = default;

PdfReference *PdfReferenceTable::Attach(Entry &entry, std::unique_ptr<PdfObject> object) {
    object->SetOwner(document_);
    PdfReference *reference = entry.reference.get();
    object->reference_ = reference;
    reference->value_ = object.get();
    entry.object = std::move(object);
    return reference;
}

PdfReference *PdfReferenceTable::Add(std::unique_ptr<PdfObject> object) {
    if (object == nullptr) throw ArgumentNullException("obj");
    if (object->IsIndirect()) throw InvalidOperationException("Object already in table.");
    object->SetOwner(document_);
    PdfObjectID id(GetNewObjectNumber(), 0);
    Entry &entry = entries_[id];
    entry.reference = std::make_unique<PdfReference>(id, document_);
    return Attach(entry, std::move(object));
}

PdfReference *PdfReferenceTable::Add(PdfObjectID id, std::unique_ptr<PdfObject> object) {
    if (object == nullptr) throw ArgumentNullException("obj");
    if (id.IsEmpty()) return Add(std::move(object));
    auto found = entries_.find(id);
    if ((found != entries_.end() && found->second.object != nullptr) || object->IsIndirect())
        throw InvalidOperationException("Object already in table.");
    object->SetOwner(document_);
    Entry &entry = found != entries_.end() ? found->second : entries_[id];
    if (entry.reference == nullptr) entry.reference = std::make_unique<PdfReference>(id, document_);
    maxObjectNumber_ = std::max(maxObjectNumber_, id.ObjectNumber());
    return Attach(entry, std::move(object));
}

PdfReference *PdfReferenceTable::GetOrCreateReference(PdfObjectID id) {
    if (id.IsEmpty()) throw ArgumentException("The object ID must not be empty.", "id");
    Entry &entry = entries_[id];
    if (entry.reference == nullptr) entry.reference = std::make_unique<PdfReference>(id, document_);
    maxObjectNumber_ = std::max(maxObjectNumber_, id.ObjectNumber());
    return entry.reference.get();
}

void PdfReferenceTable::Remove(PdfObjectID id) {
    auto found = entries_.find(id);
    if (found == entries_.end()) return;
    ++dropCount_;
    Entry entry = std::move(found->second);
    entries_.erase(found);
    entry.reference->value_ = nullptr;
    entry.reference->deferred_ = false;
    detached_.push_back(std::move(entry.reference));
}

PdfReference *PdfReferenceTable::operator[](PdfObjectID id) const {
    auto found = entries_.find(id);
    return found != entries_.end() ? found->second.reference.get() : nullptr;
}

std::vector<PdfReference *> PdfReferenceTable::AllReferences() const {
    std::vector<PdfReference *> references;
    references.reserve(entries_.size());
    for (const auto &[id, entry] : entries_) references.push_back(entry.reference.get());
    return references;
}

std::vector<PdfReference *> PdfReferenceTable::ReferencesFrom(std::int32_t objectNumber) const {
    std::vector<PdfReference *> references;
    for (auto it = entries_.lower_bound(PdfObjectID(objectNumber, 0)); it != entries_.end(); ++it)
        references.push_back(it->second.reference.get());
    return references;
}

std::vector<PdfObjectID> PdfReferenceTable::AllObjectIDs() const {
    std::vector<PdfObjectID> ids;
    ids.reserve(entries_.size());
    for (const auto &[id, entry] : entries_) ids.push_back(id);
    return ids;
}

void PdfReferenceTable::ReplaceObject(PdfReference &reference, std::unique_ptr<PdfObject> object) {
    auto found = entries_.find(reference.ObjectID());
    if (found == entries_.end() || found->second.reference.get() != &reference)
        throw InvalidOperationException("The reference does not belong to this table.");
    object->reference_ = &reference;
    reference.value_ = object.get();
    found->second.object = std::move(object);
}

void PdfReferenceTable::DiscardDamaged(PdfReference &reference) {
    auto found = entries_.find(reference.ObjectID());
    if (found == entries_.end() || found->second.reference.get() != &reference) return;
    reference.value_ = nullptr;
    reference.deferred_ = false;
    reference.MarkDamaged();
    found->second.object.reset();
}

namespace {

// The child items of a container, walked by index so that the walk keeps
// its place on its own stack rather than on the call stack.
std::size_t ChildCount(const PdfObject &container) {
    if (container.IsDictionary()) return static_cast<const PdfDictionary &>(container).Elements().Entries().size();
    return static_cast<const PdfArray &>(container).Elements().Items().size();
}

PdfItem *ChildAt(const PdfObject &container, std::size_t index) {
    if (container.IsDictionary())
        return static_cast<const PdfDictionary &>(container).Elements().Entries()[index].value.Get();
    return static_cast<const PdfArray &>(container).Elements().Items()[index].Get();
}

bool IsContainer(const PdfItem *item) { return item != nullptr && item->IsContainer(); }

}  // namespace

std::vector<PdfReference *> PdfReferenceTable::TransitiveClosure(const PdfObject &start, int depth) const {
    const std::size_t passDepth = static_cast<std::size_t>(std::clamp(depth, 1, ClosurePassDepth));
    std::vector<PdfReference *> result;
    std::unordered_set<const PdfReference *> visited;
    // A save reaches nearly every object: one table of the full size spares
    // the rehashing on the way.
    visited.reserve(entries_.size());
    // Containers met below the pass depth; each starts a pass of its own.
    std::vector<const PdfObject *> overflow{&start};

    struct Frame {
        const PdfObject *container;
        std::size_t next;
    };
    std::vector<Frame> frames;
    while (!overflow.empty()) {
        const PdfObject *root = overflow.back();
        overflow.pop_back();
        if (IsContainer(root)) frames.push_back({root, 0});
        while (!frames.empty()) {
            Frame &frame = frames.back();
            if (frame.next >= ChildCount(*frame.container)) {
                frames.pop_back();
                continue;
            }
            PdfItem *item = ChildAt(*frame.container, frame.next++);
            const PdfObject *descend = nullptr;
            if (item != nullptr && item->IsReference()) {
                auto *reference = static_cast<PdfReference *>(item);
                if (!visited.insert(reference).second) continue;
                result.push_back(reference);
                descend = reference->Value();
            } else if (IsContainer(item)) {
                descend = static_cast<const PdfObject *>(item);
            }
            if (descend == nullptr || !IsContainer(descend)) continue;
            if (frames.size() >= passDepth)
                overflow.push_back(descend);
            else
                frames.push_back({descend, 0});
        }
    }
    return result;
}

int PdfReferenceTable::Compact(const PdfObject &root) {
    std::vector<PdfReference *> reached = TransitiveClosure(root);
    std::unordered_set<const PdfReference *> keep(reached.begin(), reached.end());
    ++dropCount_;

    // Only the dropped entries are touched: a saved document usually keeps
    // nearly all of its objects.
    int dropped = static_cast<int>(
        std::erase_if(entries_, [&keep](const auto &item) { return !keep.contains(item.second.reference.get()); }));
    // A reachable reference whose object was removed comes back with a
    // null object, so that it still names an object in the written file.
    for (auto &reference : detached_) {
        if (!keep.contains(reference.get())) continue;
        PdfObjectID id = reference->ObjectID();
        if (entries_.contains(id)) id = PdfObjectID(++maxObjectNumber_, 0);
        reference->id_ = id;
        entries_[id].reference = std::move(reference);
    }
    detached_.clear();

    maxObjectNumber_ = 0;
    for (auto &[id, entry] : entries_) {
        if (entry.object == nullptr) Attach(entry, std::make_unique<PdfNullObject>(document_));
        maxObjectNumber_ = std::max(maxObjectNumber_, id.ObjectNumber());
    }
    return dropped;
}

void PdfReferenceTable::Renumber() {
    // The new numbers keep the order of the old ones, so every node goes
    // back in at the end without a search or a new allocation.
    std::map<PdfObjectID, Entry> renumbered;
    std::int32_t number = 0;
    while (!entries_.empty()) {
        auto node = entries_.extract(entries_.begin());
        node.key() = PdfObjectID(++number, 0);
        node.mapped().reference->id_ = node.key();
        renumbered.insert(renumbered.end(), std::move(node));
    }
    entries_.swap(renumbered);
    maxObjectNumber_ = number;
}

}  // namespace ZavorPdf::Pdf
