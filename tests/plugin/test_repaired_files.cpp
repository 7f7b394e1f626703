// Other PDF files whose cross-reference table is damaged: the variables
// read them as the reader repairs them, and their pages import into a file
// that qpdf accepts.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "plugin/exports.h"
#include "recording_host.h"
#include "sample_pdf.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {


using ZavorTest::ReadVariable;

std::string FileText(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::size_t TableAt(const std::string &file) { return file.rfind("\nxref\n") + 1; }

// Every object moves by a comment after the header; only "startxref"
// follows, the table's offsets all fall short.
std::string ShiftObjects(const std::string &file) {
    std::string shifted = file;
    shifted.insert(file.find('\n') + 1, "%moved\n");
    std::size_t number = shifted.rfind("startxref\n") + 10;
    return shifted.replace(number, shifted.find('\n', number) - number, std::to_string(TableAt(shifted)));
}

TEST(RepairedFiles, VariablesReadWhatTheFileStillHolds) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo, qpdf");
    ZavorTest::RecordingHost host;
    host.StartDocument();
    const std::filesystem::path sample = ZavorTest::OutputPath("repaired_files_sample.pdf");
    ZavorTest::WriteSamplePdf(sample, {{"Eins", "Zwei", "Drei"}, "/Title (Drei Seiten)"});
    const std::string intact = FileText(sample);
    const struct {
        const char *name;
        std::string file;
        std::string pages;
        std::string title;
        std::string lastText;
    } cases[] = {
        {"startxref_missing", intact.substr(0, intact.rfind("startxref")), "3", "Drei Seiten", "Drei\r\n"},
        {"offsets_shifted", ShiftObjects(intact), "3", "Drei Seiten", "Drei\r\n"},
        // Without a trailer the title is lost; the catalog is found by its
        // type.
        {"cut_before_the_table", intact.substr(0, TableAt(intact)), "3", "", "Drei\r\n"},
        // Page 3's contents are cut: the page stays, without text.
        {"cut_in_the_last_contents", intact.substr(0, intact.rfind("(Drei)")), "3", "", "\r\n"},
        // Page 3 itself is cut: the tree names a page the file lacks.
        {"cut_in_the_last_page", intact.substr(0, intact.rfind("/Type /Page ") + 8), "2", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Not ".pdf": the damaged input is no output to check with qpdf.
        const std::string damaged =
            ZavorTest::OutputPath(std::string("repaired_files_") + c.name + ".pdf.in").string();
        ZavorTest::PublishFile(damaged, c.file);
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", damaged), c.pages);
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_Titel", damaged), c.title);
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Text", "1;" + damaged), "Eins\r\n");
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Text", "3;" + damaged), c.lastText);

        host.StartDocument();
        QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", damaged.c_str());
        EXPECT_EQ(ReadVariable("Fehler"), "");
        EXPECT_EQ(ReadVariable("AnzahlSeiten"), c.pages);
        const std::string saved =
            ZavorTest::OutputPath(std::string("repaired_files_") + c.name + "_saved.pdf").string();
        host.SaveTo(saved);
        EXPECT_NE(ZavorTest::RunCommand("qpdf --check '" + saved + "' 2>&1").find("No syntax or stream encoding"),
                  std::string::npos);
        EXPECT_EQ(ZavorTest::RunCommand("pdfinfo '" + saved + "' 2>/dev/null | grep '^Pages:' | tr -s ' '"),
                  "Pages: " + c.pages + "\n");
    }
}

}  // namespace
