#include "pdf/pdf_pages.h"

#include <set>
#include <vector>

#include "pdf/errors.h"
#include "pdf/messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_import.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {
namespace {

// Trees nested deeper than this are damaged or hostile; their deeper nodes
// are ignored.
constexpr int kMaxTreeDepth = 256;

void CopySlot(DictionaryElements &target, const std::string &key, const PdfItemSlot &slot) {
    if (slot.IsReference())
        target.SetReference(key, slot.Reference());
    else
        target.SetValue(key, slot.Get()->Clone());
}

// Inserts a reference at a position; the elements behind it move up.
void InsertReference(ArrayElements &elements, int index, PdfReference *reference) {
    std::vector<PdfItemSlot> tail;
    for (int i = index; i < elements.Count(); ++i)
        tail.push_back(elements.Items()[static_cast<std::size_t>(i)].Clone());
    while (elements.Count() > index)
        elements.RemoveAt(elements.Count() - 1);
    elements.AddReference(reference);
    for (auto &slot : tail) {
        if (slot.IsReference())
            elements.AddReference(slot.Reference());
        else
            elements.Add(slot.Get()->Clone());
    }
}

// The entries a page inherits from the nodes above it.
struct Inherited {
    const PdfItemSlot *resources = nullptr;
    const PdfItemSlot *mediaBox = nullptr;
    const PdfItemSlot *cropBox = nullptr;
    const PdfItemSlot *rotate = nullptr;
};

const PdfItemSlot *SlotOf(const PdfDictionary &node, std::string_view key) {
    for (const auto &entry : node.Elements().Entries())
        if (entry.key == key)
            return &entry.value;
    return nullptr;
}

Inherited Override(Inherited values, const PdfDictionary &node) {
    if (auto *slot = SlotOf(node, "/Resources"))
        values.resources = slot;
    if (auto *slot = SlotOf(node, "/MediaBox"))
        values.mediaBox = slot;
    if (auto *slot = SlotOf(node, "/CropBox"))
        values.cropBox = slot;
    if (auto *slot = SlotOf(node, "/Rotate"))
        values.rotate = slot;
    return values;
}

void InheritResources(PdfDictionary &page, const PdfItemSlot &inheritedSlot) {
    auto *inherited = dynamic_cast<PdfDictionary *>(inheritedSlot.Get());
    if (auto *reference = dynamic_cast<PdfReference *>(inheritedSlot.Get()))
        inherited = dynamic_cast<PdfDictionary *>(reference->Value());
    if (inherited == nullptr)
        return;
    PdfDictionary *own = page.Elements().GetDictionary("/Resources");
    if (own == nullptr) {
        if (!page.Elements().ContainsKey("/Resources"))
            page.Elements().SetValue("/Resources", inherited->Clone());
        return;
    }
    for (const auto &entry : inherited->Elements().Entries())
        if (!own->Elements().ContainsKey(entry.key))
            CopySlot(own->Elements(), entry.key, entry.value);
}

void InheritValues(PdfDictionary &page, const Inherited &values) {
    if (values.resources != nullptr)
        InheritResources(page, *values.resources);
    const std::pair<const char *, const PdfItemSlot *> boxes[] = {
        {"/MediaBox", values.mediaBox}, {"/CropBox", values.cropBox}, {"/Rotate", values.rotate}};
    for (const auto &[key, slot] : boxes)
        if (slot != nullptr && !page.Elements().ContainsKey(key))
            CopySlot(page.Elements(), key, *slot);
}

// A kid that already has a typed class other than page or node (the
// catalog, the information dictionary of a damaged file) is no page: taking
// it for one would convert an object that others use as their own class.
bool IsTreeNodeCandidate(const PdfDictionary &kid) {
    if (kid.Meta() != nullptr && dynamic_cast<const PdfPage *>(&kid) == nullptr &&
        dynamic_cast<const PdfPages *>(&kid) == nullptr)
        return false;
    auto *type = dynamic_cast<const PdfName *>(kid.Elements()["/Type"]);
    return type == nullptr || type->Value() == "/Page" || type->Value() == "/Pages";
}

// A kid that is still a plain dictionary, taken over by a page of its own;
// the caller puts the page in the dictionary's place.
std::unique_ptr<PdfPage> ConvertToPage(PdfObject *kid) {
    auto *dictionary = dynamic_cast<PdfDictionary *>(kid);
    if (dictionary == nullptr)
        throw InvalidOperationException("A kid of the page tree is not a page.");
    return std::make_unique<PdfPage>(std::move(*dictionary));
}

}  // namespace

// A depth-first walk over the tree as the file has it, that can stop after
// any page and go on later: a document that is only read collects no more
// pages than it is asked for.
struct PdfPages::FlattenWalk {
    struct Node {
        const PdfDictionary *node;  // in the reference table, never replaced
        int next;                   // the kid to look at next
        int depth;
    };
    std::vector<Node> path;
    std::vector<PdfReference *> pages;
    // Every kid met, by its reference: a page may have become a PdfPage of
    // its own since, under the same reference.
    std::set<const PdfReference *> visited;

