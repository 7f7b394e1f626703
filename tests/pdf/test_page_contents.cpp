// Content streams of pages: the q/Q wrapping of existing drawing, the order
// of appended and prepended streams, and contents read from files.
#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_writer.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace ZavorPdf::Pdf {
namespace {

using namespace ZavorTest;

// A stream object in the table, as the reader would leave it.
PdfReference *AddStream(PdfDocument &document, const std::string &bytes) {
    auto stream = std::make_unique<PdfDictionary>(&document);
    stream->CreateStream(Bytes(bytes));
    return document.ReferenceTable().Add(std::move(stream));
}

std::vector<std::string> StreamTexts(const PdfContents &contents) {
    std::vector<std::string> texts;
    for (int i = 0; i < contents.Count(); ++i)
        texts.push_back(Text(contents.ContentAt(i).Bytes()));
    return texts;
}

struct ProtectCase {
    const char *name;
    std::vector<std::string> before;
    std::vector<std::string> after;  // the old streams, then the new empty one
};

TEST(PageContents, ExistingDrawingIsWrappedOnceBeforeTheFirstAppend) {
    const ProtectCase cases[] = {
        {"no stream", {}, {""}},
        {"one stream", {"1 w"}, {"q\n1 w Q\n", ""}},
        {"one saved stream", {"q\n1 w Q\n"}, {"q\n1 w Q\n", ""}},
        {"q without line feed", {"q 1 w Q"}, {"q\nq 1 w Q Q\n", ""}},
        {"two streams", {"1 w", "2 w"}, {"q\n1 w", "2 w Q\n", ""}},
        {"three streams", {"a", "b", "c"}, {"q\na", "b", "c Q\n", ""}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        PdfDocument document;
        PdfPage &page = document.AddPage();
        auto array = std::make_unique<PdfArray>(&document);
        for (const auto &bytes : row.before)
            array->Elements().AddReference(AddStream(document, bytes));
        page.Elements().SetObject("/Contents", std::move(array));
        PdfContents &contents = page.Contents();
        contents.AppendContent().SetBytes(Bytes("new"));
        auto expected = row.after;
        expected.back() = "new";
        EXPECT_EQ(StreamTexts(contents), expected);
        // Only once per array.
        contents.AppendContent();
        expected.push_back("");
        EXPECT_EQ(StreamTexts(contents), expected);
    }
}

TEST(PageContents, PrependPutsTheNewStreamFirst) {
    PdfDocument document;
    PdfContents &contents = document.AddPage().Contents();
    contents.AppendContent().SetBytes(Bytes("middle"));
    contents.AppendContent().SetBytes(Bytes("last"));
    contents.PrependContent().SetBytes(Bytes("first"));
    EXPECT_EQ(StreamTexts(contents), (std::vector<std::string>{"first", "middle", "last"}));
    EXPECT_EQ(Text(contents.CreateSingleContent()->Bytes()), "first\nmiddle\nlast\n");
    PdfContents &second = document.AddPage().Contents();
    EXPECT_EQ(&second, &document.Pages()[1].Contents());
}

TEST(PageContents, ReadContentsBecomeContentObjects) {
    PdfDocument document;
    // A single stream.
    PdfPage &single = document.AddPage();
    PdfReference *stream = AddStream(document, "0 g");
    single.Elements().SetReference("/Contents", stream);
    EXPECT_EQ(StreamTexts(single.Contents()), std::vector<std::string>{"0 g"});
    EXPECT_EQ(&single.Contents().ContentAt(0), stream->Value());

    // An indirect array is copied into the page.
    PdfPage &shared = document.AddPage();
    auto array = std::make_unique<PdfArray>(&document);
    array->Elements().AddReference(AddStream(document, "1 g"));
    PdfReference *arrayReference = document.ReferenceTable().Add(std::move(array));
    shared.Elements().SetReference("/Contents", arrayReference);
    PdfContents &contents = shared.Contents();
    EXPECT_FALSE(contents.IsIndirect());
    EXPECT_EQ(StreamTexts(contents), std::vector<std::string>{"1 g"});

    // A compressed stream is decoded on the way in.
    PdfPage &packed = document.AddPage();
    auto compressed = std::make_unique<PdfDictionary>(&document);
    compressed->CreateStream(Bytes(std::string("x\x9c\x33\x50\x48\x07\x00\x01\x3a\x00\xb8", 11)));
    compressed->Elements().SetName("/Filter", "/FlateDecode");
    packed.Elements().SetReference("/Contents", document.ReferenceTable().Add(std::move(compressed)));
    EXPECT_EQ(StreamTexts(packed.Contents()), std::vector<std::string>{"0 g"});
    EXPECT_FALSE(packed.Contents().ContentAt(0).IsFiltered());
}

TEST(PageContents, ArraysWithOtherItemsAreRefused) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    auto array = std::make_unique<PdfArray>(&document);
    array->Elements().AddReference(AddStream(document, "0 g"));
    array->Elements().Add(std::make_unique<PdfName>("/NotAStream"));
    page.Elements().SetObject("/Contents", std::move(array));
    try {
        page.Contents();
        FAIL() << "no exception";
    } catch (const InvalidOperationException &error) {
        EXPECT_STREQ(error.what(), "Unexpected item in a content stream array.");
    }
    EXPECT_EQ(page.Elements().GetArray("/Contents")->Elements().Count(), 2) << "the array stays as it was";
}

class CountingRenderer : public PdfContentRenderer {
public:
    explicit CountingRenderer(PdfContent &content) : content_(content) {}
    void Close() override {
        ++closed;
        content_.Append(Bytes(" S"));
        content_.SetRenderer(nullptr);
    }
    int closed = 0;

private:
    PdfContent &content_;
};

TEST(PageContents, OpenRendererIsFinishedBeforeTheStreamIsWritten) {
    PdfDocument document;
    document.Options().SetCompressContentStreams(false);
    PdfContent &content = document.AddPage().Contents().AppendContent();
    content.SetBytes(Bytes("0 0 m 9 9 l"));
    CountingRenderer renderer(content);
    content.SetRenderer(&renderer);
    std::string written = SaveToString(document);
    EXPECT_EQ(renderer.closed, 1);
    EXPECT_NE(written.find("/Length 13\n>>\nstream\n0 0 m 9 9 l S\nendstream\n"), std::string::npos) << written;
    document.Save(OutputPath("page_contents_plain.pdf"));
    EXPECT_EQ(renderer.closed, 1);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
