// The page tree: one flat "/Pages" node whose "/Kids" lists the pages in
// order. Trees read from files are flattened into this form.
#pragma once

#include <memory>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

class PdfArray;
class PdfPage;
class PdfReference;

class PdfPages : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Parent = "/Parent";
        static constexpr const char *Kids = "/Kids";
        static constexpr const char *Count = "/Count";
        static const DictionaryMeta &Meta();
    };

    // A new tree starts with "/Count 0".
    explicit PdfPages(PdfDocument *document = nullptr);
    explicit PdfPages(PdfDictionary &&dictionary);
    // A copy has no walk of its own: trees are finished before they are copied.
    PdfPages(const PdfPages &other);
    ~PdfPages() override;

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    // A tree still being walked is copied as a whole one.
    std::unique_ptr<PdfItem> Clone() const override {
        const_cast<PdfPages *>(this)->FinishFlatten();
        return std::make_unique<PdfPages>(*this);
    }

    int Count() const;
    // 0-based; fails with "The index of a page is out of range." (argument
    // "index"). A kid that is still a plain dictionary becomes a PdfPage.
    PdfPage &operator[](int index) { return PageAt(index); }
    PdfPage &PageAt(int index);

    // A new page of the document's default size, at the end or at index.
    PdfPage &Add();
    PdfPage &Insert(int index);
    // A page that belongs to no document yet (or was made for this one and
    // is not in the tree): it joins the document and the tree. A null page
    // fails (argument "page").
    PdfPage &Add(std::unique_ptr<PdfPage> page);
    PdfPage &Insert(int index, std::unique_ptr<PdfPage> page);
    // A page already held by a reference table: one of this document that
    // was removed from the tree goes back in; one that is in the tree fails
    // with "The page cannot be added to this document because the document
    // already owned this page."; one of another document (opened for
    // Import) is copied into a new page of this document (pdf_import.h).
    PdfPage &Insert(int index, PdfPage &page);

    void Remove(PdfPage &page);
    void RemoveAt(int index);
    // Both indices must be in range ("oldIndex", "newIndex").
    void MovePage(int oldIndex, int newIndex);

    void PrepareForSave();

    // Collects the leaf pages of a nested tree (depth first) into this node,
    // handing inheritable entries down to them; every page's "/Parent"
    // becomes this node.
    void FlattenPageTree();
    // The same in steps, for a document that is only read: BeginFlatten
    // starts the walk, FindPage goes only as far as the page asked for, and
    // anything else that needs the tree (the count, the kids, any change)
    // finishes it first, with the same result as FlattenPageTree.
    void BeginFlatten();
    void FinishFlatten();
    bool IsFlattening() const { return walk_ != nullptr; }
    // The page at a 0-based index, or null when the tree has fewer pages.
    PdfPage *FindPage(int index);

private:
    struct FlattenWalk;

    PdfPage &AsPage(PdfReference &reference);
    PdfArray &Kids();
    void UpdateCount();
    void CheckIndex(int index, int count, const char *parameter) const;
    PdfPage &InsertIndirect(int index, PdfPage &page);
    int IndexOf(const PdfPage &page);

    std::unique_ptr<FlattenWalk> walk_;  // while a tree that is only read is walked in steps
};

}  // namespace ZavorPdf::Pdf