    // What the nodes on the path hand down; worked out afresh for every page,
    // since the nodes' entries may have moved between two calls.
    Inherited AlongPath() const {
        Inherited values;
        for (const Node &step : path)
            values = Override(values, *step.node);
        return values;
    }

    // Collects pages until `wanted` are known or the tree is done.
    void Advance(const PdfPages &root, std::size_t wanted) {
        while (pages.size() < wanted && !path.empty()) {
            Node &step = path.back();
            const PdfArray *kids = step.node->Elements().GetArray("/Kids");
            if (kids == nullptr || step.next >= kids->Elements().Count()) {
                path.pop_back();
                continue;
            }
            const int depth = step.depth;
            // A kid the file lacks is skipped; one it holds damaged fails,
            // since the page would vanish without a word. It stays the next
            // kid, so that every later step fails at it too and no page
            // after it moves up.
            PdfReference *reference = kids->Elements().GetReference(step.next);
            auto *kid = reference ? dynamic_cast<PdfDictionary *>(reference->ReadableValue()) : nullptr;
            ++step.next;
            if (kid == nullptr || kid == &root || !IsTreeNodeCandidate(*kid) || !visited.insert(reference).second)
                continue;
            if (kid->Elements().GetName("/Type") == "/Pages" || kid->Elements().ContainsKey("/Kids")) {
                // Trees nested deeper are damaged or hostile: the deeper
                // nodes are left out.
                if (kid->Elements().GetArray("/Kids") != nullptr && depth + 1 <= kMaxTreeDepth)
                    path.push_back({kid, 0, depth + 1});
            } else {
                InheritValues(*kid, AlongPath());
                pages.push_back(reference);
            }
        }
    }
};

PdfPages::PdfPages(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}
PdfPages::PdfPages(const PdfPages &other) : PdfDictionary(other) {}
PdfPages::~PdfPages() = default;

const DictionaryMeta &PdfPages::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Type, KeyType::Name | KeyType::Required),
        KeyDescriptor(Parent, KeyType::Dictionary | KeyType::Optional),
        TypedKey<PdfArray>(Kids, KeyType::Array | KeyType::Required),
        KeyDescriptor(Count, KeyType::Integer | KeyType::Required),
    });
    return meta;
}

PdfPages::PdfPages(PdfDocument *document) : PdfDictionary(document) {
    Elements().SetName(Keys::Type, "/Pages");
    Elements().SetInteger(Keys::Count, 0);
}

PdfArray &PdfPages::Kids() {
    FinishFlatten();
    return *Elements().GetValue<PdfArray>(Keys::Kids, VCF::Create);
}

int PdfPages::Count() const {
    // A tree still being walked is walked to its end first: its "/Kids" are
    // still the file's.
    const_cast<PdfPages *>(this)->FinishFlatten();
    const PdfArray *kids = Elements().GetArray(Keys::Kids);
    return kids == nullptr ? 0 : kids->Elements().Count();
}

void PdfPages::UpdateCount() { Elements().SetInteger(Keys::Count, Count()); }

void PdfPages::CheckIndex(int index, int count, const char *parameter) const {
    if (index < 0 || index >= count)
        throw ArgumentOutOfRangeException(Messages::PageIndexOutOfRange, parameter);
}

PdfPage &PdfPages::PageAt(int index) {
    CheckIndex(index, Count(), "index");
    ArrayElements &kids = Kids().Elements();
    if (PdfReference *reference = kids.GetReference(index))
        return AsPage(*reference);
    if (auto *page = dynamic_cast<PdfPage *>(kids.GetObject(index)))
        return *page;
    std::unique_ptr<PdfPage> page = ConvertToPage(kids.GetObject(index));
    PdfPage &result = *page;
    kids.SetAt(index, std::move(page));
    return result;
}

PdfPage &PdfPages::Add() { return Insert(Count()); }

PdfPage &PdfPages::Insert(int index) {
    return Insert(index, std::make_unique<PdfPage>(Owner()->DefaultPageSize()));
}

PdfPage &PdfPages::Add(std::unique_ptr<PdfPage> page) { return Insert(Count(), std::move(page)); }

PdfPage &PdfPages::Insert(int index, std::unique_ptr<PdfPage> page) {
    if (page == nullptr)
        throw ArgumentNullException("page");
    CheckIndex(index, Count() + 1, "index");
    bool joins = page->Owner() == nullptr;
    PdfPage &added = *page;
    Owner()->ReferenceTable().Add(std::move(page));
    added.AttachTo(*this);
    if (joins && Owner()->Settings().DefaultTrimMargins().AreSet())
        added.SetTrimMargins(Owner()->Settings().DefaultTrimMargins());
    return InsertIndirect(index, added);
}

