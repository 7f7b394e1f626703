// The reference table: numbering, lookup, transitive closure, Compact and
// Renumber, on graphs with cycles and very deep chains.
#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_writer.h"

namespace ZavorPdf::Pdf {
namespace {

PdfDictionary *AddDictionary(PdfDocument &document) {
    return static_cast<PdfDictionary *>(document.ReferenceTable().Add(std::make_unique<PdfDictionary>())->Value());
}

std::vector<std::int32_t> Numbers(const PdfReferenceTable &table) {
    std::vector<std::int32_t> numbers;
    for (PdfObjectID id : table.AllObjectIDs()) numbers.push_back(id.ObjectNumber());
    return numbers;
}

TEST(PdfObjectID, EqualityOrderHashAndText) {
    PdfObjectID a(3, 0), b(3, 1), c(4, 0);
    EXPECT_TRUE(PdfObjectID().IsEmpty());
    EXPECT_NE(a, b);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_EQ(std::hash<PdfObjectID>()(PdfObjectID(6, 3)), 5u);
    EXPECT_EQ(PdfObjectID(12, 2).ToString(), "12 2");
}

TEST(ReferenceTable, NumbersObjectsInOrderOfAdding) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    EXPECT_EQ(table.GetNewObjectNumber(), 1);
    PdfReference *a = table.Add(std::make_unique<PdfDictionary>());
    PdfReference *b = table.Add(std::make_unique<PdfIntegerObject>(5));
    EXPECT_EQ(a->ObjectID(), PdfObjectID(2, 0));
    EXPECT_EQ(b->ObjectID(), PdfObjectID(3, 0));
    EXPECT_EQ(a->Value()->Owner(), &document);
    EXPECT_EQ(a->Value()->Reference(), a);
    EXPECT_TRUE(a->Value()->IsIndirect());
    EXPECT_EQ(a->Document(), &document);
    EXPECT_EQ(table[PdfObjectID(3, 0)], b);
    EXPECT_EQ(table[PdfObjectID(9, 0)], nullptr);
    EXPECT_TRUE(table.Contains(PdfObjectID(2, 0)));
    EXPECT_EQ(table.Count(), 2);
}

TEST(ReferenceTable, RefusesAnIdThatIsAlreadyPresent) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    table.Add(PdfObjectID(5, 0), std::make_unique<PdfDictionary>());
    try {
        table.Add(PdfObjectID(5, 0), std::make_unique<PdfDictionary>());
        FAIL();
    } catch (const InvalidOperationException &e) {
        EXPECT_STREQ(e.what(), "Object already in table.");
    }
    EXPECT_EQ(table.GetNewObjectNumber(), 6);
}

TEST(ReferenceTable, ReaderFillsReferencesMadeBeforeTheirObjects) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    table.SetUnderConstruction(true);
    PdfReference *early = table.GetOrCreateReference(PdfObjectID(8, 0));
    EXPECT_EQ(early->Value(), nullptr);
    EXPECT_EQ(table.GetOrCreateReference(PdfObjectID(8, 0)), early);
    PdfReference *filled = table.Add(PdfObjectID(8, 0), std::make_unique<PdfRealObject>(1.5));
    EXPECT_EQ(filled, early);
    EXPECT_EQ(early->Value()->ObjectID(), PdfObjectID(8, 0));
    table.SetUnderConstruction(false);
    EXPECT_FALSE(table.IsUnderConstruction());
}

TEST(ReferenceTable, RenumberAfterCompactGivesOneTwoThree) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    std::vector<PdfDictionary *> objects;
    for (int i = 0; i < 9; ++i) objects.push_back(AddDictionary(document));
    PdfDictionary trailer(&document);
    // Keep 3, 7 and 9: 9 is reached only through 7.
    trailer.Elements().SetReference("/Root", *objects[2]);
    objects[2]->Elements().SetReference("/Next", *objects[6]);
    objects[6]->Elements().SetReference("/Next", *objects[8]);
    objects[8]->Elements().SetReference("/Back", *objects[2]);

    EXPECT_EQ(table.Compact(trailer), 6);
    EXPECT_EQ(Numbers(table), (std::vector<std::int32_t>{3, 7, 9}));
    EXPECT_EQ(table.MaxObjectNumber(), 9);
    table.Renumber();
    EXPECT_EQ(Numbers(table), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(objects[2]->ObjectNumber(), 1);
    EXPECT_EQ(objects[6]->ObjectNumber(), 2);
    EXPECT_EQ(objects[8]->ObjectNumber(), 3);
    EXPECT_EQ(table.GetNewObjectNumber(), 4);

    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes);
    trailer.WriteObject(writer);
    objects[8]->WriteObject(writer);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "<<\n/Root 1 0 R\n>>\n3 0 obj\n<<\n/Back 1 0 R\n>>\nendobj\n");
}