PdfPage &PdfPages::Insert(int index, PdfPage &page) {
    CheckIndex(index, Count() + 1, "index");
    if (page.Owner() != nullptr && page.Owner() != Owner())
        return ImportExternalPage(*this, index, page);
    if (!page.IsIndirect())
        throw ArgumentException("The page is not an object of this document's reference table.", "page");
    if (IndexOf(page) >= 0)
        throw InvalidOperationException(
            "The page cannot be added to this document because the document already owned this page.");
    page.AttachTo(*this);
    return InsertIndirect(index, page);
}

PdfPage &PdfPages::InsertIndirect(int index, PdfPage &page) {
    ArrayElements &kids = Kids().Elements();
    if (index == kids.Count())
        kids.AddReference(page.Reference());
    else
        InsertReference(kids, index, page.Reference());
    UpdateCount();
    return page;
}

int PdfPages::IndexOf(const PdfPage &page) {
    FinishFlatten();
    const PdfArray *kids = Elements().GetArray(Keys::Kids);
    if (kids == nullptr || !page.IsIndirect())
        return -1;
    for (int i = 0; i < kids->Elements().Count(); ++i)
        if (kids->Elements().Items()[static_cast<std::size_t>(i)].Reference() == page.Reference())
            return i;
    return -1;
}

void PdfPages::Remove(PdfPage &page) {
    int index = IndexOf(page);
    if (index >= 0)
        RemoveAt(index);
}

void PdfPages::RemoveAt(int index) {
    CheckIndex(index, Count(), "index");
    Kids().Elements().RemoveAt(index);
    UpdateCount();
}

void PdfPages::MovePage(int oldIndex, int newIndex) {
    int count = Count();
    CheckIndex(oldIndex, count, "oldIndex");
    CheckIndex(newIndex, count, "newIndex");
    if (oldIndex == newIndex)
        return;
    ArrayElements &kids = Kids().Elements();
    PdfItemSlot moved = kids.Items()[static_cast<std::size_t>(oldIndex)].Clone();
    kids.RemoveAt(oldIndex);
    if (moved.IsReference())
        InsertReference(kids, newIndex, moved.Reference());
    else
        kids.Insert(newIndex, moved.Get()->Clone());
}

void PdfPages::PrepareForSave() {
    if (Count() == 0)
        return;
    // Pages found directly; only a kid that is not a page yet takes the
    // long way through PageAt, which converts it.
    ArrayElements &kids = Kids().Elements();
    for (int i = 0; i < kids.Count(); ++i) {
        PdfReference *reference = kids.GetReference(i);
        auto *page = reference != nullptr ? dynamic_cast<PdfPage *>(reference->Value()) : nullptr;
        (page != nullptr ? *page : PageAt(i)).PrepareForSave();
    }
}

void PdfPages::FlattenPageTree() {
    BeginFlatten();
    FinishFlatten();
}

void PdfPages::BeginFlatten() {
    walk_ = std::make_unique<FlattenWalk>();
    if (Elements().GetArray(Keys::Kids) != nullptr)
        walk_->path.push_back({this, 0, 0});
}

void PdfPages::FinishFlatten() {
    if (walk_ == nullptr)
        return;
    walk_->Advance(*this, static_cast<std::size_t>(-1));
    std::vector<PdfReference *> pages = std::move(walk_->pages);
    walk_.reset();
    Elements().SetName(Keys::Type, "/Pages");
    // A damaged file's "/Kids" that is no array gives way to a new one.
    if (Elements().GetArray(Keys::Kids) == nullptr) Elements().Remove(Keys::Kids);
    ArrayElements &kids = Elements().GetValue<PdfArray>(Keys::Kids, VCF::Create)->Elements();
    kids.Clear();
    for (PdfReference *reference : pages) {
        kids.AddReference(reference);
        if (auto *page = dynamic_cast<PdfDictionary *>(reference->Value()))
            page->Elements().SetReference("/Parent", *this);
    }
    UpdateCount();
}

PdfPage *PdfPages::FindPage(int index) {
    if (index < 0)
        return nullptr;
    if (walk_ == nullptr)
        return index < Count() ? &PageAt(index) : nullptr;
    FlattenWalk &walk = *walk_;
    walk.Advance(*this, static_cast<std::size_t>(index) + 1);
    if (static_cast<std::size_t>(index) >= walk.pages.size())
        return nullptr;
    return &AsPage(*walk.pages[static_cast<std::size_t>(index)]);
}

PdfPage &PdfPages::AsPage(PdfReference &reference) {
    if (auto *page = dynamic_cast<PdfPage *>(reference.Value()))
        return *page;
    std::unique_ptr<PdfPage> page = ConvertToPage(reference.Value());
    PdfPage &result = *page;
    Owner()->ReferenceTable().ReplaceObject(reference, std::move(page));
    return result;
}

}  // namespace ZavorPdf::Pdf