TEST(ReferenceTable, ClosureFollowsDirectContainersAndSkipsTheStart) {
    PdfDocument document(DocumentSetup::Empty);
    PdfDictionary *root = AddDictionary(document);
    PdfDictionary *a = AddDictionary(document);
    PdfDictionary *b = AddDictionary(document);
    auto kids = std::make_unique<PdfArray>();
    auto nested = std::make_unique<PdfDictionary>();
    nested->Elements().SetReference("/B", *b);
    kids->Elements().AddReference(*a);
    kids->Elements().Add(std::move(nested));
    root->Elements().SetValue("/Kids", std::move(kids));

    auto closure = document.ReferenceTable().TransitiveClosure(*root);
    ASSERT_EQ(closure.size(), 2u);
    EXPECT_EQ(closure[0], a->Reference());
    EXPECT_EQ(closure[1], b->Reference());

    a->Elements().SetReference("/Up", *root);  // now the start is reached too
    closure = document.ReferenceTable().TransitiveClosure(*root);
    EXPECT_EQ(closure.size(), 3u);
}

TEST(ReferenceTable, CompactFreesACycleThatIsNoLongerReachable) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    PdfDictionary *pages = AddDictionary(document);
    PdfDictionary *page = AddDictionary(document);
    auto kids = std::make_unique<PdfArray>();
    kids->Elements().AddReference(*page);
    pages->Elements().SetValue("/Kids", std::move(kids));
    page->Elements().SetReference("/Parent", *pages);

    PdfDictionary trailer(&document);
    trailer.Elements().SetReference("/Root", *pages);
    EXPECT_EQ(table.Compact(trailer), 0);
    EXPECT_EQ(table.Count(), 2);

    trailer.Elements().Remove("/Root");
    EXPECT_EQ(table.Compact(trailer), 2);  // LeakSanitizer checks that both are gone
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.MaxObjectNumber(), 0);
}

TEST(ReferenceTable, DeepChainDoesNotExhaustTheStack) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    constexpr int Depth = 50000;
    PdfDictionary trailer(&document);
    PdfDictionary *previous = nullptr;
    for (int i = 0; i < Depth; ++i) {
        PdfDictionary *current = AddDictionary(document);
        if (previous == nullptr)
            trailer.Elements().SetReference("/Root", *current);
        else
            previous->Elements().SetReference("/Next", *current);
        previous = current;
    }
    AddDictionary(document);  // unreachable
    EXPECT_EQ(table.TransitiveClosure(trailer).size(), static_cast<std::size_t>(Depth));
    EXPECT_EQ(table.TransitiveClosure(trailer, 10).size(), static_cast<std::size_t>(Depth));
    EXPECT_EQ(table.Compact(trailer), 1);
    EXPECT_EQ(table.Count(), Depth);
}

TEST(ReferenceTable, RemovedObjectLeavesAHarmlessReference) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    PdfDictionary *root = AddDictionary(document);
    PdfDictionary *gone = AddDictionary(document);
    PdfReference *goneRef = gone->Reference();
    root->Elements().SetReference("/Gone", goneRef);
    table.Remove(goneRef->ObjectID());
    EXPECT_FALSE(table.Contains(PdfObjectID(2, 0)));
    EXPECT_EQ(root->Elements().GetDictionary("/Gone"), nullptr);
    EXPECT_THROW(root->Elements().GetValue("/Gone"), InvalidOperationException);

    // Still reachable: Compact gives it a null object, so it names an
    // object in the written file.
    PdfDictionary trailer(&document);
    trailer.Elements().SetReference("/Root", *root);
    EXPECT_EQ(table.Compact(trailer), 0);
    ASSERT_TRUE(table.Contains(PdfObjectID(2, 0)));
    EXPECT_NE(dynamic_cast<PdfNullObject *>(goneRef->Value()), nullptr);
    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes);
    goneRef->Value()->WriteObject(writer);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "2 0 obj\n null \nendobj\n");
}

}  // namespace
}  // namespace ZavorPdf::Pdf
